#include "engine/KivAtomicFileAdapter.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv::engine {

KivAtomicFile::KivAtomicFile(const std::filesystem::path& target) : m_target(target) {
    struct stat info {};
    if (stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        m_fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    } else {
        m_temp = target;
        m_temp += ".kivtmp";
        m_fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    if (m_fd < 0) {
        m_error = errno;
        m_temp.clear();
    }
}

KivAtomicFile::~KivAtomicFile() {
    if (m_fd >= 0)
        close(m_fd);
    if (!m_done && !m_temp.empty())
        unlink(m_temp.c_str());
}

bool KivAtomicFile::Fail(int error) {
    if (m_error == 0)
        m_error = error;
    return false;
}

bool KivAtomicFile::Write(const void* data, size_t size) {
    if (m_fd < 0 || m_error != 0)
        return Fail(m_error ? m_error : EBADF);
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(m_fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail(errno);
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool KivAtomicFile::Commit() {
    if (m_fd < 0 || m_error != 0)
        return Fail(m_error ? m_error : EBADF);
    int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0)
        return Fail(errno);
    if (!m_temp.empty() && rename(m_temp.c_str(), m_target.c_str()) != 0)
        return Fail(errno);
    m_done = true;
    return true;
}

} // namespace kiv::engine
