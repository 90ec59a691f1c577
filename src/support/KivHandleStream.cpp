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

} // namespace

KivHandleStream::KivHandleStream() : KivStream(OwnConstruction{}) {}

KivHandleStream::KivHandleStream(intptr_t handle) : KivStream(OwnConstruction{}), m_handle(handle) {}

int64_t KivHandleStream::Read(void* address, int64_t count) {
    const int fd = Descriptor(m_handle);
    if (count <= 0 || address == nullptr || fd < 0)
        return 0;
    char* out = static_cast<char*>(address);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd, out + done, static_cast<size_t>(std::min(count - done, kChunk)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t KivHandleStream::Seek(int64_t offset, int origin) {
    const int fd = Descriptor(m_handle);
    const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (fd < 0 || origin < 0 || origin > 2)
        return -1;
    return ::lseek(fd, static_cast<off_t>(offset), whence[origin]);
}

int64_t KivHandleStream::Write(const void* address, int64_t count) {
    const int fd = Descriptor(m_handle);
    if (count <= 0 || address == nullptr || fd < 0)
        return 0;
    const char* in = static_cast<const char*>(address);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, in + done, static_cast<size_t>(std::min(count - done, kChunk)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

intptr_t KivHandleStream::Handle() const {
    return m_handle;
}
