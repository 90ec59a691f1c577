#include "support/KivProfileFile.h"

#include "platform/KivAtomicFile.h"
#include "platform/KivDosPath.h"
#include "platform/KivWholeFile.h"
#include "support/KivStringUtil.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// Successful writes by every profile file of this process.
std::atomic<uint64_t> g_writes{0};

// The clock the kernel stamps file times with: a file changed after this moment carries a time
// at or after it.
timespec CoarseNow() {
    timespec now{};
#ifdef CLOCK_REALTIME_COARSE
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
#else
    clock_gettime(CLOCK_REALTIME, &now);
#endif
    return now;
}

// The current tick of the kernel's coarse clock; reading it costs no system call.
timespec Tick() {
    timespec now{};
#ifdef CLOCK_MONOTONIC_COARSE
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    return now;
}

bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

bool KivProfileFile::Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

KivProfileFile::Stamp KivProfileFile::StampOf(const struct stat& st) {
    Stamp stamp;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return stamp;
}

void KivProfileFile::Open(std::string dosPath) {
    m_dosPath = std::move(dosPath);
    m_host.clear();
    m_state = State::Unknown;
    m_settled = false;
    m_checked = false;
    m_bytes.clear();
    m_document = KivIniDocument();
}

const KivIniDocument& KivProfileFile::Document() {
    Refresh(false);
    return m_document;
}

void KivProfileFile::Refresh(bool always) {
    // Within one tick of the coarse clock, and with no write by this process since, the file is
    // taken as it was last seen: a look at the disk is a system call, and readers ask for
    // thousands of keys in a row. Another process's change is seen from the next tick on.
    timespec tick = Tick();
    uint64_t writes = g_writes.load();
    if (!always && m_checked && tick.tv_sec == m_checkedAt.tv_sec && tick.tv_nsec == m_checkedAt.tv_nsec &&
        writes == m_writesSeen)
        return;
    m_checked = true;
    m_checkedAt = tick;
    m_writesSeen = writes;

    auto become = [this](State state) {
        if (m_state != state) {
            m_document = KivIniDocument();
            m_bytes.clear();
        }
        m_state = state;
        // A missing file may come back under another case of its name: look it up again.
        m_host.clear();
    };
    if (m_host.empty()) {
        auto host = m_dosPath.empty() ? std::nullopt : kiv::dospath::Resolve(m_dosPath);
        if (!host)
            return become(State::Missing);
        m_host = *host;
    }
    struct stat st {};
    if (::stat(m_host.c_str(), &st) != 0)
        return become(errno == ENOENT || errno == ENOTDIR ? State::Missing : State::Unreadable);
    if (!S_ISREG(st.st_mode))
        return become(State::Unreadable);
    if (m_state == State::Loaded && m_settled && StampOf(st) == m_stamp)
        return;
    Load();
}

void KivProfileFile::Load() {
    std::string bytes;
    Stamp stamp;
    bool stable = false;
    timespec readAt{};
    // A writer busy while we read would give half a file: read until the stamps agree.
    for (int attempt = 0; attempt < 3 && !stable; ++attempt) {
        readAt = CoarseNow();
        // Non-blocking, so that a FIFO put in the file's place cannot hang us.
        int fd = ::open(m_host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            bool missing = errno == ENOENT || errno == ENOTDIR;
            m_document = KivIniDocument();
            m_bytes.clear();
            m_state = missing ? State::Missing : State::Unreadable;
            m_host.clear();
            return;
        }
        struct stat before {};
        struct stat after {};
        bool ok = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode) &&
                  kiv::platform::KivReadAll(fd, bytes) == 0 && ::fstat(fd, &after) == 0;
        ::close(fd);
        if (!ok) {
            m_document = KivIniDocument();
            m_bytes.clear();
            m_state = State::Unreadable;
            return;
        }
        stamp = StampOf(after);
        stable = StampOf(before) == stamp;
    }
    if (m_state != State::Loaded || bytes != m_bytes) {
        m_document.Parse(bytes);
        m_bytes = std::move(bytes);
    }
    m_state = State::Loaded;
    m_stamp = stamp;
    // Stamps of the very tick we read in (or of a file system that keeps whole seconds, within
    // two of them) prove nothing: a write in that tick would leave them as they are.
    timespec newest = Before(stamp.modified, stamp.changed) ? stamp.changed : stamp.modified;
    timespec limit = readAt;
    if (newest.tv_nsec == 0)
        limit.tv_sec -= 2;
    m_settled = stable && Before(newest, limit);
}

bool KivProfileFile::Apply(const std::function<KivIniDocument::Change(KivIniDocument&)>& change) {
    // A change is made to the file as it is now, never to a copy that may be a tick old.
    Refresh(true);
    if (m_state == State::Unreadable)
        return false;
    switch (change(m_document)) {
    case KivIniDocument::Change::Unchanged:
        return true;
    case KivIniDocument::Change::Refused:
        return false;
    case KivIniDocument::Change::Changed:
        break;
    }
    std::string text = m_document.Text();
    if (!Write(text)) {
        // The change never reached the file: read it again as it is.
        m_state = State::Unknown;
        m_settled = false;
        m_checked = false;
        return false;
    }
    ++g_writes;
    m_bytes = std::move(text);
    m_state = State::Loaded;
    m_settled = false;
    return true;
}

bool KivProfileFile::Write(const std::string& text) {
    if (m_host.empty()) {
        auto host = m_dosPath.empty() ? std::nullopt : kiv::dospath::Resolve(m_dosPath);
        if (!host)
            return false;
        m_host = *host;
    }
    // A device or pipe in the file's place is no INI file: it is never written.
    std::error_code ec;
    const auto status = std::filesystem::status(m_host, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return false;
    if (m_makeFolder)
        std::filesystem::create_directories(m_host.parent_path(), ec);
    return kiv::platform::KivReplaceFile(m_host, text);
}
