# `cmake --build build --target format` applies .clang-format to every tracked C++ file;
# scripts/check-format.sh checks the same files without changing them.
find_program(DORVANE_CLANG_FORMAT clang-format)
find_package(Git QUIET)
if(DORVANE_CLANG_FORMAT AND Git_FOUND)
  add_custom_target(format
    COMMAND ${GIT_EXECUTABLE} ls-files -z "*.h" "*.cpp"
            | xargs -0 ${DORVANE_CLANG_FORMAT} -i
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "clang-format over the tracked sources"
    VERBATIM)
else()
  add_custom_target(format
    COMMAND ${CMAKE_COMMAND} -E echo "clang-format or git not found: apt-get install clang-format git"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
