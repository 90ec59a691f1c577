#include "engine/KivRecordLayout.h"

#include "support/KivRecordStream.h"

void KivRecordLayout::Append(std::string& layout, KivLayoutKind kind, uint16_t tag, std::string_view data) {
    layout.push_back(static_cast<char>(kind));
    KivRecordWriter(layout).Put(tag, data);
}

bool KivRecordLayout::Next(KivLayoutItem& item) {
    if (m_offset >= m_layout.size())
        return false;
    KivRecordReader reader(m_layout, m_offset + 1);
    KivRecord record;
    if (!reader.Next(record))
        return false;
    uint8_t kind = static_cast<uint8_t>(m_layout[m_offset]);
    item.kind = kind <= 2 ? static_cast<KivLayoutKind>(kind) : KivLayoutKind::Raw;
    item.tag = record.tag;
    item.data = record.data;
    m_offset = reader.Offset();
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
