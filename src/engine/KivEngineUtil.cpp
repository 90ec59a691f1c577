#include "engine/KivEngineUtil.h"

#include "engine/KivEngineStatus.h"
#include "platform/KivAtomicFile.h"
#include "platform/KivDosPath.h"
#include "platform/KivOsError.h"
#include "platform/KivWholeFile.h"
#include "support/KivStringUtil.h"

#include <cerrno>
#include <ctime>
#include <limits>

namespace kiv::engine {

namespace {

constexpr size_t kMaxFileSize = size_t{1} << 30;

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

uint32_t WriteWholeFile(const std::filesystem::path& file, std::string_view bytes) {
    int error = 0;
    if (kiv::platform::KivReplaceFile(file, bytes, &error))
        return kOk;
    // The file is being made, so a missing name means a missing folder.
    return error == ENOENT ? kiv::oserror::kPathNotFound : kiv::oserror::FromErrno(error);
}

} // namespace kiv::engine
