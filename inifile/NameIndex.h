#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Section and key names match regardless of ASCII case. These look them up without lower-cased
// copies, the names viewing texts that stay in place as long as the index is used.
namespace profile {

[[nodiscard]] std::uint64_t caseBlindHash(std::string_view name);
[[nodiscard]] bool caseBlindEqual(std::string_view a, std::string_view b);

/// Name -> position, in one flat open-addressed table: a file of 100,000 sections is indexed
/// with a few allocations instead of one per name.
class NameIndex
{
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    [[nodiscard]] std::size_t find(std::string_view name) const;
    /// Adds the name unless it is there already; false when it was.
    bool add(std::string_view name, std::size_t position);
    /// Gives a name that is there a new position, viewing the new name.
    void replace(std::string_view name, std::size_t position);
    void erase(std::string_view name);
    void reserve(std::size_t count);
    [[nodiscard]] std::size_t size() const { return m_size; }

private:
    static constexpr std::uint32_t Free = 0xFFFFFFFF;
    static constexpr std::uint32_t Erased = 0xFFFFFFFE; // a tombstone: probes go on past it

    struct Slot
    {
        const char* name = nullptr;
        std::uint32_t nameSize = 0;
        std::uint32_t hash = 0; // the high half of the name's hash, which picks the first slot
        std::uint32_t position = Free;
    };

    [[nodiscard]] std::size_t slotOf(std::string_view name, std::uint32_t hash) const;
    void rebuild(std::size_t capacity);

    std::vector<Slot> m_slots; // a power of two in size, at most half of it in use
    std::size_t m_size = 0;
    std::size_t m_tombstones = 0;
};

} // namespace profile
