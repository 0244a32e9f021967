# What a MinGW-built Windows program needs beside it: the compiler's runtime DLLs
# (C++ library, unwinder, threads) in TESSARINE_MINGW_RUNTIME, and the Qt that it was
# built against in TESSARINE_QT_BIN.
set(TESSARINE_MINGW_RUNTIME "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(found "${found}" REALPATH)
    if(NOT EXISTS "${found}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know ${dll}")
    endif()
    list(APPEND TESSARINE_MINGW_RUNTIME ${found})
endforeach()
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(TESSARINE_QT_BIN ${qt_core_dll} DIRECTORY)
