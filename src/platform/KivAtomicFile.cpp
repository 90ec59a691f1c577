#include "platform/KivAtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv::platform {

namespace fs = std::filesystem;

namespace {

constexpr size_t kBlock = size_t{1} << 20;

// The file a chain of links ends at (the path itself when it is no link). A link that points
// nowhere names the file to create, as open() would.
fs::path FollowLinks(fs::path path, int& error) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec)))
            return path;
        fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            error = ec.value();
            return {};
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    error = ELOOP;
    return {};
}

std::string TempName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    const auto stamp = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    return "." + target.filename().string() + "." + std::to_string(random() ^ stamp) + "-" +
           std::to_string(counter++) + ".tmp";
}

bool WriteAll(int fd, const char* data, size_t size, int& error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

KivAtomicFile::KivAtomicFile(const fs::path& target, Sync sync) : m_sync(sync) {
    if (target.empty() || !target.has_filename()) {
        Fail(target.empty() ? ENOENT : EISDIR);
        return;
    }
    int error = 0;
    m_target = FollowLinks(target, error);
    if (error) {
        Fail(error);
        return;
    }
    struct stat old {};
    if (::stat(m_target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            Fail(EISDIR);
            return;
        }
        if (!S_ISREG(old.st_mode)) {
            m_fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (m_fd < 0)
                Fail(errno);
            return;
        }
        m_hadOld = true;
        m_oldMode = old.st_mode & 07777;
        m_oldUid = old.st_uid;
        m_oldGid = old.st_gid;
    } else if (errno != ENOENT) {
        Fail(errno);
        return;
    }
    const fs::path folder = m_target.has_parent_path() ? m_target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temp = folder / TempName(m_target);
        // 0666 under the umask is what a new file gets; an old file's mode is put back on Commit.
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temp.clear();
        Fail(errno);
    }
}

KivAtomicFile::~KivAtomicFile() {
    Discard();
}

bool KivAtomicFile::Fail(int error) {
    if (m_error == 0)
        m_error = error ? error : EIO;
    return false;
}

void KivAtomicFile::Discard() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool KivAtomicFile::Write(const void* data, size_t size) {
    if (m_fd < 0 || m_error)
        return Fail(EBADF);
    const char* bytes = static_cast<const char*>(data);
    if (m_buffer.size() + size > kBlock && !Flush())
        return false;
    if (size >= kBlock) {
        int error = 0;
        return WriteAll(m_fd, bytes, size, error) || Fail(error);
    }
    if (m_buffer.capacity() < kBlock)
        m_buffer.reserve(kBlock);
    m_buffer.append(bytes, size);
    return true;
}

bool KivAtomicFile::Flush() {
    int error = 0;
    const bool ok = WriteAll(m_fd, m_buffer.data(), m_buffer.size(), error);
    m_buffer.clear();
    return ok || Fail(error);
}

bool KivAtomicFile::Commit() {
    return Finish(true);
}

bool KivAtomicFile::CommitNew() {
    return Finish(false);
}

bool KivAtomicFile::Finish(bool replace) {
    if (m_fd < 0 || m_error) {
        Discard();
        return Fail(EBADF);
    }
    bool ok = Flush();
    if (m_temp.empty()) {
        ok = ::close(m_fd) == 0 ? ok : Fail(errno);
        m_fd = -1;
        return ok;
    }
    if (ok && m_hadOld) {
        // The new file takes the old one's rights and, where we may, its owner.
        if (::fchmod(m_fd, static_cast<mode_t>(m_oldMode)) != 0)
            ok = Fail(errno);
        else if (::fchown(m_fd, m_oldUid, m_oldGid) != 0) {
            // Not the owner and not root: the copy stays ours, with the old file's rights.
        }
    }
    const bool sync = m_sync == Sync::Always || m_hadOld;
    if (ok && sync && ::fsync(m_fd) != 0)
        ok = Fail(errno);
    if (::close(m_fd) != 0 && ok)
        ok = Fail(errno);
    m_fd = -1;
    if (ok && replace && ::rename(m_temp.c_str(), m_target.c_str()) != 0)
        ok = Fail(errno);
    if (ok && !replace) {
        // link() puts the file in place only where nothing is, in one step; file systems without
        // hard links fall back to a check just before the rename.
        if (::link(m_temp.c_str(), m_target.c_str()) != 0) {
            const int err = errno;
            struct stat there {};
            if (err != EPERM && err != ENOTSUP && err != EOPNOTSUPP)
                ok = Fail(err);
            else if (::lstat(m_target.c_str(), &there) == 0)
                ok = Fail(EEXIST);
            else if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
                ok = Fail(errno);
        }
    }
    if (!ok || !replace) {
        Discard();
        if (!ok)
            return false;
    }
    m_temp.clear();
    if (!sync)
        return true;
    // The rename is in the folder; syncing it makes the new name last. The data is already in
    // place, so a folder that cannot be synced (some file systems refuse) is no failure.
    const fs::path folder = m_target.has_parent_path() ? m_target.parent_path() : fs::path(".");
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool KivReplaceFile(const fs::path& target, std::string_view bytes, int* error) {
    KivAtomicFile file(target);
    const bool ok = file.Write(bytes) && file.Commit();
    if (error)
        *error = ok ? 0 : file.Error();
    return ok;
}

} // namespace kiv::platform
