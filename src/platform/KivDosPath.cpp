#include "platform/KivDosPath.h"

#include "platform/KivPlatformHome.h"
#include "platform/KivUtf8.h"

#include <algorithm>
#include <dirent.h>
#include <system_error>
#include <vector>

namespace kiv::dospath {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAscii(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The name in `folder` that stands for `name`: itself when it exists, else the first name in
// sorted order that matches ignoring case, so the choice does not depend on the directory's
// order; empty when nothing matches. The folder is read with readdir: a file about to be created
// is looked for here each time, so a run writing hundreds of files into one folder reads it
// hundreds of times.
std::string Find(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    if (std::filesystem::symlink_status(folder / name, ec).type() != std::filesystem::file_type::not_found && !ec)
        return name;
    std::string best;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view found(entry->d_name);
            if (found == "." || found == ".." || !EqualsIgnoringCase(found, name))
                continue;
            if (best.empty() || found < best)
                best = found;
        }
        ::closedir(dir);
    }
    return best;
}

// The host path of a root and DOS components, each converted to its host spelling.
std::filesystem::path HostPath(std::filesystem::path root, const std::vector<std::string>& components) {
    for (const auto& c : components)
        root /= HostName(c);
    return root;
}

// The DOS spelling of every name of a path whose names `separator` parts.
std::string DosNames(std::string_view host, char separator) {
    std::string out;
    out.reserve(host.size());
    size_t i = 0;
    while (i <= host.size()) {
        const size_t j = std::min(host.find(separator, i), host.size());
        out += DosName(host.substr(i, j - i));
        if (j < host.size())
            out += separator;
        i = j + 1;
    }
    return out;
}

bool HasDrive(std::string_view p) {
    return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

struct SplitPath {
    std::filesystem::path root;
    std::vector<std::string> components;
};

// Folds "." and ".." and empty components; ".." at the root stays at the root.
void AppendComponents(std::string_view rest, std::vector<std::string>& out) {
    size_t i = 0;
    while (i <= rest.size()) {
        size_t j = i;
        while (j < rest.size() && !IsSeparator(rest[j]))
            ++j;
        std::string_view part = rest.substr(i, j - i);
        if (part == "..") {
            if (!out.empty())
                out.pop_back();
        } else if (!part.empty() && part != ".") {
            out.emplace_back(part);
        }
        i = j + 1;
    }
}

std::optional<SplitPath> Split(std::string_view dosPath) {
    if (dosPath.empty())
        return std::nullopt;
    if (dosPath.size() >= 2 && IsSeparator(dosPath[0]) && IsSeparator(dosPath[1]))
        return std::nullopt; // UNC: no network shares here
    SplitPath out;
    std::string_view rest = dosPath;
    if (HasDrive(dosPath)) {
        char drive = static_cast<char>(dosPath[0] & ~0x20);
        if (drive == 'Z')
            out.root = "/";
        else if (drive == 'C')
            out.root = kiv::platform::DriveC();
        else
            return std::nullopt;
        rest = dosPath.substr(2);
        // "C:name" means relative to the drive's current folder; we keep one current folder per
        // drive, its root.
    } else if (IsSeparator(dosPath[0])) {
        // Rooted without a drive: the working directory's drive.
        std::error_code ec;
        std::string cwdDos = FromHost(std::filesystem::current_path(ec));
        return Split(cwdDos.substr(0, 2) + std::string(dosPath));
    } else {
        std::error_code ec;
        std::filesystem::path cwd = std::filesystem::current_path(ec);
        std::string cwdDos = FromHost(cwd);
        return Split(cwdDos + "\\" + std::string(dosPath));
    }
    AppendComponents(rest, out.components);
    return out;
}

} // namespace

std::string HostName(std::string_view dosName) {
    if (IsAscii(dosName) || KivIsUtf8(dosName))
        return std::string(dosName);
    return KivAnsiToUtf8(dosName);
}

std::string DosName(std::string_view hostName) {
    if (IsAscii(hostName) || !KivIsUtf8(hostName))
        return std::string(hostName);
    // Kept in its own bytes when the code page cannot hold it, or when its Windows-1252 bytes
    // would read as UTF-8 again and so name another file.
    auto ansi = KivUtf8ToAnsi(hostName);
    if (!ansi || KivIsUtf8(*ansi))
        return std::string(hostName);
    return *ansi;
}

bool IsMappedDrive(char letter) {
    char up = static_cast<char>(letter & ~0x20);
    return up == 'C' || up == 'Z';
}

std::optional<std::filesystem::path> ToHost(std::string_view dosPath) {
    auto split = Split(dosPath);
    if (!split)
        return std::nullopt;
    return HostPath(split->root, split->components);
}

std::optional<std::filesystem::path> Resolve(std::string_view dosPath) {
    auto split = Split(dosPath);
    if (!split)
        return std::nullopt;
    std::filesystem::path p = split->root;
    bool searching = true;
    for (const auto& c : split->components) {
        const std::string name = HostName(c);
        if (searching) {
            // The host spelling first, then the name's own bytes (a file named by an older program).
            std::string found = Find(p, name);
            if (found.empty() && name != c)
                found = Find(p, c);
            if (!found.empty()) {
                p /= found;
                continue;
            }
            searching = false;
        }
        p /= name;
    }
    return p;
}

std::string FromHost(const std::filesystem::path& hostPath) {
    std::error_code ec;
    std::filesystem::path abs = hostPath.is_absolute() ? hostPath : std::filesystem::absolute(hostPath, ec);
    abs = abs.lexically_normal();
    std::filesystem::path driveC = kiv::platform::DriveC().lexically_normal();
    std::string out;
    auto rel = abs.lexically_relative(driveC);
    if (!rel.empty() && *rel.begin() != ".." && rel.is_relative()) {
        out = "C:\\";
        if (rel != ".")
            out += DosNames(rel.generic_string(), '/');
    } else {
        out = "Z:" + DosNames(abs.generic_string(), '/');
    }
    std::replace(out.begin(), out.end(), '/', '\\');
    // A trailing separator is kept only on a drive root.
    while (out.size() > 3 && out.back() == '\\')
        out.pop_back();
    return out;
}

std::string ToDos(std::string_view typed) {
    std::string out;
    if (!typed.empty() && typed[0] == '/' && !(typed.size() >= 2 && typed[1] == '/'))
        return FromHost(std::filesystem::path(std::string(typed)));
    out.assign(typed);
    std::replace(out.begin(), out.end(), '/', '\\');
    // Typed at a terminal the names are UTF-8; typed in a window they are Windows-1252 already.
    return DosNames(out, '\\');
}

std::string FromTyped(std::string_view typed) {
    while (!typed.empty() && (typed.front() == ' ' || typed.front() == '\t'))
        typed.remove_prefix(1);
    while (!typed.empty() && (typed.back() == ' ' || typed.back() == '\t'))
        typed.remove_suffix(1);
    if (typed.empty())
        return {};
    const bool unc = typed.size() >= 2 && IsSeparator(typed[0]) && IsSeparator(typed[1]);
    if (HasDrive(typed) || unc || typed[0] == '/')
        return ToDos(typed);
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (typed[0] == '\\')
        return FromHost(cwd).substr(0, 2) + ToDos(typed);
    // Relative: both separators part folders, as they do in the DOS form.
    std::string relative(typed);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return FromHost(cwd / relative);
}

} // namespace kiv::dospath
