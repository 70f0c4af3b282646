# The Debian package: the installation goes to /opt/parvelo as it is, except its settings file,
# which becomes the machine's settings in /etc/parvelo; a launcher on the PATH, the desktop
# entry, the icon, the manual page, the software centre's metadata and the documentation go to
# their usual system places. Those belong to the package only (component "system", left out of
# a plain `cmake --install`), since their destinations are absolute.

set(PARVELO_PACKAGE_PREFIX /opt/parvelo)
set(PARVELO_LAUNCHER_DIR /usr/bin)
set(PARVELO_MACHINE_SETTINGS_DIR /etc/parvelo)
set(PARVELO_METAINFO_ID org.parvelo.parvelo)

# The launcher finds the shared installation and the machine's settings relative to itself, so
# an unpacked package works wherever it lies.
file(RELATIVE_PATH LAUNCHER_TO_SHARED ${PARVELO_LAUNCHER_DIR} ${PARVELO_PACKAGE_PREFIX})
file(RELATIVE_PATH LAUNCHER_TO_MACHINE_SETTINGS ${PARVELO_LAUNCHER_DIR}
  ${PARVELO_MACHINE_SETTINGS_DIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/launcher.sh.in
  ${CMAKE_BINARY_DIR}/packaging/parvelo @ONLY)

# The changelog's newest entry is the package's version: lintian and apt's changelog readers
# take the version from there.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^parvelo \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not begin with an entry for version "
    "${PROJECT_VERSION}: ${changelog_head}")
endif()

# Debian keeps the changelog and manual pages compressed, without the time stamp that would
# make every build differ.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
add_custom_command(
  OUTPUT ${packaging_out}/changelog.gz ${packaging_out}/parvelo.1.gz
  COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog
          > ${packaging_out}/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/packaging/parvelo.1
          > ${packaging_out}/parvelo.1.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_SOURCE_DIR}/packaging/parvelo.1
  COMMENT "Compressing the changelog and the manual page"
  VERBATIM)
add_custom_target(parvelo_package_docs ALL
  DEPENDS ${packaging_out}/changelog.gz ${packaging_out}/parvelo.1.gz)

install(PROGRAMS ${packaging_out}/parvelo
  DESTINATION ${PARVELO_LAUNCHER_DIR} COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/resources/install/Conf.ini
  DESTINATION ${PARVELO_MACHINE_SETTINGS_DIR} COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/parvelo.desktop
  DESTINATION /usr/share/applications COMPONENT system EXCLUDE_FROM_ALL)
foreach(size 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/parvelo-${size}.png
    DESTINATION /usr/share/icons/hicolor/${size}x${size}/apps RENAME parvelo.png
    COMPONENT system EXCLUDE_FROM_ALL)
endforeach()
install(FILES ${packaging_out}/parvelo.1.gz
  DESTINATION /usr/share/man/man1 COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PARVELO_METAINFO_ID}.metainfo.xml
  DESTINATION /usr/share/metainfo COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging_out}/changelog.gz
  DESTINATION /usr/share/doc/parvelo COMPONENT system EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parvelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Parvelo developers <developers@parvelo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop client of the college English learning platform")
set(CPACK_PACKAGE_DESCRIPTION "The frame around the platform's web pages, with a microphone
check that records and judges a spoken sample sentence.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${PARVELO_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)

# One package holding the installation and the system component.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified system)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The machine's Conf.ini is the package's one configuration file: an administrator's changes
# survive upgrades, and only a purge removes it.
file(WRITE ${packaging_out}/conffiles "${PARVELO_MACHINE_SETTINGS_DIR}/Conf.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging_out}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# What the program loads at run time besides what it links: the platform plugins, the
# speech model, the Chinese font, the OpenGL drivers, Qt's Chinese texts, ffmpeg, which
# converts the platform's WMA listening files, and the machine's store of authorities
# (/etc/ssl/certs), which the platform's certificate is checked against.
set(PARVELO_PACKAGE_DEPENDS qt6-qpa-plugins pocketsphinx-en-us fonts-noto-cjk libgl1-mesa-dri
  qt6-translations-l10n ffmpeg ca-certificates)
list(JOIN PARVELO_PACKAGE_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The packages of the libraries it links are those dpkg-shlibdeps finds on the system the
# package is built on: Debian 12 and Debian 13 name several of them differently.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
