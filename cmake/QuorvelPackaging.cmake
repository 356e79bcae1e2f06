# Debian packages: `cpack -G DEB` in the build tree makes quorvel (component
# client) and brastel-demo (component server).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "Quorvel maintainers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client)
if(QUORVEL_BUILD_SERVER)
  list(APPEND CPACK_COMPONENTS_ALL server)
endif()
# Packages install to /usr whatever prefix the build was configured with; the
# server's unit is written while installing, so it names /usr/bin too.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME quorvel)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION misc)
# Beyond the libraries the binary links: the X11/Wayland platform plugins,
# Qt's own Russian texts (buttons of message boxes, the print dialog), a
# "Times New Roman" with Cyrillic for the report and a sans-serif for the windows.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS
  "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_CLIENT_DESCRIPTION "calorie calculation of a ration from a recipe server
Quorvel is a small desktop client for public-catering nutritionists. It
fetches recipe collections, dishes and their composition from a Brastel
recipe server, builds a day's ration of up to 25 dishes at chosen portion
weights, compares its energy with the daily need of a population group and
prints a one-page calorie report. Its interface is in Russian and it lives in
the notification area.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME brastel-demo)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
# The SQL driver is a plugin, which the binary does not link.
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_SERVER_DESCRIPTION "demo recipe server for Quorvel
brastel-demo answers Quorvel's requests for recipe collections, dishes, their
composition and energy norms from a SQLite database of the Indian Food
Composition Tables 2017 with Russian names. A systemd unit runs it on port 400
as a dynamic user; it is not enabled on installation.")

include(CPack)
