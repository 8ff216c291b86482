# `cpack -G DEB` in the build folder packs what `cmake --install` lays out into tidewake_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME tidewake)
set(CPACK_PACKAGE_VENDOR "Corvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "race cards and race animation for boat-race (kyotei) fans")
set(CPACK_PACKAGE_DESCRIPTION
    "Tidewake opens the official race programme of a day, as downloaded (the .lzh archive or its text file), shows the race card of any race, predicts each boat's entry course from the racers' fan-handbook statistics and animates the exhibition run and the race.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(TIDEWAKE_MAINTAINER "Corvane Tidewake developers <tidewake@corvane.invalid>"
    CACHE STRING "The Maintainer field of the .deb")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TIDEWAKE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links are found by dpkg-shlibdeps; what it loads at run time without
# linking is named here: the platform plugins that open a window (xcb, wayland) and the SQLite
# driver of Qt SQL that opens the history database. The Japanese
# font and Qt's own translations are recommended: without them text falls back to another font and
# the standard dialogs read English.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-translations-l10n")
include(CPack)
