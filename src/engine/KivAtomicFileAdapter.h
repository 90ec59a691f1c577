#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace kiv::engine {

// A file that replaces the one at the target whole or not at all: the bytes go to a temporary
// file beside it, renamed over it by Commit. A target that exists and is no regular file (a
// device) is written in place, since a rename would replace the device itself. Until the
// platform's atomic file replacement is in, the engine writes through this one of the same shape.
class KivAtomicFile {
public:
    explicit KivAtomicFile(const std::filesystem::path& target);
    KivAtomicFile(const KivAtomicFile&) = delete;
    KivAtomicFile& operator=(const KivAtomicFile&) = delete;
    ~KivAtomicFile();

    bool IsOpen() const { return m_fd >= 0; }
    bool Write(const void* data, size_t size);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    bool Commit();
    // errno of the first failure (0 when none).
    int Error() const { return m_error; }

private:
    bool Fail(int error);

    std::filesystem::path m_target;
    std::filesystem::path m_temp; // empty when writing in place
    int m_fd = -1;
    int m_error = 0;
    bool m_done = false;
};

} // namespace kiv::engine
