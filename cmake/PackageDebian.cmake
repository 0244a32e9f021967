# The Debian package: program, scale simulator, rating texts, desktop entry,
# AppStream metainfo, manual pages and the files of /usr/share/doc/tessarine.
# Build it from the package preset (hardening flags, no source-tree paths):
# scripts/check-package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A Debian revision: the package is not native, so its changelog is changelog.Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TESSARINE_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The extended description; CPack puts the summary line before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessarine is the desktop program of a body-mass-index station: a personal scale
with a height rod on a serial line (9600 Bd, 8N1). It shows the live weight and
height, stores each measurement in a per-person history file, rates the BMI by
age and sex in German, draws the BMI history over the normal band, lists the
history and prints a report (or writes it as PDF without a printer).
.
The serial port, the data directory and the GDT link are set on the command
line, in ~/.config/Tessarine/tessarine.conf for one account or in
/etc/xdg/Tessarine/tessarine.conf for the whole station.
The package also holds tessarine-scale-sim, which sends a scale's frames to a
serial device or a pseudo-terminal for trying the station without a scale.")

# Stripped as Debian's own tools strip: without the compilers' .comment notes.
set(CPACK_STRIP_FILES OFF)
set(CPACK_TESSARINE_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStrip.cmake)

if(TESSARINE_SOURCE_TREE_DATA)
    install(CODE "message(WARNING \"This build looks for data in its source tree; \
configure with -DTESSARINE_SOURCE_TREE_DATA=OFF (preset package) for an installation.\")")
endif()
