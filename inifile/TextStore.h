#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace profile {

/// Texts kept in blocks that never move, so views of them stay valid as long as the store:
/// rewriting thousands of lines of a file costs a few allocations, not one each.
class TextStore
{
public:
    TextStore() = default;
    TextStore(TextStore&& other) noexcept;
    TextStore& operator=(TextStore&& other) noexcept;
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;
    ~TextStore() = default;

    /// The parts joined, kept as long as the store.
    std::string_view store(std::initializer_list<std::string_view> parts);

private:
    static constexpr std::size_t BlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr; // in the last block
    std::size_t m_left = 0;
};

} // namespace profile
