# The Windows package: one folder with tessarine.exe, the scale simulator, the Qt and
# MinGW DLLs, the plugins the program loads, Qt's German texts and the rating files.
# CPack makes a ZIP of it and an NSIS installer with a Start-menu entry and an
# uninstaller: `cpack -G ZIP` / `cpack -G NSIS` in the build folder.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)

install(FILES
    $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    $<TARGET_FILE:Qt6::PrintSupport> $<TARGET_FILE:Qt6::SerialPort>
    ${TESSARINE_MINGW_RUNTIME}
    DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
        DESTINATION ${CMAKE_INSTALL_BINDIR}/plugins/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
        DESTINATION ${CMAKE_INSTALL_BINDIR}/plugins/styles)

# The DLLs come with symbols (libstdc++ 24 MB, 2 MB without); a stripping install
# (CPack's) strips them as it does the programs.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \${dlls} COMMAND_ERROR_IS_FATAL ANY)
    endif()")

install(FILES ${TESSARINE_QTBASE_DE} DESTINATION ${CMAKE_INSTALL_BINDIR}/translations)

# Qt looks for plugins and translations beside the program, not where it was built.
file(WRITE ${CMAKE_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")
install(FILES ${CMAKE_BINARY_DIR}/qt.conf DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGING_INSTALL_PREFIX "")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tessarine)
set(CPACK_PACKAGE_EXECUTABLES tessarine Tessarine)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_DISPLAY_NAME Tessarine)
set(CPACK_NSIS_PACKAGE_NAME Tessarine)
set(CPACK_NSIS_INSTALLED_ICON_NAME tessarine.exe)
set(CPACK_NSIS_MUI_ICON ${TESSARINE_ICON})
set(CPACK_NSIS_MUI_UNIICON ${TESSARINE_ICON})
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# A 64-bit installer: the stations' Windows (and a 64-bit-only Wine) may run no 32-bit
# program, and it installs into the 64-bit "C:\Program Files" and registry.
set(CPACK_NSIS_DEFINES "Target amd64-unicode\n  !include FileFunc.nsh")
# The publisher is not "Tessarine": the uninstaller deletes HKLM\Software\<publisher>\
# <key>, and Software\Tessarine\tessarine holds the station's settings.
set(CPACK_PACKAGE_VENDOR "${TESSARINE_PUBLISHER}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tessarine)
set(CPACK_VERBATIM_VARIABLES ON) # values reach the installer script as written here
set(uninstall_key "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessarine")
# An installation over an installed one, of any version (so the key holds none), first
# removes it, asking nothing (CPack's own question is English): one program, one entry.
# The folder is the uninstaller's, from its quoted path.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "ReadRegStr $0 HKLM \"${uninstall_key}\" UninstallString
  StrCmp $0 \"\" +3
  StrCpy $1 $0 -15 1
  ExecWait '$0 /S _?=$1'")
# The size "Apps & features" shows.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "\${GetSize} \"$INSTDIR\" \"/S=0K\" $0 $1 $2
  WriteRegDWORD SHCTX \"${uninstall_key}\" EstimatedSize $0")
