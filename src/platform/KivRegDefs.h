#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The numbers of the Windows registry that the registry store and its callers share: root key
// handles, value types, the error codes the store answers with, and the limits it keeps.
namespace kiv::reg {

// A key handle: one of the four roots, or a key the store opened. Opened keys are row numbers
// from 2^32 upwards, so they never collide with the roots or with 0.
using HKey = uint64_t;

constexpr HKey kClassesRoot = 0x80000000u;
constexpr HKey kCurrentUser = 0x80000001u;
constexpr HKey kLocalMachine = 0x80000002u;
constexpr HKey kUsers = 0x80000003u;

constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegDwordBigEndian = 5;
constexpr uint32_t kRegLink = 6;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kRegResourceList = 8;

// Windows error numbers as the registry functions return them.
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kFileNotFound = 2;  // no such key or value, or no such file to restore
constexpr uint32_t kPathNotFound = 3;  // a folder of a save file's path is missing
constexpr uint32_t kAccessDenied = 5;  // deleting a root, or a key that still has subkeys
constexpr uint32_t kInvalidHandle = 6; // not a root and not a handle the store gave out
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kInvalidParameter = 87; // a name too long, a tree too deep, a move into itself
constexpr uint32_t kDiskFull = 112;
constexpr uint32_t kBadPathname = 161;   // a key path with an empty component
constexpr uint32_t kBusy = 170;          // another process held the store past the wait
constexpr uint32_t kAlreadyExists = 183; // SaveKey onto an existing file
constexpr uint32_t kNoMoreItems = 259;   // enumeration past the last subkey or value
constexpr uint32_t kBadDb = 1009;        // the store file is of an unknown (newer) layout
constexpr uint32_t kCantOpen = 1011;     // the store file cannot be opened
constexpr uint32_t kRegistryCorrupt = 1015;
constexpr uint32_t kRegistryIoFailed = 1016;
constexpr uint32_t kNotRegistryFile = 1017; // a damaged or foreign save file
constexpr uint32_t kKeyDeleted = 1018;      // the handle's key was deleted meanwhile

// Limits of the Windows registry: bytes of one key name, bytes of a value name, levels below a
// root.
constexpr size_t kMaxKeyNameLen = 255;
constexpr size_t kMaxValueNameLen = 16383;
constexpr uint32_t kMaxDepth = 512;

// The name as the registry compares it: ASCII letters upper-cased, other bytes kept. Subkeys
// enumerate in the byte order of this form.
inline std::string Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return folded;
}

// Last-write times are in FILETIME form: 100 ns units since 1601-01-01 UTC. This is the FILETIME
// of 1970-01-01 00:00 UTC.
constexpr uint64_t kFileTimeUnixEpoch = 116444736000000000ull;

} // namespace kiv::reg
