#pragma once

#include "engine/KivExportImage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The layout of one level (application part, module head or tail, entity) of an export file:
// its records in file order, each marked as
// - Raw: a record the engine does not interpret, written back byte for byte;
// - Slot: an interpreted record with its original data, written back unchanged while the value
//   it carries is unchanged, else with today's value;
// - Marker: the place of an interpreted record whose value is kept elsewhere (a list of the
//   application, an entity's source), written back from there.
// Stored as a blob: per item one kind byte, the 16-bit tag, a 32-bit length and the data.
enum class KivLayoutKind : uint8_t { Raw = 0, Slot = 1, Marker = 2 };

struct KivLayoutItem {
    KivLayoutKind kind = KivLayoutKind::Raw;
    uint16_t tag = 0;
    std::string_view data;
};

class KivRecordLayout {
public:
    explicit KivRecordLayout(std::string_view layout) : m_layout(layout) {}

    static void Append(std::string& layout, KivLayoutKind kind, uint16_t tag, std::string_view data);

    // The next item; false at the end. A blob that is cut short ends the walk there.
    bool Next(KivLayoutItem& item);

private:
    std::string_view m_layout;
    size_t m_offset = 0;
};

// The records of a list's entries laid end to end, and back: an entry starts at each record
// with the list's head tag and takes the records that follow it.
std::string KivJoinListEntries(const std::vector<KivListEntry>& entries);
std::vector<KivListEntry> KivSplitListEntries(std::string_view records, uint16_t headTag);
// A new entry made of one record of the head tag holding the name.
KivListEntry KivMakeListEntry(uint16_t headTag, std::string_view name);
