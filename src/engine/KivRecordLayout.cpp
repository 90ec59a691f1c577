#include "engine/KivRecordLayout.h"

#include "support/KivRecordStream.h"

#include <limits>

void KivRecordLayout::Append(std::string& layout, KivLayoutKind kind, uint16_t tag, std::string_view data) {
    if (data.size() > std::numeric_limits<uint32_t>::max()) {
        layout.push_back(static_cast<char>(kind));
        return;
    }
    // Kind and record head in one append: an import lays out every record of every entity.
    const auto length = static_cast<uint32_t>(data.size());
    const char head[1 + kKivRecordHeadSize] = {
        static_cast<char>(kind),           static_cast<char>(tag & 0xFF),
        static_cast<char>(tag >> 8),       static_cast<char>(length & 0xFF),
        static_cast<char>((length >> 8) & 0xFF), static_cast<char>((length >> 16) & 0xFF),
        static_cast<char>(length >> 24)};
    layout.append(head, sizeof head);
    layout.append(data);
}

bool KivRecordLayout::Next(KivLayoutItem& item) {
    // The kind byte, then one record (tag, length, data) read in place: this runs for every item
    // of every entity an export writes. An end record or a length past the blob ends the walk.
    if (m_offset >= m_layout.size() || m_layout.size() - m_offset - 1 < kKivRecordHeadSize)
        return false;
    const auto* head = reinterpret_cast<const unsigned char*>(m_layout.data() + m_offset + 1);
    const uint16_t tag = static_cast<uint16_t>(head[0] | head[1] << 8);
    const uint64_t length =
        uint64_t{head[2]} | uint64_t{head[3]} << 8 | uint64_t{head[4]} << 16 | uint64_t{head[5]} << 24;
    const size_t start = m_offset + 1 + kKivRecordHeadSize;
    if (tag == kKivEndTag || length > m_layout.size() - start)
        return false;
    const uint8_t kind = static_cast<uint8_t>(m_layout[m_offset]);
    item.kind = kind <= 2 ? static_cast<KivLayoutKind>(kind) : KivLayoutKind::Raw;
    item.tag = tag;
    item.data = m_layout.substr(start, static_cast<size_t>(length));
    m_offset = start + static_cast<size_t>(length);
    return true;
}

std::string KivJoinListEntries(const std::vector<KivListEntry>& entries) {
    std::string out;
    for (const KivListEntry& entry : entries)
        out += entry.records;
    return out;
}

std::vector<KivListEntry> KivSplitListEntries(std::string_view records, uint16_t headTag) {
    std::vector<KivListEntry> entries;
    KivRecordReader reader(records);
    KivRecord record;
    while (reader.Next(record)) {
        std::string_view bytes = records.substr(record.offset, record.Size());
        if (record.tag == headTag || entries.empty()) {
            KivListEntry entry;
            entry.name = std::string(KivRecordText(record.data));
            entry.records = std::string(bytes);
            entries.push_back(std::move(entry));
        } else {
            entries.back().records += bytes;
        }
    }
    return entries;
}

KivListEntry KivMakeListEntry(uint16_t headTag, std::string_view name) {
    KivListEntry entry;
    entry.name = std::string(name);
    KivRecordWriter(entry.records).PutText(headTag, name);
    return entry;
}
