# The about box reads Help.rtf from the directory of the program file, which is built
# into the top of the build folder.
configure_file(${CMAKE_SOURCE_DIR}/resources/Help.rtf ${CMAKE_BINARY_DIR}/Help.rtf COPYONLY)
