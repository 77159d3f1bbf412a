#pragma once

#include "base/HugePages.h"
#include "core/Event.h"

#include <cstddef>
#include <vector>

/// The ordered list of records, in insertion order; nothing sorts it. It owns its records.
/// Entry i and row i of the list view describe the same event: callers change both in one step.
class EventList
{
public:
    [[nodiscard]] std::size_t size() const { return m_events.size(); }
    [[nodiscard]] bool empty() const { return m_events.empty(); }
    [[nodiscard]] Event& operator[](std::size_t i) { return m_events.at(i); }
    [[nodiscard]] const Event& operator[](std::size_t i) const { return m_events.at(i); }

    void append(Event event) { m_events.push_back(std::move(event)); }
    void removeAt(std::size_t i)
    {
        m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(i));
    }
    void clear() { m_events.clear(); }
    /// Makes the list n empty records long, for a load to fill in place.
    void resize(std::size_t n)
    {
        m_events.reserve(n);
        // A big list is filled at once, as it loads.
        memory::adviseHugePages(m_events.data(), n * sizeof(Event));
        m_events.resize(n);
    }

    [[nodiscard]] auto begin() const { return m_events.begin(); }
    [[nodiscard]] auto end() const { return m_events.end(); }

private:
    std::vector<Event> m_events;
};
