target_sources(dorvane_core PRIVATE
  TcmxID3.h Id3File.h Id3File.cpp
  GenreNames.h GenreNames.cpp
)
