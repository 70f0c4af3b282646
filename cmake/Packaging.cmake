# The Debian package: the installation goes to /opt/parvelo as it is; a launcher on the PATH,
# the desktop entry and the icon go to their usual system places. Those three belong to the
# package only (component "desktop", left out of a plain `cmake --install`), since their
# destinations are absolute.

set(PARVELO_PACKAGE_PREFIX /opt/parvelo)
set(PARVELO_LAUNCHER_DIR /usr/bin)

# The launcher finds the shared installation relative to itself, so an unpacked package works
# wherever it lies.
file(RELATIVE_PATH LAUNCHER_TO_SHARED ${PARVELO_LAUNCHER_DIR} ${PARVELO_PACKAGE_PREFIX})
configure_file(${PROJECT_SOURCE_DIR}/packaging/launcher.sh.in
  ${CMAKE_BINARY_DIR}/packaging/parvelo @ONLY)

install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/parvelo
  DESTINATION ${PARVELO_LAUNCHER_DIR} COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/parvelo.desktop
  DESTINATION /usr/share/applications COMPONENT desktop EXCLUDE_FROM_ALL)
foreach(size 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/parvelo-${size}.png
    DESTINATION /usr/share/icons/hicolor/${size}x${size}/apps RENAME parvelo.png
    COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parvelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Parvelo developers <parvelo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop client of the college English learning platform")
set(CPACK_PACKAGE_DESCRIPTION "The frame around the platform's web pages, with a microphone \
check that records and judges a spoken sample sentence.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${PARVELO_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)

# One package holding the installation and the desktop component.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified desktop)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The shared Conf.ini is every new user's default settings: an administrator's changes to it
# survive upgrades.
file(WRITE ${CMAKE_BINARY_DIR}/packaging/conffiles "${PARVELO_PACKAGE_PREFIX}/Conf.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# What the program loads at run time besides what it links: the platform plugins, the
# speech model, the Chinese font, the OpenGL drivers, Qt's Chinese texts and ffmpeg, which
# converts the platform's WMA listening files.
set(PARVELO_PACKAGE_DEPENDS qt6-qpa-plugins pocketsphinx-en-us fonts-noto-cjk libgl1-mesa-dri
  qt6-translations-l10n ffmpeg)
list(JOIN PARVELO_PACKAGE_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The packages of the libraries it links are those dpkg-shlibdeps finds on the system the
# package is built on: Debian 12 and Debian 13 name several of them differently.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
