target_sources(dorvane_core PRIVATE
  GStreamerInit.h GStreamerInit.cpp
  GstWaveSound.h GstWaveSound.cpp
)
