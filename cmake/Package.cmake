# The AppStream data and the manual page, for either install, and the Debian package
# (`scripts/package.sh OUT_DIR`): a system-wide install under /usr whose program folder is
# read-only, so each user's events and settings go to their home.
include(GNUInstallDirs)

install(FILES desktop/org.dorvane.Dorvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(manPage ${CMAKE_BINARY_DIR}/desktop/dorvane.1.gz)
# -n: no name or time stamp inside, so the package builds the same twice.
add_custom_command(OUTPUT ${manPage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/desktop
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/desktop/dorvane.1 > ${manPage}
  DEPENDS ${CMAKE_SOURCE_DIR}/desktop/dorvane.1)
add_custom_target(man_page ALL DEPENDS ${manPage})
install(FILES ${manPage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dorvane)
set(CPACK_PACKAGE_VENDOR "The Dorvane developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminder for the desktop with alarms at a date and time")
set(CPACK_PACKAGE_DESCRIPTION "Dorvane keeps a list of events, each with a date, a time, a
title, a message, an optional sound and an optional file to open. When an
event falls due, its sound plays, its file opens and its message is shown.
An event can also be a countdown. Dorvane lives in the notification area,
can start at login and speaks English and Russian.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Dorvane developers <developers@dorvane.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://dorvane.org)
# The libraries come from dpkg-shlibdeps; GStreamer's plugins are loaded at run time, so they are
# named: playbin (base), autoaudiosink, wavparse and the MP3 decoder (good).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
# The copyright file and the changelog Debian asks every package for.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageDocs.cmake)
set(DORVANE_PACKAGE_DOCS ${CMAKE_SOURCE_DIR}/desktop)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(DORVANE_PACKAGE_DOCS [[${DORVANE_PACKAGE_DOCS}]])\n")
include(CPack)
