# The media player and its progress worker.
target_sources(dorvane_core PRIVATE
  TcmxMP3.h TcmxMP3.cpp TcmxMP3Files.cpp
  TcmxProgressThread.h TcmxProgressThread.cpp
)
