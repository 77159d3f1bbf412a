#include "inifile/NameIndex.h"

#include "base/HugePages.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace profile {

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV's low bits mix least: the high half picks the slot.
std::uint32_t highHalf(std::uint64_t hash)
{
    return static_cast<std::uint32_t>(hash >> 32);
}

} // namespace

std::uint64_t caseBlindHash(std::string_view name)
{
    // FNV-1a over the lower-cased bytes.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(lowerAscii(c));
        hash *= 1099511628211ULL;
    }
    return hash;
}

bool caseBlindEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::size_t NameIndex::slotOf(std::string_view name, std::uint32_t hash) const
{
    if (m_slots.empty())
        return npos;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.position == Free)
            return npos;
        if (slot.position != Erased && slot.hash == hash && slot.nameSize == name.size() &&
            caseBlindEqual({slot.name, slot.nameSize}, name))
            return i;
    }
}

std::size_t NameIndex::find(std::string_view name) const
{
    const std::size_t slot = slotOf(name, highHalf(caseBlindHash(name)));
    return slot == npos ? npos : m_slots[slot].position;
}

bool NameIndex::add(std::string_view name, std::size_t position)
{
    const std::uint32_t hash = highHalf(caseBlindHash(name));
    if (slotOf(name, hash) != npos)
        return false;
    if (2 * (m_size + m_tombstones + 1) > m_slots.size())
        rebuild(std::max<std::size_t>(16, std::bit_ceil(4 * (m_size + 1))));
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].position != Free && m_slots[i].position != Erased)
        i = (i + 1) & mask;
    if (m_slots[i].position == Erased)
        --m_tombstones;
    m_slots[i] = {name.data(), static_cast<std::uint32_t>(name.size()), hash,
                  static_cast<std::uint32_t>(position)};
    ++m_size;
    return true;
}

void NameIndex::replace(std::string_view name, std::size_t position)
{
    const std::size_t slot = slotOf(name, highHalf(caseBlindHash(name)));
    if (slot != npos) {
        m_slots[slot].name = name.data();
        m_slots[slot].position = static_cast<std::uint32_t>(position);
    }
}

void NameIndex::erase(std::string_view name)
{
    const std::size_t slot = slotOf(name, highHalf(caseBlindHash(name)));
    if (slot == npos)
        return;
    m_slots[slot].position = Erased;
    --m_size;
    ++m_tombstones;
}

void NameIndex::reserve(std::size_t count)
{
    if (2 * count > m_slots.size())
        rebuild(std::bit_ceil(2 * count));
}

void NameIndex::rebuild(std::size_t capacity)
{
    std::vector<Slot> fresh;
    fresh.reserve(capacity);
    // A big file's index takes megabytes, filled at once.
    memory::adviseHugePages(fresh.data(), capacity * sizeof(Slot));
    fresh.resize(capacity);
    std::vector<Slot> old = std::exchange(m_slots, std::move(fresh));
    const std::size_t mask = capacity - 1;
    for (const Slot& slot : old) {
        if (slot.position == Free || slot.position == Erased)
            continue;
        std::size_t i = slot.hash & mask;
        while (m_slots[i].position != Free)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
    m_tombstones = 0;
}

} // namespace profile
