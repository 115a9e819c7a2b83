# The Debian package (CPack's DEB generator), for the system layout only; built by
# scripts/package.sh into build-package/.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME reelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${REELVANE_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${REELVANE_HOMEPAGE})
# Libraries found by dpkg-shlibdeps; the SQLite driver is a plugin, loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# The first line is the short description, the rest the long one (CPack indents it and
# writes the empty line as " .").
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "catalogue of a personal DVD collection
Reelvane keeps a catalogue of a DVD collection: titles with their edition,
year, directors, summary, disc features, Easter eggs, genres, cast and cover
picture, in an Inventory or a Wishlist. Titles can be found as you type,
exported to and imported from CSV, and the catalogue backed up with its covers.

The catalogue is kept in each user's own data folder
(~/.local/share/reelvane), made from a template on the first start, so
installing, upgrading or removing the package never touches it.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
