# Installation (`cmake --install`) and the Debian package (`cpack -G DEB`, see scripts/package).
#
#   bin/telvora, bin/telvora-cli           the two programs
#   share/telvora/schema.sql               the database schema (also compiled into the programs)
#   share/applications, share/icons, share/metainfo   the menu entry, its icon, the software-centre entry
#   share/man/man1                         the manual pages telvora(1) and telvora-cli(1)
#   share/bash-completion/completions      telvora-cli's completion, loaded by bash-completion on demand
#   share/doc/telvora                      copyright, changelog, the listening service as an example
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

# Debian wants the manual pages and the changelog compressed at the highest level, without the name
# and time stamp gzip keeps by default. They are made when the tree is configured (the package is
# built from the two programs alone) and again whenever their source changes.
find_program(TELVORA_GZIP gzip REQUIRED)
function(telvora_gzipped source output)
  configure_file(${source} ${CMAKE_BINARY_DIR}/packaging/${output} @ONLY)
  execute_process(COMMAND ${TELVORA_GZIP} -9nf ${CMAKE_BINARY_DIR}/packaging/${output} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${output} failed")
  endif()
endfunction()
foreach(page telvora.1 telvora-cli.1)
  telvora_gzipped(${packaging}/man/${page} ${page})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
telvora_gzipped(${packaging}/changelog.in changelog)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/telvora)
install(FILES ${packaging}/bash-completion/telvora-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
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
# Lines of the long description stay under 80 characters (the control file keeps them as written).
set(CPACK_PACKAGE_DESCRIPTION
    "Telvora keeps the customers of an alarm-installation company and the panel at\n\
each site, and reaches each panel by modem to read and write its programming,\n\
download its event log, watch it live and send remote commands. Several\n\
workstations can share one database on a Firebird server. telvora-cli does\n\
the same work from scripts and services.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "firebird3.0-server-core, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "firebird3.0-server")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
