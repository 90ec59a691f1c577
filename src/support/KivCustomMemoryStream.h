#pragma once

#include "support/KivStream.h"

#include <cstdint>
#include <string>
#include <string_view>

// A stream over a block of memory: reads, seeks and typed reads at 1-based byte positions. It
// does not own the memory it is given; KivMemoryStream adds owning and growing.
class KivCustomMemoryStream : public KivStream {
public:
    // No construction of its own: this raises KivStreamError as KivStream's does.
    KivCustomMemoryStream() = default;

    int64_t Read(void* address, int64_t count) override;
    // The position may lie past the end (a write there grows a KivMemoryStream); a position
    // before the start is refused: -1, and the position stays.
    int64_t Seek(int64_t offset, int origin) override;

    // Operations of this class in their slot order.
    virtual void* Memory() const;
    // Uses size bytes at address, which the caller keeps alive; the position stays.
    virtual void SetPointer(void* address, int64_t size);
    // The whole memory to stream (nothing when empty).
    virtual void SaveToStream(KivStream& stream);
    // The whole memory to a file created (or emptied) under the DOS or host name; raises
    // KivWriteStreamError when the file cannot be created.
    virtual void SaveToFile(std::string_view fileName);
    virtual std::string SaveToString();
    // The value whose first byte is the n-th (1-based), little-endian, signed for Short and
    // Long; the position does not move. KivMemoryError unless the whole value lies in the memory.
    virtual uint8_t GetByte(int64_t n);
    virtual uint16_t GetWord(int64_t n);
    virtual int16_t GetShort(int64_t n);
    virtual uint32_t GetDWord(int64_t n);
    virtual int32_t GetLong(int64_t n);

protected:
    explicit KivCustomMemoryStream(OwnConstruction own) : KivStream(own) {}

    // The size and position fields, for the derived stream that writes and grows the memory.
    int64_t MemorySize() const { return m_size; }
    void MemorySize(int64_t size) { m_size = size; }
    int64_t MemoryPosition() const { return m_position; }
    void MemoryPosition(int64_t position) { m_position = position; }

private:
    // The bytes of the value at the 1-based position n, or KivMemoryError.
    const unsigned char* ValueAt(int64_t n, int64_t width);

    unsigned char* m_memory = nullptr;
    int64_t m_size = 0;
    int64_t m_position = 0;
};
