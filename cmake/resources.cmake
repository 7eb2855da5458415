# The icon, the glyph bitmaps and the version resource. Their pixels are kept as text art in
# resources/glyphs (<name>.bmp.txt, <name>.ico.txt); a build step draws the .bmp and .ico
# files into the build folder, where the resource script finds them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(GLYPH_GENERATOR ${CMAKE_SOURCE_DIR}/resources/make_glyphs.py)
set(GLYPH_OUTPUT_DIR ${CMAKE_BINARY_DIR}/glyphs)
file(GLOB GLYPH_ART CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/glyphs/*.txt)
set(GLYPH_FILES "")
foreach(art ${GLYPH_ART})
    get_filename_component(name ${art} NAME)
    string(REGEX REPLACE "\\.txt$" "" name ${name})
    list(APPEND GLYPH_FILES ${GLYPH_OUTPUT_DIR}/${name})
endforeach()

add_custom_command(
    OUTPUT ${GLYPH_FILES}
    COMMAND ${Python3_EXECUTABLE} ${GLYPH_GENERATOR} ${GLYPH_OUTPUT_DIR} ${GLYPH_ART}
    DEPENDS ${GLYPH_GENERATOR} ${GLYPH_ART}
    COMMENT "Drawing the glyphs and the icon"
    VERBATIM)

# windres does not notice a changed .bmp or .ico by itself.
set(RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/resources/reelbond.rc)
set_source_files_properties(${RESOURCE_SCRIPT} PROPERTIES
    OBJECT_DEPENDS "${GLYPH_FILES};${CMAKE_SOURCE_DIR}/resources/resource.h"
    INCLUDE_DIRECTORIES ${GLYPH_OUTPUT_DIR})

# Compiled once here and linked into the program and the window tests, which live in other
# directories: as objects of this target they are built after the glyphs are drawn.
add_library(reelbond_resources OBJECT ${RESOURCE_SCRIPT} ${GLYPH_FILES})
set(REELBOND_RC $<TARGET_OBJECTS:reelbond_resources>)
