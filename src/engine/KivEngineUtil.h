#pragma once

#include "platform/KivAtomicFile.h"

#include "support/KivMappedFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Small helpers of the engine's operations: texts in and out, times, files.
namespace kiv::engine {

using kiv::platform::KivAtomicFile;

// A text argument; null counts as empty.
inline std::string Str(const char* text) {
    return text ? std::string(text) : std::string();
}

// Copies a text into a caller's buffer, cut to fit and NUL-terminated; kBadArgument for a null
// buffer or a capacity of 0.
uint32_t Out(char* buffer, size_t capacity, std::string_view text);

// Stores an out value; kBadArgument for a null pointer.
uint32_t Set(uint32_t* target, uint32_t value);

// The file name of a DOS, POSIX or drive-relative path without its folder and extension.
std::string_view FileBaseName(std::string_view path);

// Seconds since 1970-01-01 GMT, now.
uint32_t Now();

// The host path of a file or folder named in DOS form (or as a POSIX path).
std::optional<std::filesystem::path> HostPath(std::string_view text);

// The whole file; a Windows error number when it cannot be read, kBadFile when it is larger
// than an export file can sensibly be (1 GiB).
uint32_t ReadWholeFile(const std::filesystem::path& file, std::string& bytes);

// The Windows error number of a failed KivAtomicFile.
uint32_t FileStatus(const KivAtomicFile& file);

// The bytes of a file as the engine reads an export file: mapped when it is a regular file, read
// whole otherwise (a device or a pipe).
class KivInputFile {
public:
    KivInputFile() = default;
    KivInputFile(const KivInputFile&) = delete;
    KivInputFile& operator=(const KivInputFile&) = delete;
    ~KivInputFile();
    // A Windows error number when the file cannot be read, kBadFile when it is larger than an
    // export file can sensibly be.
    uint32_t Open(const std::filesystem::path& file);
    std::string_view Bytes() const { return m_map ? std::string_view(m_map, m_size) : m_bytes; }
    // True when the file shrank under the mapping while it was read: what was read of it is
    // not what the file held, and the caller throws it away (kReadFault).
    bool Cut() const { return m_guard.Cut(); }

private:
    KivMappingGuard m_guard;
    const char* m_map = nullptr;
    size_t m_size = 0;
    std::string m_bytes;
};

} // namespace kiv::engine
