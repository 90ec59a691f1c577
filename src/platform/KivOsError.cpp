#include "platform/KivOsError.h"

#include <cerrno>
#include <cstring>

namespace kiv::oserror {
namespace {
constexpr uint32_t kHostBit = 0x20000000u;
}

uint32_t FromErrno(int err) {
    switch (err) {
    case 0:
        return 0;
    case ENOENT:
        return kFileNotFound;
    case ENOTDIR:
        return kPathNotFound;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
        return kAccessDenied;
    case EBADF:
        return kInvalidHandle;
    case ENOMEM:
        return kNotEnoughMemory;
    case EROFS:
        return kWriteProtect;
    case EBUSY:
    case ETXTBSY:
        return kSharingViolation;
    case EEXIST:
        return kFileExists;
    case EINVAL:
        return kInvalidParameter;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case ENAMETOOLONG:
        return kFilenameTooLong;
    case ENOTEMPTY:
        return kDirNotEmpty;
    case EILSEQ:
        return kInvalidName;
    case EIO:
        return kIoDevice;
    default:
        return kHostBit | static_cast<uint32_t>(err);
    }
}

std::string Text(uint32_t code) {
    switch (code) {
    case 0:
        return "The operation completed successfully.";
    case kFileNotFound:
        return "The system cannot find the file specified.";
    case kPathNotFound:
        return "The system cannot find the path specified.";
    case kTooManyOpenFiles:
        return "The system cannot open the file.";
    case kAccessDenied:
        return "Access is denied.";
    case kInvalidHandle:
        return "The handle is invalid.";
    case kNotEnoughMemory:
        return "Not enough storage is available to process this command.";
    case kWriteProtect:
        return "The media is write protected.";
    case kWriteFault:
        return "The system cannot write to the specified device.";
    case kReadFault:
        return "The system cannot read from the specified device.";
    case kSharingViolation:
        return "The process cannot access the file because it is being used by another process.";
    case kFileExists:
        return "The file exists.";
    case kInvalidParameter:
        return "The parameter is incorrect.";
    case kDiskFull:
        return "There is not enough space on the disk.";
    case kInvalidName:
        return "The filename, directory name, or volume label syntax is incorrect.";
    case kDirNotEmpty:
        return "The directory is not empty.";
    case kDiscarded:
        return "The segment is already discarded and cannot be locked.";
    case kNotLocked:
        return "The segment is already unlocked.";
    case kFilenameTooLong:
        return "The filename or extension is too long.";
    case kIoDevice:
        return "The request could not be performed because of an I/O device error.";
    default:
        break;
    }
    if (code & kHostBit)
        return std::strerror(static_cast<int>(code & ~kHostBit));
    return "Unknown error " + std::to_string(code) + ".";
}

} // namespace kiv::oserror
