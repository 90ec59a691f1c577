#pragma once

#include "support/KivDate.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class KivEngine;

// What the repository classes share: the engine, the buffers its calls write texts into, and
// the moments it gives.
namespace kiv::repo {

// The process-wide engine (KivGetEngine).
KivEngine& Engine();

// A zero-filled buffer for one engine call, so that a call that writes nothing yields the empty
// text. The text ends at the first NUL and never reaches past the buffer.
class TextBuffer {
public:
    explicit TextBuffer(size_t capacity) : m_bytes(capacity, '\0') {}
    char* Data() { return m_bytes.data(); }
    size_t Capacity() const { return m_bytes.size(); }
    std::string Text() const;

private:
    std::vector<char> m_bytes;
};

// The text of the entity's name symbol as a 256-byte buffer holds it (at most 255 characters),
// read without making the symbol; `status` is the engine's.
std::string EntityName(uint32_t entId, uint32_t& status);

// A moment read from the engine: converted from GMT to local time when the call succeeded,
// otherwise the out value as it came.
uint32_t LocalMoment(uint32_t status, uint32_t gmtSeconds);
// 1970-01-01 plus the moment's whole days, or the null date when the read failed.
KivDate MomentDate(bool success, uint32_t seconds);
// The time of day of the moment as hh:mm:ss, or the empty text when the read failed.
std::string MomentTime(bool success, uint32_t seconds);

// Sorts objects ascending by Name (byte order).
template <class T> void SortByName(std::vector<std::shared_ptr<T>>& objects) {
    // Each name is read once: Name gives a copy, and a sort compares every object many times.
    // The sort moves their indices, not the names and objects.
    std::vector<std::string> names;
    names.reserve(objects.size());
    for (const std::shared_ptr<T>& object : objects)
        names.push_back(object->Name());
    std::vector<uint32_t> order(objects.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return names[a] < names[b]; });
    std::vector<std::shared_ptr<T>> sorted;
    sorted.reserve(objects.size());
    for (uint32_t i : order)
        sorted.push_back(std::move(objects[i]));
    objects = std::move(sorted);
}

} // namespace kiv::repo
