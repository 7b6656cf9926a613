# The Debian package: `scripts/package` builds it into build-package/vellumo_<version>_amd64.deb.
# The libraries it links are found by dpkg-shlibdeps; what it loads or runs by name is listed here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vellumo developers")
set(CPACK_PACKAGE_CONTACT "The Vellumo developers <tamsel@vellumo.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for HTML pages with a library of web page effects")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellumo edits single HTML pages: open, save, find and replace, and preview\n\
in a built-in or the system's browser. It offers a library of ready-made web\n\
page effects, whose code it assembles from the user's pictures, sizes, texts,\n\
fonts and colours. Its user interface is in Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vellumo.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/vellumo)
# The browser engine's helper process, Qt's Chinese texts, the fonts the program asks for by name,
# and the opener of the system's browser and mail program.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6webenginecore6-bin, qt6-translations-l10n, fonts-arphic-uming, fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm")
set(CPACK_STRIP_FILES ON)
include(CPack)
