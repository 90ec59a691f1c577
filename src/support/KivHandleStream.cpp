#include "support/KivHandleStream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <unistd.h>

namespace {

// One system call moves at most this much; larger counts take several.
constexpr int64_t kChunk = int64_t{1} << 30;

// The descriptor behind a handle, or -1 for a value no descriptor can have.
int Descriptor(intptr_t handle) {
    return handle >= 0 && handle <= INT_MAX ? static_cast<int>(handle) : -1;
}

// Moves count bytes through the handle with `call` (read or write), a chunk a call, again after
// an interrupted call; the bytes moved, fewer at the end of the file or on an error.
template <class Byte, class Call> int64_t Transfer(intptr_t handle, Byte* bytes, int64_t count, Call call) {
    const int fd = Descriptor(handle);
    if (count <= 0 || bytes == nullptr || fd < 0)
        return 0;
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = call(fd, bytes + done, static_cast<size_t>(std::min(count - done, kChunk)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

KivHandleStream::KivHandleStream() : KivStream(OwnConstruction{}) {}

KivHandleStream::KivHandleStream(intptr_t handle) : KivStream(OwnConstruction{}), m_handle(handle) {}

int64_t KivHandleStream::Read(void* address, int64_t count) {
    return Transfer(m_handle, static_cast<char*>(address), count,
                    [](int fd, char* at, size_t n) { return ::read(fd, at, n); });
}

int64_t KivHandleStream::Seek(int64_t offset, int origin) {
    const int fd = Descriptor(m_handle);
    const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (fd < 0 || origin < 0 || origin > 2)
        return -1;
    return ::lseek(fd, static_cast<off_t>(offset), whence[origin]);
}

int64_t KivHandleStream::Write(const void* address, int64_t count) {
    return Transfer(m_handle, static_cast<const char*>(address), count,
                    [](int fd, const char* at, size_t n) { return ::write(fd, at, n); });
}

intptr_t KivHandleStream::Handle() const {
    return m_handle;
}
