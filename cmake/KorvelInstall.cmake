# Installing the game. Whoever makes a file of the program folder installs
# it into KORVEL_INSTALL_DIR, and the icons with their generator; here the
# korvel command in bin, the desktop entry and the AppStream metainfo. The
# program writes nothing under the prefix: a read-only program folder sends
# its files to the user's folders.

# The command is a link to the program, which resolves it to find its folder.
set(korvel_command ${CMAKE_BINARY_DIR}/command/korvel)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/command)
file(CREATE_LINK ../${KORVEL_INSTALL_DIR}/korvel ${korvel_command} SYMBOLIC)
install(FILES ${korvel_command} DESTINATION bin)

set(korvel_desktop ${PROJECT_SOURCE_DIR}/assets/desktop)
install(FILES ${korvel_desktop}/korvel.desktop DESTINATION share/applications)
install(FILES ${korvel_desktop}/example.korvel.Korvel.metainfo.xml DESTINATION share/metainfo)

# cpack -G DEB: a Debian package of the same tree under /usr.
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VENDOR Vorlane)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Nine Men's Morris against the computer or a friend")
set(CPACK_PACKAGE_CONTACT "Vorlane <korvel@korvel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6widgets6, libqt6network6, qt6-qpa-plugins, libsdl2-mixer-2.0-0, timgm6mb-soundfont, libtinyxml2.6.2v5, xdg-utils")
include(CPack)
