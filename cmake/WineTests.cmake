# A Windows build made on Linux runs its tests under Wine: each test program through
# wine-test.sh, all of them in one fresh Wine prefix under the build tree that a CTest
# fixture creates before the first test and stops after the last.

find_program(TESSARINE_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
find_program(TESSARINE_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine REQUIRED)

# The programs find their DLLs on the PATH: the test tools', Qt's and MinGW's.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)
set(wine_path ${CMAKE_BINARY_DIR}/tests/support/wine ${TESSARINE_QT_BIN})
foreach(dll IN LISTS TESSARINE_MINGW_RUNTIME)
    get_filename_component(dir ${dll} DIRECTORY)
    list(APPEND wine_path ${dir})
endforeach()
list(REMOVE_DUPLICATES wine_path)
string(REPLACE ";" ":" wine_path "${wine_path}")

# tessarine.exe started from the build tree finds Qt's German texts as the installed
# one does beside it.
file(COPY ${TESSARINE_QTBASE_DE} DESTINATION ${CMAKE_BINARY_DIR}/translations)
get_filename_component(qt_root ${TESSARINE_QT_BIN} DIRECTORY)
file(WRITE ${CMAKE_BINARY_DIR}/src/app/qt.conf
     "[Paths]\nPrefix = Z:${qt_root}\nTranslations = Z:${CMAKE_BINARY_DIR}/translations\n")

# On Windows the offscreen platform renders with FreeType from one folder of fonts:
# the window's sans-serif families, as fontconfig offers them on Linux.
set(TESSARINE_WINE_FONTS ${CMAKE_BINARY_DIR}/wine-fonts)
file(GLOB fonts /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf
     /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf)
if(NOT fonts)
    message(FATAL_ERROR "Liberation or DejaVu fonts are needed for the tests under Wine")
endif()
file(MAKE_DIRECTORY ${TESSARINE_WINE_FONTS})
foreach(font IN LISTS fonts)
    get_filename_component(name ${font} NAME)
    file(CREATE_LINK ${font} ${TESSARINE_WINE_FONTS}/${name} SYMBOLIC)
endforeach()

set(TESSARINE_WINE_ENVIRONMENT
    WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
    TESSARINE_WINE=${TESSARINE_WINE}
    TESSARINE_WINESERVER=${TESSARINE_WINESERVER}
    TESSARINE_WINE_PATH=${wine_path}
    TESSARINE_WINE_FONTS=${TESSARINE_WINE_FONTS})

add_test(NAME wine_prefix COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine-prefix.sh create)
add_test(NAME wine_prefix_stop COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine-prefix.sh stop)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 180
                     ENVIRONMENT "${TESSARINE_WINE_ENVIRONMENT}")
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine
                     ENVIRONMENT "${TESSARINE_WINE_ENVIRONMENT}")

# tessarine_add_wine_test(name program [arguments...]): a Qt Test program under Wine.
function(tessarine_add_wine_test name program)
    add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/wine-test.sh
                                  $<TARGET_FILE:${program}> ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
                         ENVIRONMENT "${TESSARINE_WINE_ENVIRONMENT}")
endfunction()
