# The media device behind the player: GStreamer playbin.
target_sources(dorvane_core PRIVATE
  MediaDevice.h
  GstMediaDevice.h GstMediaDevice.cpp
)
