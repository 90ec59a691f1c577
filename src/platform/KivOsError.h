#pragma once

#include <cstdint>
#include <string>

// Operating-system errors as the IDE's run-time reports them: Windows error numbers and their
// message texts. Host errno values are translated once, here.
namespace kiv::oserror {

constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kTooManyOpenFiles = 4;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kWriteProtect = 19;
constexpr uint32_t kWriteFault = 29;
constexpr uint32_t kReadFault = 30;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kDiskFull = 112;
constexpr uint32_t kInvalidName = 123;
constexpr uint32_t kDirNotEmpty = 145;
constexpr uint32_t kDiscarded = 157;
constexpr uint32_t kNotLocked = 158;
constexpr uint32_t kFilenameTooLong = 206;
constexpr uint32_t kIoDevice = 1117;

// The Windows error number for a host errno value. Numbers without a Windows counterpart keep
// the errno value with bit 29 set (the "application-defined" range), so nothing is lost.
uint32_t FromErrno(int err);

// The system's message text for an error number ("The system cannot find the file specified.").
std::string Text(uint32_t code);

} // namespace kiv::oserror
