#include "inifile/TextStore.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace profile {

TextStore::TextStore(TextStore&& other) noexcept
    : m_blocks(std::move(other.m_blocks)), m_free(std::exchange(other.m_free, nullptr)),
      m_left(std::exchange(other.m_left, 0))
{}

TextStore& TextStore::operator=(TextStore&& other) noexcept
{
    m_blocks = std::move(other.m_blocks);
    m_free = std::exchange(other.m_free, nullptr);
    m_left = std::exchange(other.m_left, 0);
    return *this;
}

std::string_view TextStore::store(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    if (size == 0)
        return {};
    if (size > m_left) {
        const std::size_t block = std::max(size, BlockSize);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(block));
        m_free = m_blocks.back().get();
        m_left = block;
    }
    char* const text = m_free;
    for (const std::string_view part : parts) {
        if (!part.empty())
            std::memcpy(m_free, part.data(), part.size());
        m_free += part.size();
    }
    m_left -= size;
    return {text, size};
}

} // namespace profile
