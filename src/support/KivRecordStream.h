#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The record stream of the export files (AEF, MEF): records laid end to end, each a 16-bit tag,
// a 32-bit length and that many data bytes, all little-endian, up to a record tagged 0xFFFF.

constexpr uint16_t kKivEndTag = 0xFFFF;
constexpr size_t kKivRecordHeadSize = 6;

// One record as a view into the stream it was read from.
struct KivRecord {
    uint16_t tag = 0;
    std::string_view data;
    size_t offset = 0; // where the record's head starts in the stream
    // The record's head and data as they stand in the stream.
    size_t Size() const { return kKivRecordHeadSize + data.size(); }
};

enum class KivRecordDamage {
    None,
    TruncatedHead, // fewer than six bytes where a record should start
    LengthPastEnd, // a record's length runs past the end of the stream
    NoEndRecord,   // the stream ends without a 0xFFFF record
};

// Walks a stream record by record. It never looks past the bytes it was given: a damaged stream
// stops the walk and says what was wrong and where.
class KivRecordReader {
public:
    explicit KivRecordReader(std::string_view stream, size_t start = 0);

    // The next record. False at the end record and when the stream is damaged (see Damage).
    bool Next(KivRecord& record);

    bool AtEnd() const { return m_atEnd; }
    KivRecordDamage Damage() const { return m_damage; }
    // Where the next record starts; after the end record, just past it.
    size_t Offset() const { return m_offset; }

private:
    std::string_view m_stream;
    size_t m_offset = 0;
    bool m_atEnd = false;
    KivRecordDamage m_damage = KivRecordDamage::None;
};

// Appends records to a byte buffer owned by the caller.
class KivRecordWriter {
public:
    explicit KivRecordWriter(std::string& out) : m_out(out) {}

    // False, writing nothing, when the data is too long for a 32-bit length.
    bool Put(uint16_t tag, std::string_view data);
    // The text and its NUL byte.
    bool PutText(uint16_t tag, std::string_view text);
    bool PutU16(uint16_t tag, uint16_t value);
    // Records already laid out (head and data), copied as they are.
    void PutRecords(std::string_view records) { m_out.append(records); }
    // The 0xFFFF record that ends a stream.
    void PutEnd();

    static void AppendU16(std::string& out, uint16_t value);
    static void AppendU32(std::string& out, uint32_t value);

private:
    std::string& m_out;
};

// A text inside record data: the bytes up to the first NUL, or all the data when there is none
// (some writers leave the NUL out).
std::string_view KivRecordText(std::string_view data);
// Little-endian numbers at an offset of record data; 0 for bytes the data does not hold.
uint16_t KivRecordU16(std::string_view data, size_t offset);
uint32_t KivRecordU32(std::string_view data, size_t offset);
uint8_t KivRecordByte(std::string_view data, size_t offset);
// Overwrites a little-endian number inside data, growing it with zero bytes when it is too short.
void KivRecordPatchU32(std::string& data, size_t offset, uint32_t value);
void KivRecordPatchByte(std::string& data, size_t offset, uint8_t value);
