# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh does both steps)
# makes pinvel_<version>_<arch>.deb from what `cmake --install` puts under /usr. The libraries
# the programs link are found by dpkg-shlibdeps; what is loaded at run time is named here: Qt's
# platform plugins (the window system), the fonts the windows are drawn in, and Qt's Russian
# texts of the standard dialogs.
set(CPACK_PACKAGE_NAME pinvel)
set(CPACK_PACKAGE_VENDOR "Pinvel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cable harness tester with a USB diagnostic unit")
set(CPACK_PACKAGE_DESCRIPTION
    "Pinvel lays out the connectors of a cable harness, ties their contacts to the pins of a USB
diagnostic unit and tests the harness: every contact's level is shown live. The package holds
the program, the device access library with its simulated unit, the help pages, a harness
example, the unit emulator pinvel-unit, the project file tool pinvel-file, and the firmware of
the open diagnostic unit with the script that flashes it.")
set(CPACK_PACKAGE_CONTACT "${PINVEL_SUPPORT_EMAIL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pinvel <${PINVEL_SUPPORT_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PINVEL_SUPPORT_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads the window system and the records' SQLite driver at run time; the PostgreSQL driver
# is needed only where the stations share a database. libsodium hashes the supervisors' PINs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wine, libqt6sql6-sqlite, libsodium23")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils, libqt6sql6-psql")
# Flashing the open unit's firmware.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "avrdude")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON) # the debugging data stays in the build
include(CPack)
