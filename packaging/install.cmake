# Installation (`cmake --install`) and the Debian package (`cpack -G DEB`, see scripts/package).
#
#   bin/telvora, bin/telvora-cli           the two programs
#   share/telvora/schema.sql               the database schema (also compiled into the programs)
#   share/applications, share/icons, share/metainfo   the menu entry, its icon, the software-centre entry
#
# An installed program keeps each user's settings and database in the user's data folder
# (src/base/app_paths.h): share/telvora/schema.sql beside its bin folder is how it knows it is installed.

include(GNUInstallDirs)
# Installing (and packaging) takes the programs as built: it does not build the whole tree first,
# so the package of a tree built with its test suites does not wait for them.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TELVORA_APP_ID com.telvora.Telvora)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS telvora telvora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/db/schema.sql DESTINATION ${CMAKE_INSTALL_DATADIR}/telvora)
install(FILES ${packaging}/${TELVORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${TELVORA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${packaging}/${TELVORA_APP_ID}.metainfo.xml ${CMAKE_BINARY_DIR}/${TELVORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${TELVORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/telvora)
# The service that waits for panels calling in, as an example to copy and adjust (README).
install(FILES ${packaging}/telvora-listen.service DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/telvora/examples)

# The Debian package. Its dependencies are what dpkg-shlibdeps finds the programs linked against
# (Qt, the Firebird client library, the C++ runtime) plus what they load at run time, which it
# cannot see: the Firebird engine that opens a database file embedded, Qt's SVG image plugin (the
# product pictures) and Qt's own Portuguese texts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME telvora)
set(CPACK_PACKAGE_VENDOR Telvora)
set(CPACK_PACKAGE_CONTACT "Telvora <suporte@telvora.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "customer database and remote programming of intruder-alarm panels")
set(CPACK_PACKAGE_DESCRIPTION
    "Telvora keeps the customers of an alarm-installation company and the panel at each site, and\n\
reaches each panel by modem to read and write its programming, download its event log, watch it\n\
live and send remote commands. Several workstations can share one database on a Firebird server.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "firebird3.0-server-core, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "firebird3.0-server")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
