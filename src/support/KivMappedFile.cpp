#include "support/KivMappedFile.h"

#include "platform/KivOsError.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <limits>
#include <mutex>
#include <setjmp.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Pages of a mapped file that the file no longer holds raise SIGBUS when touched. Every access
// to a view runs through RunGuarded, which turns that signal into a failed result for the thread
// that touched the view; any other SIGBUS goes to whoever handled it before.
struct ViewAccess {
    sigjmp_buf env;
    // The view: a fault elsewhere is none of ours.
    const char* begin;
    const char* end;
    void (*work)(ViewAccess&);
    const char* source;
    size_t count;
    void* target;
    size_t found;
};

thread_local ViewAccess* t_access = nullptr;
struct sigaction g_previous {};
std::once_flag g_installed;
uintptr_t g_pageSize = 4096;

// Mappings walked in place, where nothing can be jumped back to (a reader in the middle of a
// store's transaction): a page they lost is replaced by a page of zeros and the range is marked.
struct GuardedRange {
    std::atomic<const char*> begin{nullptr};
    std::atomic<size_t> size{0};
    std::atomic<bool> cut{false};
    std::atomic<bool> taken{false};
};
GuardedRange g_ranges[1024];

bool PatchLostPage(const char* at) {
    for (GuardedRange& range : g_ranges) {
        const char* begin = range.begin.load(std::memory_order_acquire);
        if (begin == nullptr || at < begin || at >= begin + range.size.load(std::memory_order_relaxed))
            continue;
        void* page = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(at) & ~(g_pageSize - 1));
        const int saved = errno;
        const bool patched = ::mmap(page, g_pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                                    0) != MAP_FAILED;
        errno = saved;
        if (patched)
            range.cut.store(true, std::memory_order_release);
        return patched;
    }
    return false;
}

void OnBusError(int number, siginfo_t* info, void* context) {
    ViewAccess* access = t_access;
    const char* at = static_cast<const char*>(info->si_addr);
    if (access != nullptr && at >= access->begin && at < access->end)
        siglongjmp(access->env, 1);
    // The access that faulted runs again and reads the zeros.
    if (PatchLostPage(at))
        return;
    if ((g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_sigaction != nullptr) {
        g_previous.sa_sigaction(number, info, context);
    } else if (!(g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_handler != SIG_DFL &&
               g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(number);
    } else {
        // The faulting access runs again and ends the process as it would have without us.
        ::signal(number, SIG_DFL);
    }
}

void InstallGuard() {
    std::call_once(g_installed, [] {
        if (const long size = ::sysconf(_SC_PAGESIZE); size > 0)
            g_pageSize = static_cast<uintptr_t>(size);
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        // SIGBUS stays unblocked in the handler, so the jump out needs no signal mask restored
        // (and sigsetjmp no system call on every read).
        action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previous);
    });
}

// Runs the access's work; false when the view faulted. After sigsetjmp, only the thread-local
// is used, so no variable of this frame can be clobbered by the jump back.
bool RunGuarded(ViewAccess& access) {
    t_access = &access;
    if (sigsetjmp(access.env, 0) != 0) {
        t_access = nullptr;
        return false;
    }
    std::atomic_signal_fence(std::memory_order_seq_cst);
    t_access->work(*t_access);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    t_access = nullptr;
    return true;
}

void Copy(ViewAccess& access) {
    std::memcpy(access.target, access.source, access.count);
}

// found := the offset of the first CR LF pair within count bytes (count when none).
void FindLineEnd(ViewAccess& access) {
    const char* const source = access.source;
    const char* const stop = source + access.count;
    access.found = access.count;
    for (const char* p = source; p < stop;) {
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
        if (cr == nullptr)
            return;
        if (cr + 1 < stop && cr[1] == '\n') {
            access.found = static_cast<size_t>(cr - source);
            return;
        }
        p = cr + 1;
    }
}

bool GuardedCopy(void* target, const char* source, size_t count, const char* begin, const char* end) {
    ViewAccess access{};
    access.begin = begin;
    access.end = end;
    access.work = Copy;
    access.source = source;
    access.count = count;
    access.target = target;
    return RunGuarded(access);
}

bool GuardedFindLineEnd(const char* source, size_t count, size_t& found, const char* begin, const char* end) {
    ViewAccess access{};
    access.begin = begin;
    access.end = end;
    access.work = FindLineEnd;
    access.source = source;
    access.count = count;
    if (!RunGuarded(access))
        return false;
    found = access.found;
    return true;
}

} // namespace

void KivMappingGuard::Reset(const void* begin, size_t size) {
    if (m_slot >= 0) {
        GuardedRange& range = g_ranges[m_slot];
        range.begin.store(nullptr, std::memory_order_release);
        range.taken.store(false, std::memory_order_release);
        m_slot = -1;
    }
    if (begin == nullptr || size == 0)
        return;
    InstallGuard();
    for (int slot = 0; slot < static_cast<int>(std::size(g_ranges)); ++slot) {
        GuardedRange& range = g_ranges[slot];
        bool free = false;
        if (!range.taken.compare_exchange_strong(free, true, std::memory_order_acq_rel))
            continue;
        range.cut.store(false, std::memory_order_relaxed);
        range.size.store(size, std::memory_order_relaxed);
        range.begin.store(static_cast<const char*>(begin), std::memory_order_release);
        m_slot = slot;
        return;
    }
}

bool KivMappingGuard::Cut() const {
    return m_slot >= 0 && g_ranges[m_slot].cut.load(std::memory_order_acquire);
}

KivMappedFile::KivMappedFile(std::string_view fileName) : KivFileBin(fileName) {}

KivMappedFile::KivMappedFile(const KivFileSpec& fileSpec) : KivFileBin(fileSpec) {}

KivMappedFile::~KivMappedFile() {
    KivMappedFile::Close();
}

bool KivMappedFile::CheckOpen() {
    if (IsOpen())
        return true;
    SetErrorCode(kiv::oserror::kInvalidHandle);
    return false;
}

uint32_t KivMappedFile::RefuseWrite() {
    SetErrorCode(kiv::oserror::kWriteFault);
    return 0;
}

bool KivMappedFile::CopyOut(void* target, size_t count) {
    if (count == 0)
        return true;
    if (GuardedCopy(target, m_view + m_offset, count, m_view, m_view + m_viewSize))
        return true;
    Lost();
    return false;
}

// After a fault: what the file still holds is all that can be read.
void KivMappedFile::Lost() {
    struct stat st {};
    if (::fstat(KivFileBin::Handle(), &st) == 0 && st.st_size < m_fileSize) {
        m_fileSize = std::max<int64_t>(st.st_size, 0);
        m_offset = std::min(m_offset, m_fileSize);
    }
    SetErrorCode(kiv::oserror::kReadFault);
}

uint32_t KivMappedFile::ReadBlock(void* buffer, uint32_t count) {
    if (!CheckOpen())
        return 0;
    if (buffer == nullptr && count > 0) {
        SetErrorCode(kiv::oserror::kInvalidParameter);
        return 0;
    }
    const auto n = static_cast<uint32_t>(std::min<int64_t>(count, m_fileSize - m_offset));
    if (n == 0) {
        SetErrorCode(count > 0 ? kEofReached : 0);
        return 0;
    }
    if (!CopyOut(buffer, n))
        return 0;
    m_offset += n;
    SetErrorCode(0);
    return n;
}

uint32_t KivMappedFile::WriteBlock(const void*, uint32_t) {
    return RefuseWrite();
}

int64_t KivMappedFile::CopyFrom(KivFileBin&) {
    return RefuseWrite();
}

void KivMappedFile::Close() {
    m_guard.Reset(nullptr, 0);
    if (m_view != nullptr)
        ::munmap(const_cast<char*>(m_view), m_viewSize);
    m_view = nullptr;
    m_viewSize = 0;
    m_offset = 0;
    m_fileSize = 0;
    KivFileBin::Close();
}

int KivMappedFile::Handle() {
    return KivFileBin::Handle();
}

void KivMappedFile::UpdateError(int hostErrno) {
    SetErrorCode(kiv::oserror::FromErrno(hostErrno));
}

void KivMappedFile::Commit() {
    RefuseWrite();
}

std::string KivMappedFile::ReadLine(uint32_t maximum) {
    std::string line;
    if (!CheckOpen())
        return line;
    const int64_t rest = m_fileSize - m_offset;
    if (rest <= 0) {
        SetErrorCode(kEofReached);
        return line;
    }
    // A CR LF that starts right after maximum bytes still ends the line.
    const auto window = static_cast<size_t>(std::min<int64_t>(rest, int64_t{maximum} + 2));
    size_t end = 0;
    if (!GuardedFindLineEnd(m_view + m_offset, window, end, m_view, m_view + m_viewSize)) {
        Lost();
        return line;
    }
    const bool lineEnd = end <= maximum && end < window;
    const size_t take = lineEnd ? end : std::min<size_t>(window, maximum);
    line.resize(take);
    if (!CopyOut(line.data(), take))
        return {};
    m_offset += static_cast<int64_t>(take + (lineEnd ? 2 : 0));
    SetErrorCode(0);
    return line;
}

bool KivMappedFile::Eof() const {
    return m_offset >= m_fileSize;
}

int KivMappedFile::FileHandle() {
    return Handle();
}

int64_t KivMappedFile::Position() {
    return Tell();
}

int64_t KivMappedFile::Size() const {
    return m_fileSize;
}

std::string KivMappedFile::ReadStr(uint32_t count) {
    std::string text;
    if (!CheckOpen())
        return text;
    const auto n = static_cast<size_t>(std::min<int64_t>(count, m_fileSize - m_offset));
    if (n == 0) {
        SetErrorCode(count > 0 ? kEofReached : 0);
        return text;
    }
    text.resize(n);
    if (!CopyOut(text.data(), n))
        return {};
    m_offset += static_cast<int64_t>(n);
    SetErrorCode(0);
    return text;
}

int64_t KivMappedFile::Seek(int64_t offset, int origin) {
    if (!CheckOpen())
        return 0;
    int64_t base = 0;
    switch (origin) {
    case 0:
        break;
    case 1:
        base = m_offset;
        break;
    case 2:
        base = m_fileSize;
        break;
    default:
        SetErrorCode(kiv::oserror::kInvalidParameter);
        return -1;
    }
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target))
        target = offset < 0 ? 0 : m_fileSize;
    m_offset = std::clamp<int64_t>(target, 0, m_fileSize);
    SetErrorCode(0);
    return m_offset;
}

uint32_t KivMappedFile::WriteBuffer(const void*, uint32_t) {
    return RefuseWrite();
}

bool KivMappedFile::Open(uint32_t) {
    Close();
    if (!KivFileBin::Open(kRead))
        return false;
    struct stat st {};
    if (::fstat(KivFileBin::Handle(), &st) != 0) {
        const int err = errno;
        KivFileBin::Close();
        UpdateError(err);
        return false;
    }
    // Only a regular file has bytes to map; a device or a pipe reads as empty.
    const int64_t size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
    if (size > 0) {
        if (static_cast<uint64_t>(size) > std::numeric_limits<size_t>::max()) {
            KivFileBin::Close();
            SetErrorCode(kiv::oserror::kNotEnoughMemory);
            return false;
        }
        void* view =
            ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_SHARED, KivFileBin::Handle(), 0);
        if (view == MAP_FAILED) {
            const int err = errno;
            KivFileBin::Close();
            UpdateError(err);
            return false;
        }
        InstallGuard();
        m_view = static_cast<const char*>(view);
        m_viewSize = static_cast<size_t>(size);
        m_guard.Reset(m_view, m_viewSize);
    }
    m_offset = 0;
    m_fileSize = size;
    SetErrorCode(0);
    return true;
}

int64_t KivMappedFile::Tell() {
    if (!CheckOpen())
        return 0;
    SetErrorCode(0);
    return m_offset;
}

bool KivMappedFile::Create(uint32_t) {
    RefuseWrite();
    return false;
}

uint32_t KivMappedFile::Read(std::string& text, uint32_t count) {
    text = ReadStr(count);
    return static_cast<uint32_t>(text.size());
}

uint32_t KivMappedFile::Write(std::string_view, size_t) {
    return RefuseWrite();
}

uint32_t KivMappedFile::WriteLine(std::string_view, size_t) {
    return RefuseWrite();
}

uint32_t KivMappedFile::WriteText(std::string_view, size_t) {
    return RefuseWrite();
}
