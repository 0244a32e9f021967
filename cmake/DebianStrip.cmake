# Run by CPack on the staged package: strips the programs as dh_strip does.
file(GLOB programs ${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*)
foreach(program IN LISTS programs)
    execute_process(
        COMMAND ${CPACK_TESSARINE_STRIP} --remove-section=.comment --remove-section=.note
                ${program}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
