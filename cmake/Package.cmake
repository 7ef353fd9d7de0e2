# One Debian package with both programs (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR Velantrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvanta developers <orvanta@velantrix.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PORTAL_BASE_URL}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Libraries come from the binaries; the rest are loaded at run time: Qt's own
# Chinese texts, a font with the Chinese characters, and the elements that Qt
# Multimedia's GStreamer back-end opens (audioconvert and volume from the base
# set, autoaudiosink and pulsesink from the good one). The sounds play through
# a PulseAudio server, which PipeWire can stand in for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-noto-cjk, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
# CPack calls ldconfig from maintainer scripts for any shared object below
# /usr/lib, even the private web module the dynamic linker never looks at;
# the package needs no maintainer scripts, so they are taken out again.
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/DropMaintainerScripts.cmake")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "client of the Velantrix travel trade portal, with a blocks game
Orvanta is the everyday tool of travel agency staff working with the
Velantrix portal: five panes on the portal's pages, a menu bar and a toolbar
for the portal's other pages, a login page, a month calendar. Brickvane is a
falling blocks puzzle that Orvanta starts from its Help menu.

Orvanta是旅行社员工使用Velantrix同行协作网的日常工具：五个窗格同时显示
协作网的页面，菜单和工具栏打开协作网的其他页面，另有登陆页面和月历。
Brickvane是一个方块游戏，可从Orvanta的帮助菜单启动。")
include(CPack)
