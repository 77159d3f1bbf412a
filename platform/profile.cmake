# The initialisation-file engine: plain C++ and POSIX, no Qt, so the fuzz target can build it alone.
set(DORVANE_PROFILE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Profile.h ${CMAKE_CURRENT_LIST_DIR}/Profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfileSession.h ${CMAKE_CURRENT_LIST_DIR}/ProfileSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfileDocument.h ${CMAKE_CURRENT_LIST_DIR}/ProfileDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfileText.h ${CMAKE_CURRENT_LIST_DIR}/ProfileText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.h ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.cpp
  CACHE INTERNAL "Sources of the initialisation-file engine")
target_sources(dorvane_core PRIVATE ${DORVANE_PROFILE_SOURCES})
