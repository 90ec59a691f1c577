#include "engine/KivEngineUtil.h"

#include "engine/KivEngineStatus.h"
#include "platform/KivAtomicFile.h"
#include "platform/KivDosPath.h"
#include "platform/KivOsError.h"
#include "platform/KivWholeFile.h"
#include "support/KivStringUtil.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv::engine {

namespace {

constexpr size_t kMaxFileSize = size_t{1} << 30;

// Closes the descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

uint32_t Out(char* buffer, size_t capacity, std::string_view text) {
    if (!buffer || capacity == 0)
        return kBadArgument;
    KivPszCopy(buffer, capacity, text);
    return kOk;
}

uint32_t Set(uint32_t* target, uint32_t value) {
    if (!target)
        return kBadArgument;
    *target = value;
    return kOk;
}

std::string_view FileBaseName(std::string_view path) {
    const size_t slash = path.find_last_of("\\/:");
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    const size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        path = path.substr(0, dot);
    return path;
}

uint32_t Now() {
    std::time_t now = std::time(nullptr);
    if (now < 0)
        return 0;
    if (static_cast<uint64_t>(now) > std::numeric_limits<uint32_t>::max())
        return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(now);
}

std::optional<std::filesystem::path> HostPath(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    return kiv::dospath::Resolve(kiv::dospath::ToDos(text));
}

uint32_t ReadWholeFile(const std::filesystem::path& file, std::string& bytes) {
    switch (const int error = kiv::platform::KivReadWholeFile(file, bytes, kMaxFileSize)) {
    case 0:
        return kOk;
    case EISDIR:
        return kiv::oserror::kAccessDenied;
    case EFBIG:
        return kBadFile;
    default:
        return kiv::oserror::FromErrno(error);
    }
}

KivInputFile::~KivInputFile() {
    m_guard.Reset(nullptr, 0);
    if (m_map)
        munmap(const_cast<char*>(m_map), m_size);
}

uint32_t KivInputFile::Open(const std::filesystem::path& file) {
    Fd in{open(file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        return kiv::oserror::FromErrno(errno);
    struct stat info {};
    if (fstat(in.fd, &info) != 0)
        return kiv::oserror::FromErrno(errno);
    if (!S_ISREG(info.st_mode) || info.st_size == 0)
        return ReadWholeFile(file, m_bytes);
    // A mapping costs no memory of the program's own, so its size is not limited here.
    void* map = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, in.fd, 0);
    if (map == MAP_FAILED)
        return kiv::oserror::FromErrno(errno);
    m_map = static_cast<const char*>(map);
    m_size = static_cast<size_t>(info.st_size);
    m_guard.Reset(m_map, m_size);
    madvise(map, m_size, MADV_SEQUENTIAL);
    return kOk;
}

uint32_t FileStatus(const KivAtomicFile& file) {
    // The file is being made, so a missing name means a missing folder.
    if (!file.IsOpen() && file.Error() == ENOENT)
        return kiv::oserror::kPathNotFound;
    return kiv::oserror::FromErrno(file.Error());
}

} // namespace kiv::engine
