#include "support/KivFileStream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

KivFileStream::KivFileStream(std::string_view fileName) : m_fileSpec(fileName) {}

KivFileStream::KivFileStream(const KivFileSpec& fileSpec) : m_fileSpec(fileSpec) {}

KivFileStream::~KivFileStream() {
    KivFileStream::Close();
}

void KivFileStream::Close() {
    if (Handle() != -1)
        ::close(static_cast<int>(Handle()));
    SetHandle(-1);
}

bool KivFileStream::Create() {
    Close();
    const auto host = m_fileSpec.HostPath();
    if (!host)
        return false;
    const int handle = ::open(host->c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle < 0)
        return false;
    SetHandle(handle);
    return true;
}

bool KivFileStream::Open(uint32_t mode) {
    Close();
    const auto host = m_fileSpec.HostPath();
    if (!host)
        return false;
    int flags = O_CLOEXEC;
    switch (mode & 3) {
    case 0:
        flags |= O_RDONLY;
        break;
    case 1:
        flags |= O_WRONLY;
        break;
    case 2:
        flags |= O_RDWR;
        break;
    default:
        return false;
    }
    // Not blocking keeps a FIFO from hanging the open; its reads block as usual afterwards.
    const int handle = ::open(host->c_str(), flags | O_NONBLOCK);
    if (handle < 0)
        return false;
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    struct stat st {};
    if (::fstat(handle, &st) == 0 && S_ISDIR(st.st_mode)) {
        // Windows opens no folder as a file.
        ::close(handle);
        return false;
    }
    SetHandle(handle);
    return true;
}
