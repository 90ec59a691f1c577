#include "platform/KivDosPath.h"

#include "platform/KivPlatformHome.h"

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

bool IsMappedDrive(char letter) {
    char up = static_cast<char>(letter & ~0x20);
    return up == 'C' || up == 'Z';
}

std::optional<std::filesystem::path> ToHost(std::string_view dosPath) {
    auto split = Split(dosPath);
    if (!split)
        return std::nullopt;
    std::filesystem::path p = split->root;
    for (const auto& c : split->components)
        p /= c;
    return p;
}

std::optional<std::filesystem::path> Resolve(std::string_view dosPath) {
    auto split = Split(dosPath);
    if (!split)
        return std::nullopt;
    std::filesystem::path p = split->root;
    bool searching = true;
    for (const auto& c : split->components) {
        if (searching) {
            std::error_code ec;
            std::filesystem::path exact = p / c;
            if (std::filesystem::symlink_status(exact, ec).type() != std::filesystem::file_type::not_found &&
                !ec) {
                p = exact;
                continue;
            }
            // Not there under its exact name: take the first name in sorted order that matches
            // ignoring case, so the choice does not depend on the directory's order. The folder
            // is read with readdir: a file about to be created is looked for here each time, so
            // a run writing hundreds of files into one folder reads it hundreds of times.
            std::string best;
            if (DIR* dir = ::opendir(p.c_str())) {
                while (const dirent* entry = ::readdir(dir)) {
                    const std::string_view name(entry->d_name);
                    if (name == "." || name == ".." || !EqualsIgnoringCase(name, c))
                        continue;
                    if (best.empty() || name < best)
                        best = name;
                }
                ::closedir(dir);
            }
            if (!best.empty()) {
                p /= best;
                continue;
            }
            searching = false;
        }
        p /= c;
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
            out += rel.generic_string();
    } else {
        out = "Z:" + abs.generic_string();
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
    return out;
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
