#include "support/KivStream.h"

#include "support/KivStreamError.h"

#include <algorithm>
#include <vector>

namespace {
constexpr int64_t kCopyBuffer = 61440;
}

KivStream::KivStream() {
    throw KivStreamError(this);
}

int64_t KivStream::Position() {
    return Seek(0, 1);
}

int64_t KivStream::Size() {
    const int64_t position = Seek(0, 1);
    const int64_t size = Seek(0, 2);
    Seek(position, 0);
    return size;
}

int64_t KivStream::Position(int64_t position) {
    return Seek(position, 0);
}

int64_t KivStream::CopyFrom(KivStream& source, int64_t count) {
    if (count < 0)
        return 0;
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
        // A source that cannot tell its size has nothing that could be copied whole.
        if (count <= 0)
            return 0;
    }
    const int64_t total = count;
    // The vector frees the buffer also when a short transfer raises.
    std::vector<char> buffer(static_cast<size_t>(std::min(count, kCopyBuffer)));
    while (count != 0) {
        const int64_t n = std::min(count, static_cast<int64_t>(buffer.size()));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return total;
}

int64_t KivStream::Read(void*, int64_t) {
    return 0;
}

void KivStream::ReadBuffer(void* address, int64_t count) {
    if (Read(address, count) < count)
        throw KivReadStreamError(this);
}

int64_t KivStream::Seek(int64_t, int) {
    return 0;
}

int64_t KivStream::Write(const void*, int64_t) {
    return 0;
}

void KivStream::WriteBuffer(const void* address, int64_t count) {
    if (Write(address, count) < count)
        throw KivWriteStreamError(this);
}

int64_t KivStream::SetPosition(int64_t position) {
    return Seek(position, 0);
}

int64_t KivStream::GetPosition() {
    return Seek(0, 1);
}

int64_t KivStream::GetSize() {
    return Size();
}
