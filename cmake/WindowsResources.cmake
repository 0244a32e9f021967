# What Windows shows of a program: version resource (Explorer's details, "Apps &
# features"), application manifest and, for the window program, the station's icon.

# Copyright and publisher as LICENSE names them.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE TESSARINE_COPYRIGHT REGEX "^Copyright" LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright \\(c\\) [0-9-]+ " "" TESSARINE_PUBLISHER "${TESSARINE_COPYRIGHT}")
# Built with the window program; the installer shows it too.
set(TESSARINE_ICON ${CMAKE_BINARY_DIR}/tessarine.ico)

# The station's icon in the sizes Windows asks for, drawn from the Linux desktop icon.
function(tessarine_windows_icon output)
    find_program(TESSARINE_RSVG_CONVERT rsvg-convert REQUIRED)
    find_program(TESSARINE_ICOTOOL icotool REQUIRED)
    set(svg ${PROJECT_SOURCE_DIR}/data/desktop/tessarine.svg)
    set(commands "")
    set(pngs "")
    foreach(size 16 24 32 48 64 256)
        list(APPEND commands COMMAND ${TESSARINE_RSVG_CONVERT} -w ${size} -h ${size}
             -o icon-${size}.png ${svg})
        list(APPEND pngs icon-${size}.png)
    endforeach()
    # The 256-pixel picture stays PNG inside the icon, as Windows expects it.
    list(REMOVE_ITEM pngs icon-256.png)
    add_custom_command(OUTPUT ${output} ${commands}
        COMMAND ${TESSARINE_ICOTOOL} -c -o ${output} ${pngs} -r icon-256.png
        DEPENDS ${svg} VERBATIM)
endfunction()

# tessarine_windows_resources(target description [ICON]); nothing outside Windows.
function(tessarine_windows_resources target description)
    if(NOT WIN32)
        return()
    endif()
    set(TESSARINE_RC_NAME ${target})
    set(TESSARINE_RC_DESCRIPTION ${description})
    set(TESSARINE_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    set(TESSARINE_RC_ICON "")
    set(depends ${TESSARINE_RC_MANIFEST})
    if(ARGN STREQUAL "ICON")
        # Named as Qt looks for it: the window takes it as its icon too.
        set(TESSARINE_RC_ICON "IDI_ICON1 ICON \"${TESSARINE_ICON}\"")
        tessarine_windows_icon(${TESSARINE_ICON})
        target_sources(${target} PRIVATE ${TESSARINE_ICON})
        list(APPEND depends ${TESSARINE_ICON})
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/data/windows/program.manifest.in
                   ${TESSARINE_RC_MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/data/windows/program.rc.in
                   ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}.rc PROPERTIES
                                OBJECT_DEPENDS "${depends}")
endfunction()
