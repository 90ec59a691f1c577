#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

namespace kiv::platform {

// Reads what is left of the descriptor into bytes (replacing them), in large blocks. An errno
// on failure, EFBIG once there is more than limit bytes; 0 on success.
int KivReadAll(int fd, std::string& bytes, size_t limit = std::numeric_limits<size_t>::max());

// The whole file. An errno on failure: EISDIR for a folder, EFBIG when larger than limit.
int KivReadWholeFile(const std::filesystem::path& file, std::string& bytes,
                     size_t limit = std::numeric_limits<size_t>::max());

// The whole file named in DOS or host form, or nothing when it cannot be read (a log to show).
std::string KivReadWholeFile(std::string_view dosPath);

} // namespace kiv::platform
