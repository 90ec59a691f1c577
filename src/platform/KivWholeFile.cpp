#include "platform/KivWholeFile.h"

#include "platform/KivDosPath.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv::platform {

int KivReadAll(int fd, std::string& bytes, size_t limit) {
    bytes.clear();
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<uint64_t>(info.st_size) > limit)
            return EFBIG;
        bytes.reserve(static_cast<size_t>(info.st_size));
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        if (static_cast<size_t>(n) > limit - bytes.size())
            return EFBIG;
        bytes.append(chunk, static_cast<size_t>(n));
    }
}

int KivReadWholeFile(const std::filesystem::path& file, std::string& bytes, size_t limit) {
    bytes.clear();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (error == 0)
        error = KivReadAll(fd, bytes, limit);
    ::close(fd);
    return error;
}

std::string KivReadWholeFile(std::string_view dosPath) {
    std::string bytes;
    const auto host = dosPath.empty() ? std::nullopt : kiv::dospath::Resolve(dosPath);
    if (!host || KivReadWholeFile(*host, bytes) != 0)
        bytes.clear();
    return bytes;
}

} // namespace kiv::platform
