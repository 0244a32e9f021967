# Cross build for Windows x86-64 with Debian's MinGW-w64 (posix threads) against the Qt
# cross-built from Debian's own Qt sources, unpacked to QT_MINGW_ROOT (default
# /opt/qt6-mingw). moc, rcc and uic come from the host's Qt of the same version.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSARINE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSARINE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARINE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARINE_MINGW_TRIPLE}-windres)
set(CMAKE_AR /usr/bin/${TESSARINE_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${TESSARINE_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

set(QT_MINGW_ROOT /opt/qt6-mingw CACHE PATH "Folder of the unpacked Windows Qt")
if(NOT EXISTS ${QT_MINGW_ROOT}/lib/cmake/Qt6/Qt6Config.cmake)
    message(FATAL_ERROR "No Windows Qt in ${QT_MINGW_ROOT}: unpack qt6-mingw-6.4.2.tar.xz "
                        "there (tar -C /opt -xJf ...) or pass -DQT_MINGW_ROOT=<folder>.")
endif()
list(APPEND CMAKE_PREFIX_PATH ${QT_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH /usr/${TESSARINE_MINGW_TRIPLE} ${QT_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
