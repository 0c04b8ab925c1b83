# SPDX-License-Identifier: GPL-3.0-or-later
# Installed layout, relative to the prefix (the program finds everything from its own place):
#   bin/pinvel, bin/pinvel-file, bin/pinvel-unit, bin/pinvel-check
#   lib/pinvel/libkestrum.so          the device access library, found from ../lib/pinvel
#   share/pinvel/help/                the help pages, found from ../share/pinvel/help
#   share/pinvel/data/                the harness example
#   share/pinvel/firmware/            the open unit's firmware (.hex) and scripts/flash-unit.sh
#   share/applications/pinvel.desktop and share/icons/hicolor/scalable/apps/pinvel.svg
#   share/mime/packages/pinvel.xml    the project file type application/x-pinvel-project, with
#   share/icons/hicolor/scalable/mimetypes/application-x-pinvel-project.svg
include(GNUInstallDirs)
if(TARGET pinvel)
    install(TARGETS pinvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
foreach(tool pinvel-file pinvel-unit pinvel-check)
    if(TARGET ${tool})
        install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
if(TARGET kestrum)
    install(TARGETS kestrum LIBRARY DESTINATION lib/pinvel)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pinvel/help)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pinvel/data)
if(PINVEL_HAVE_FIRMWARE)
    install(FILES ${PINVEL_FIRMWARE_HEX} DESTINATION ${CMAKE_INSTALL_DATADIR}/pinvel/firmware)
    install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/flash-unit.sh
            DESTINATION ${CMAKE_INSTALL_DATADIR}/pinvel/firmware)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/dist/pinvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The licence, where Debian keeps every package's: a machine-readable copyright file.
install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pinvel)
install(FILES ${PROJECT_SOURCE_DIR}/dist/pinvel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/dist/pinvel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/dist/application-x-pinvel-project.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
