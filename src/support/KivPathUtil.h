#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Path helpers over DOS-form paths (drive letter, backslashes). The splitting routines are pure
// text; KivIsDir, KivDirMake and KivGetTempFile reach the disk through the DOS path mapping, so
// an unmapped drive (D:\x) or a UNC path simply does not exist for them.

// Joins a folder and a name with exactly one backslash; "/" counts as "\" in both. An empty
// folder gives the name alone; a trailing backslash is dropped except on a drive root (C:\).
std::string KivConcatDir(std::string_view folder, std::string_view name);

// Everything up to and including the last "\" or ":"; empty when there is none.
std::string KivExtractFilePath(std::string_view path);
// The part after the last "\" or ":", without its last "." and what follows.
std::string KivExtractFileName(std::string_view path);
// From the last "." on, dot included, when that dot lies in the last component; else empty.
std::string KivExtractFileExt(std::string_view path);
// Name and extension: KivExtractFileName + KivExtractFileExt.
std::string KivExtractFileInfo(std::string_view path);
// "C:" for a path with a drive letter, "\\server\share" for a UNC path, else empty.
std::string KivExtractFileDrive(std::string_view path);

// The path without its last component; a trailing backslash is ignored. The parent of a
// component right below a drive root is the root itself (C:\a gives C:\); a root or a single
// name has no parent and gives an empty text.
std::string KivPathUp(std::string_view path);

// True when the folder exists.
bool KivIsDir(std::string_view folder);

// Creates the folder and every missing parent. False when the path has no drive part, its drive
// is not mapped, or a level cannot be made (for instance because a file of that name is in the
// way); the levels made before the failure stay.
bool KivDirMake(std::string_view folder);

// Creates a new, empty file with a unique name in the folder (the system's temporary folder when
// none is given) and returns its full DOS path; empty when no file could be created. The name is
// up to three characters of the prefix, four hexadecimal digits and ".TMP".
std::string KivGetTempFile(std::string_view prefix, std::string_view folder = {});

// Windows drive type numbers, as the drive list reports them.
constexpr uint32_t KIV_DRIVE_UNKNOWN = 0;
constexpr uint32_t KIV_DRIVE_REMOVABLE = 2;
constexpr uint32_t KIV_DRIVE_FIXED = 3;
constexpr uint32_t KIV_DRIVE_REMOTE = 4;
constexpr uint32_t KIV_DRIVE_CDROM = 5;

struct KivDriveEntry {
    std::string root; // "C:\"
    uint32_t type = KIV_DRIVE_UNKNOWN;
};

// Asks KivGetLogicalDrivesArray for the drive types as well.
struct KivWithTypes {};
inline constexpr KivWithTypes kivWithTypes{};

// The roots of the mapped drives in upper case, in drive letter order.
std::vector<std::string> KivGetLogicalDrivesArray();
// The same roots, each with its drive type.
std::vector<KivDriveEntry> KivGetLogicalDrivesArray(KivWithTypes);

// The one file-name form used for everything the transfers write from a repository name
// (folders, AEF, PRG, log and information files): a name that is safe on both Windows and the
// host passes unchanged; otherwise each of \ / : * ? " < > |, each control byte (below 32, and
// 127) and each trailing dot or space becomes "_", an empty name becomes "_", and a DOS device
// name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, alone or before a dot) gets a leading "_". The
// result is one path component that stays inside its folder ("." and ".." become "_", "__").
std::string KivSafeFileName(std::string_view name);
