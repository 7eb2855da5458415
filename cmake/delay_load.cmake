# delay_load_libraries(target dll...): the target, and whatever links it, loads each of these
# system DLLs at the first call of one of its functions instead of before the program's first
# line runs. Start-up limits the DLL search to the system folder first; a DLL that is not one
# of the system's known DLLs and is imported the usual way would be looked for beside the
# program, where a download may have put one of that name.
#
# mingw-w64 builds the import library that loads on first call from cmake/delay_load/<dll>.def,
# which names the functions the program calls; a function missing there fails the link.
function(delay_load_libraries target)
    if(MSVC)
        foreach(dll ${ARGN})
            target_link_libraries(${target} PUBLIC ${dll})
            target_link_options(${target} INTERFACE /DELAYLOAD:${dll}.dll)
        endforeach()
        target_link_libraries(${target} PUBLIC delayimp)
        return()
    endif()
    set(directory ${CMAKE_BINARY_DIR}/delay_load)
    file(MAKE_DIRECTORY ${directory})
    foreach(dll ${ARGN})
        set(definition ${CMAKE_SOURCE_DIR}/cmake/delay_load/${dll}.def)
        set(library ${directory}/lib${dll}_delay.a)
        add_custom_command(OUTPUT ${library}
            COMMAND ${CMAKE_DLLTOOL} --input-def ${definition} --output-delaylib ${library}
            DEPENDS ${definition}
            COMMENT "Making the import library that loads ${dll} on first call"
            VERBATIM)
        add_custom_target(${dll}_delay_load DEPENDS ${library})
        add_dependencies(${target} ${dll}_delay_load)
        target_link_libraries(${target} PUBLIC ${library})
    endforeach()
endfunction()
