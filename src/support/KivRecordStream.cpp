#include "support/KivRecordStream.h"

#include <limits>

KivRecordReader::KivRecordReader(std::string_view stream, size_t start) : m_stream(stream), m_offset(start) {
    if (m_offset > m_stream.size())
        m_offset = m_stream.size();
}

bool KivRecordReader::Next(KivRecord& record) {
    if (m_atEnd || m_damage != KivRecordDamage::None)
        return false;
    size_t left = m_stream.size() - m_offset;
    if (left == 0) {
        m_damage = KivRecordDamage::NoEndRecord;
        return false;
    }
    if (left < kKivRecordHeadSize) {
        m_damage = KivRecordDamage::TruncatedHead;
        return false;
    }
    // The head is read in place: this runs once for every record of a file of any size.
    const auto* head = reinterpret_cast<const unsigned char*>(m_stream.data() + m_offset);
    const uint16_t tag = static_cast<uint16_t>(head[0] | head[1] << 8);
    if (tag == kKivEndTag) {
        // The end record's length is not followed: the stream is over whatever it says.
        m_atEnd = true;
        m_offset += kKivRecordHeadSize;
        return false;
    }
    const uint64_t length =
        uint64_t{head[2]} | uint64_t{head[3]} << 8 | uint64_t{head[4]} << 16 | uint64_t{head[5]} << 24;
    if (length > left - kKivRecordHeadSize) {
        m_damage = KivRecordDamage::LengthPastEnd;
        return false;
    }
    record.tag = tag;
    record.offset = m_offset;
    record.data = m_stream.substr(m_offset + kKivRecordHeadSize, static_cast<size_t>(length));
    m_offset += kKivRecordHeadSize + static_cast<size_t>(length);
    return true;
}

namespace {

// A record's head in one append: an export writes one for each of millions of records.
void AppendHead(std::string& out, uint16_t tag, uint32_t length) {
    const char head[kKivRecordHeadSize] = {
        static_cast<char>(tag & 0xFF),           static_cast<char>(tag >> 8),
        static_cast<char>(length & 0xFF),        static_cast<char>((length >> 8) & 0xFF),
        static_cast<char>((length >> 16) & 0xFF), static_cast<char>(length >> 24)};
    out.append(head, sizeof head);
}

} // namespace

bool KivRecordWriter::Put(uint16_t tag, std::string_view data) {
    if (data.size() > std::numeric_limits<uint32_t>::max())
        return false;
    AppendHead(m_out, tag, static_cast<uint32_t>(data.size()));
    m_out.append(data);
    return true;
}

bool KivRecordWriter::PutText(uint16_t tag, std::string_view text) {
    if (text.size() >= std::numeric_limits<uint32_t>::max())
        return false;
    AppendHead(m_out, tag, static_cast<uint32_t>(text.size() + 1));
    m_out.append(text);
    m_out.push_back('\0');
    return true;
}

bool KivRecordWriter::PutU16(uint16_t tag, uint16_t value) {
    std::string data;
    AppendU16(data, value);
    return Put(tag, data);
}

void KivRecordWriter::PutEnd() {
    AppendU16(m_out, kKivEndTag);
    AppendU32(m_out, 0);
}

void KivRecordWriter::AppendU16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void KivRecordWriter::AppendU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::string_view KivRecordText(std::string_view data) {
    size_t nul = data.find('\0');
    return nul == std::string_view::npos ? data : data.substr(0, nul);
}

uint8_t KivRecordByte(std::string_view data, size_t offset) {
    return offset < data.size() ? static_cast<uint8_t>(data[offset]) : 0;
}

uint16_t KivRecordU16(std::string_view data, size_t offset) {
    return static_cast<uint16_t>(KivRecordByte(data, offset) | (KivRecordByte(data, offset + 1) << 8));
}

uint32_t KivRecordU32(std::string_view data, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(KivRecordByte(data, offset + i)) << (8 * i);
    return value;
}

void KivRecordPatchByte(std::string& data, size_t offset, uint8_t value) {
    if (data.size() <= offset)
        data.resize(offset + 1, '\0');
    data[offset] = static_cast<char>(value);
}

void KivRecordPatchU32(std::string& data, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        KivRecordPatchByte(data, offset + i, static_cast<uint8_t>((value >> (8 * i)) & 0xFF));
}
