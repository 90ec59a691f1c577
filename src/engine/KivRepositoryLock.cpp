#include "engine/KivRepositoryLock.h"

#include "engine/KivEngineStatus.h"
#include "platform/KivOsError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

uint32_t KivRepositoryLock::Acquire(const std::filesystem::path& file) {
    if (m_fd >= 0)
        return kiv::engine::kAlreadyOpen;
    int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return kiv::oserror::FromErrno(errno);
    // flock belongs to this open file, so a second engine in the same process is refused too.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        close(fd);
        return err == EWOULDBLOCK ? kiv::engine::kAlreadyOpen : kiv::oserror::FromErrno(err);
    }
    m_fd = fd;
    return kiv::engine::kOk;
}

void KivRepositoryLock::Release() {
    if (m_fd < 0)
        return;
    flock(m_fd, LOCK_UN);
    close(m_fd);
    m_fd = -1;
}
