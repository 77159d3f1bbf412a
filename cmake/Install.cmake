# Installing for one user: the program folder as the program expects it (executable, language/,
# sounds/), a launcher on the PATH, a menu entry and the icons. The program writes its settings
# and events into its own folder, hence a prefix the user owns (~/.local unless one is given).
include(GNUInstallDirs)

set(DORVANE_INSTALL_PROGRAMDIR "lib/dorvane" CACHE STRING
    "The program folder (executable, language/, sounds/), relative to the install prefix")

install(TARGETS dorvane RUNTIME DESTINATION ${DORVANE_INSTALL_PROGRAMDIR})
install(FILES language/English.ini language/Russian.ini
        DESTINATION ${DORVANE_INSTALL_PROGRAMDIR}/language)
install(FILES sounds/alarm.wav DESTINATION ${DORVANE_INSTALL_PROGRAMDIR}/sounds)

if(EXISTS ${CMAKE_SOURCE_DIR}/icons/hicolor)
  install(DIRECTORY icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          FILES_MATCHING PATTERN "dorvane.png")
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/icons/dorvane.svg)
  install(FILES icons/dorvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The launcher and the menu entry name paths, so they are written when installing: then
# `cmake --install --prefix` gets them right too.
install(CODE "
  set(programDir [[${DORVANE_INSTALL_PROGRAMDIR}]])
  set(binDir [[${CMAKE_INSTALL_BINDIR}]])
  set(applicationsDir [[${CMAKE_INSTALL_DATADIR}/applications]])
  set(templateDir [[${CMAKE_SOURCE_DIR}/desktop]])
  set(workDir [[${CMAKE_BINARY_DIR}/desktop]])
  include([[${CMAKE_CURRENT_LIST_DIR}/InstallLauncher.cmake]])
")

