# Shared build rules: warnings everywhere, pure libraries kept free of GUI modules,
# and one helper that turns a test source into a registered CTest test.

set(TESSARINE_WARNINGS -Wall -Wextra -Wpedantic)

function(tessarine_warnings target)
    target_compile_options(${target} PRIVATE ${TESSARINE_WARNINGS})
endfunction()

# What differs by platform: for each name, <name>_windows.cpp on Windows, else
# <name>_posix.cpp, beside the portable part.
function(tessarine_platform_sources target)
    if(WIN32)
        set(suffix _windows.cpp)
    else()
        set(suffix _posix.cpp)
    endif()
    foreach(name IN LISTS ARGN)
        target_sources(${target} PRIVATE ${name}${suffix})
    endforeach()
endfunction()

# A pure library computes what the station does and may depend on Qt Core and on
# other pure libraries only. The check runs at the end of configuration, when all
# links are known, and fails the configure step if a GUI or device module slipped in.
set_property(GLOBAL PROPERTY TESSARINE_PURE_TARGETS "")

function(tessarine_pure_library target)
    add_library(${target} STATIC ${ARGN})
    target_link_libraries(${target} PUBLIC Qt6::Core)
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    tessarine_warnings(${target})
    set_property(GLOBAL APPEND PROPERTY TESSARINE_PURE_TARGETS ${target})
endfunction()

function(tessarine_check_pure_targets)
    get_property(pure GLOBAL PROPERTY TESSARINE_PURE_TARGETS)
    foreach(target IN LISTS pure)
        get_target_property(links ${target} LINK_LIBRARIES)
        foreach(lib IN LISTS links)
            if(lib MATCHES "^Qt6::" AND NOT lib STREQUAL "Qt6::Core")
                message(FATAL_ERROR "Pure library ${target} must not link ${lib}")
            endif()
            if(TARGET ${lib} AND NOT lib MATCHES "^Qt6::")
                if(NOT lib IN_LIST pure)
                    message(FATAL_ERROR "Pure library ${target} links non-pure ${lib}")
                endif()
            endif()
        endforeach()
    endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tessarine_check_pure_targets)

# tessarine_add_test(tst_name SOURCES a.cpp [b.cpp] LIBS lib... [ENV VAR=value...])
# Window tests run on the offscreen platform so that no display is needed; a Windows
# build made here runs them under Wine.
function(tessarine_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    tessarine_warnings(${name})
    if(TESSARINE_TESTS_UNDER_WINE)
        # Wine hands WINEQT_X on to the program as QT_X, and no QT_X itself.
        list(TRANSFORM ARG_ENV REPLACE "^QT_" "WINEQT_")
        tessarine_add_wine_test(${name} ${name})
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT LC_ALL=C.UTF-8 ${ARG_ENV})
        set_tests_properties(${name} PROPERTIES TIMEOUT 120)
    else()
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;${ARG_ENV}"
            TIMEOUT 120)
    endif()
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/WindowsResources.cmake)
