# cpack -G DEB: the Debian package of the game. Its library dependencies are
# computed from the installed programs by dpkg-shlibdeps (Qt's platform,
# image-format and multimedia plugins come with the Qt libraries in Debian 12).
# The MIME, desktop-entry, icon and manual-page databases are refreshed by the
# file triggers that shared-mime-info, desktop-file-utils, hicolor-icon-theme
# and man-db hold on /usr/share/mime/packages, /usr/share/applications,
# /usr/share/icons/hicolor and /usr/share/man, so the package needs no
# maintainer scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME solitaire-trisk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Solitaire Trisk developers")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://solitaire-trisk.github.io/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Napoleon's Tomb and Diamond, patience games with two decks")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# update-mime-database, run when the game writes the ".kxr" association; and
# the trigger of desktop-file-utils, which writes the desktop-entry cache that
# GLib's "gio open" reads to find the game for a ".kxr" file before the game
# has run once (desktops install it anyway; a minimal system may not have it).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
# The extended description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A patience game for one player with a double deck of 104 cards:
Napoleon's Tomb in three variants (Simplified, Classical, Complicated)
and Diamond. Every deal is fixed by a game number, so that a deal can be
restarted, chosen by its number or reproduced from a saved game. The game
enforces the rules, counts moves, times the game and keeps a full history
for undo, redo, a bookmark and restart. Saved games (.kxr) open from the
file manager.
.
trisk-tool deals, replays and shows games on the command line.")

include(CPack)
