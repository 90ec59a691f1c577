#include "support/KivMemoryStream.h"

#include "platform/KivGlobalMem.h"
#include "platform/KivOsError.h"
#include "support/KivError.h"
#include "support/KivFileStream.h"
#include "support/KivGlobalAlloc.h"
#include "support/KivStreamError.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr uint32_t kFlags = kiv::globalmem::kMoveable | kiv::globalmem::kZeroInit;

[[noreturn]] void RaiseRealloc(const char* function = __builtin_FUNCTION(),
                               unsigned line = __builtin_LINE()) {
    KivErrorObject error;
    error.Description = "Can't ReAllocate memory - " + kiv::oserror::Text(kiv::globalmem::LastError());
    error.Severity = 2;
    error.Operation = "Realloc";
    throw KivError(error, function, line);
}

// A negative capacity is as impossible as one past the platform's limit.
size_t Bytes(int64_t capacity) {
    return capacity < 0 ? std::numeric_limits<size_t>::max() : static_cast<size_t>(capacity);
}

} // namespace

KivMemoryStream::KivMemoryStream() : KivCustomMemoryStream(OwnConstruction{}) {}

KivMemoryStream::~KivMemoryStream() {
    KivMemoryStream::Clear();
}

int64_t KivMemoryStream::Write(const void* address, int64_t count) {
    if (count <= 0 || address == nullptr)
        return 0;
    const int64_t position = MemoryPosition();
    int64_t end = 0;
    if (__builtin_add_overflow(position, count, &end))
        end = std::numeric_limits<int64_t>::max();
    const int64_t size = MemorySize();
    if (end > size) {
        if (end > m_capacity)
            SetCapacity(end);
        MemorySize(end);
    }
    auto* memory = static_cast<unsigned char*>(Memory());
    // A write past the end leaves no stale bytes between the old end and the write.
    if (position > size)
        std::memset(memory + size, 0, static_cast<size_t>(position - size));
    std::memmove(memory + position, address, static_cast<size_t>(count));
    MemoryPosition(end);
    return count;
}

void KivMemoryStream::SetPointer(void* address, int64_t size) {
    if (m_capacity != 0) {
        KivGlobalFree(Memory());
        m_capacity = 0;
    }
    KivCustomMemoryStream::SetPointer(address, size);
}

int64_t KivMemoryStream::Capacity() const {
    return m_capacity;
}

int64_t KivMemoryStream::Capacity(int64_t capacity) {
    SetCapacity(capacity);
    return m_capacity;
}

void KivMemoryStream::SetCapacity(int64_t capacity) {
    void* memory = Realloc(capacity);
    m_capacity = memory == nullptr ? 0 : capacity;
    KivCustomMemoryStream::SetPointer(memory, std::min(MemorySize(), m_capacity));
}

void* KivMemoryStream::Realloc(int64_t capacity) {
    void* memory = Memory();
    if (capacity == m_capacity && (capacity != 0 || memory == nullptr))
        return memory;
    if (capacity == 0) {
        if (m_capacity != 0)
            KivGlobalFree(memory);
        return nullptr;
    }
    if (m_capacity == 0) {
        void* fresh = KivGlobalAlloc(kFlags, Bytes(capacity));
        if (fresh == nullptr)
            RaiseRealloc();
        // Memory handed in through SetPointer is not ours to grow: its bytes move into our own.
        if (memory != nullptr)
            std::memcpy(fresh, memory, static_cast<size_t>(std::min(MemorySize(), capacity)));
        return fresh;
    }
    void* moved = KivGlobalReAlloc(memory, Bytes(capacity), kFlags);
    if (moved == nullptr)
        RaiseRealloc();
    return moved;
}

void KivMemoryStream::SetSize(int64_t size) {
    Clear();
    SetCapacity(size);
    MemorySize(size);
}

void KivMemoryStream::Clear() {
    SetCapacity(0);
    KivCustomMemoryStream::SetPointer(nullptr, 0);
    MemoryPosition(0);
}

void KivMemoryStream::LoadFromStream(KivStream& stream) {
    if (&stream == this) {
        // Loading a stream from itself would discard the very bytes it is to read.
        MemoryPosition(0);
        return;
    }
    stream.SetPosition(0);
    const int64_t size = stream.GetSize();
    if (size < 0)
        throw KivReadStreamError(this);
    SetSize(size);
    if (size != 0)
        stream.ReadBuffer(Memory(), size);
}

void KivMemoryStream::LoadFromFile(std::string_view fileName) {
    KivFileStream file(fileName);
    if (!file.Open(0))
        throw KivReadStreamError(this);
    LoadFromStream(file);
}

void KivMemoryStream::LoadFromString(std::string_view text) {
    SetSize(static_cast<int64_t>(text.size()));
    if (!text.empty())
        std::memcpy(Memory(), text.data(), text.size());
}
