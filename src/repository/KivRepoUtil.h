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

} // namespace kiv::repo
