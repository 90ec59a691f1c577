#pragma once

#include "support/KivCustomMemoryStream.h"

#include <string_view>

// A memory stream that owns its memory (movable global memory) and grows it as writes need.
// Bytes that no write has set yet, past the end or after SetSize, read as zeros.
class KivMemoryStream : public KivCustomMemoryStream {
public:
    KivMemoryStream();
    ~KivMemoryStream() override;

    // Writes at the position, growing the stream when the write ends past it.
    int64_t Write(const void* address, int64_t count) override;
    // Gives up the stream's own memory first, so that nothing of it is lost track of.
    void SetPointer(void* address, int64_t size) override;

    // Operations of this class in their slot order.
    virtual int64_t Capacity() const;
    virtual int64_t Capacity(int64_t capacity);
    // Re-allocates to capacity bytes; a size above the new capacity is cut to it.
    virtual void SetCapacity(int64_t capacity);

protected:
    // Memory of the new capacity holding the bytes kept (0 frees it and gives null); the fields
    // are left to the caller, so only the class itself may call it. When the platform refuses, a
    // KivError "Can't ReAllocate memory - " with its reason is raised and the memory is unchanged.
    virtual void* Realloc(int64_t capacity);

public:
    // A stream of size bytes (zeros): the content is discarded, the position is 0.
    virtual void SetSize(int64_t size);
    virtual void Clear();
    // The whole source from its start; the position is 0 afterwards.
    virtual void LoadFromStream(KivStream& stream);
    // Raises KivReadStreamError, leaving the stream as it was, when the file cannot be opened.
    virtual void LoadFromFile(std::string_view fileName);
    virtual void LoadFromString(std::string_view text);

private:
    int64_t m_capacity = 0;
};
