# What a MinGW-built Windows program needs beside it: the compiler's runtime DLLs
# (C++ library, unwinder, threads) in TESSARINE_MINGW_RUNTIME, the Qt that it was
# built against in TESSARINE_QT_BIN, and Qt's German texts in TESSARINE_QTBASE_DE.
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

# Debian's German Qt texts serve the Windows build unchanged; the Windows Qt has none.
find_file(TESSARINE_QTBASE_DE qtbase_de.qm PATHS /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TESSARINE_QTBASE_DE)
    message(FATAL_ERROR "qtbase_de.qm not found: apt-get install qt6-translations-l10n")
endif()
