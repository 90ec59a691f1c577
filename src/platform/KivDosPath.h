#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The program works with DOS-form paths (drive letter, backslashes). They are mapped onto the host
// as a Windows compatibility layer maps them: Z:\ is the host root, C:\ a folder inside the
// platform home; other drives and UNC paths are not mapped. A path without a drive is taken
// relative to the working directory, as Windows does.
//
// A DOS path holds Windows-1252 bytes, as every text of the program does; host names are UTF-8.
// Each name is converted between the two on the way, so "M\xFCller" (typed in a window, or kept in
// the repository) is the host's "Müller". A host name Windows-1252 cannot hold stays in its UTF-8
// bytes on the DOS side and comes back unchanged; a host name that is not UTF-8 (a file another
// program named in Windows-1252 bytes) is still found by Resolve under its own bytes.
namespace kiv::dospath {

// One file or folder name of a DOS path as the host spells it, and back. HostName(DosName(x)) is
// x for every UTF-8 name x.
std::string HostName(std::string_view dosName);
std::string DosName(std::string_view hostName);

// True when the drive letter (either case) has a host folder behind it.
bool IsMappedDrive(char letter);

// Host path of a DOS path, component by component, without looking at the disk. "." and ".."
// are folded lexically and never climb above the drive's root. Both "\" and "/" separate.
// Empty when the drive is not mapped, the path is a UNC path or the text is empty.
std::optional<std::filesystem::path> ToHost(std::string_view dosPath);

// As ToHost, then each component that does not exist under its exact name is looked up ignoring
// case in its parent folder (App.Prg finds app.prg), then under the name's own bytes as the host
// spelling. Components that match nothing are kept in their host spelling, so the result also
// serves for files and folders about to be created.
std::optional<std::filesystem::path> Resolve(std::string_view dosPath);

// DOS form of a host path: inside the C: folder gives C:\..., anything else Z:\...
// A relative host path is made absolute against the working directory first.
std::string FromHost(const std::filesystem::path& hostPath);

// A path as a person typed or picked it, turned into the DOS form the program works with: a
// POSIX absolute path ("/home/ann/x") becomes Z:\home\ann\x; a DOS path keeps its form with
// "/" turned into "\"; a relative path keeps being relative.
std::string ToDos(std::string_view typed);

// The one resolve of a path a person typed, picked or passed, for kivrepo's arguments and every
// path field of the explorer: host or DOS form, absolute or relative to the working folder
// ("out", "../x", "out\sub"), as an absolute DOS path. Blanks around it are dropped; a DOS
// path keeps its drive (an unmapped one fails where it is used); empty text stays empty.
std::string FromTyped(std::string_view typed);

} // namespace kiv::dospath
