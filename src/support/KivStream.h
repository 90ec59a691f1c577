#pragma once

#include <cstdint>

// A byte stream: blocks read and written at a position, seeking, copying from another stream.
// Counts and positions are bytes; a count that is not positive moves nothing. What a stream
// cannot report through a result it raises: KivReadStreamError and KivWriteStreamError for short
// transfers in ReadBuffer and WriteBuffer.
//
// The class is abstract the way the run-time has it: its own Read, Write and Seek do nothing,
// and constructing a stream class that has no construction of its own raises KivStreamError.
// Such classes construct through the protected default constructor, which raises; classes with
// a construction of their own pass OwnConstruction and do not.
class KivStream {
public:
    virtual ~KivStream() = default;
    KivStream(const KivStream&) = delete;
    KivStream& operator=(const KivStream&) = delete;

    // Virtual operations in their fixed slot order, which derived classes keep.
    virtual int64_t Position();
    virtual int64_t Size();
    // Seeks to position from the start; the new position.
    virtual int64_t Position(int64_t position);
    // Copies count bytes of the source from its position, or the whole source from its start
    // when count is 0, in blocks of at most 61440 bytes; the count copied. Short reads and writes
    // raise as ReadBuffer and WriteBuffer do. A negative count copies nothing.
    virtual int64_t CopyFrom(KivStream& source, int64_t count);
    // The bytes read into address, at most count.
    virtual int64_t Read(void* address, int64_t count);
    // Read, raising KivReadStreamError when fewer than count bytes came.
    virtual void ReadBuffer(void* address, int64_t count);
    // Origin 0 = start, 1 = current position, 2 = end; the new position, -1 when refused.
    virtual int64_t Seek(int64_t offset, int origin);
    // The bytes written from address, at most count.
    virtual int64_t Write(const void* address, int64_t count);
    // Write, raising KivWriteStreamError when fewer than count bytes were taken.
    virtual void WriteBuffer(const void* address, int64_t count);
    virtual int64_t SetPosition(int64_t position);
    virtual int64_t GetPosition();
    virtual int64_t GetSize();

protected:
    struct OwnConstruction {};
    // Raises KivStreamError.
    KivStream();
    explicit KivStream(OwnConstruction) {}
};

// Where a seek by offset from origin (0 = start, 1 = position, 2 = size) lands; -1 for another
// origin, an overflow or a place before the start (the next read or write would reach outside).
// Inline: the fuzz targets build stream sources without the rest of the stream.
inline int64_t KivSeekTarget(int64_t offset, int origin, int64_t position, int64_t size) {
    int64_t base = 0;
    switch (origin) {
    case 0:
        break;
    case 1:
        base = position;
        break;
    case 2:
        base = size;
        break;
    default:
        return -1;
    }
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        return -1;
    return target;
}

