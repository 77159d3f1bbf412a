#pragma once

// What every fuzz target needs: a scratch folder, file bytes in and out, and a check that stops
// the run with a message the fuzzer's report shows.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzz {

// A scratch folder for the whole run, on tmpfs when there is one: each write syncs to disk.
class FuzzDir
{
public:
    explicit FuzzDir(const char* prefix)
    {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/" + prefix + "-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern;
    }
    ~FuzzDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    FuzzDir(const FuzzDir&) = delete;
    FuzzDir& operator=(const FuzzDir&) = delete;

    [[nodiscard]] const std::string& path() const { return m_path; }
    [[nodiscard]] std::string file(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

inline void writeBytes(const std::string& fileName, const std::string& bytes)
{
    std::ofstream(fileName, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readBytes(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace fuzz
