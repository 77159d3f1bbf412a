target_sources(dorvane_core PRIVATE
  XdgAutoStart.h XdgAutoStart.cpp
  SingleInstance.h SingleInstance.cpp
  UnixSignalWatcher.h UnixSignalWatcher.cpp
  QtMessageBoxes.h QtMessageBoxes.cpp
  DesktopShell.h DesktopShell.cpp
)
