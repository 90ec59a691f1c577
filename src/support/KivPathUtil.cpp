#include "support/KivPathUtil.h"

#include "platform/KivDosPath.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <system_error>
#include <unistd.h>

namespace {

bool IsAllBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// Position of the last "\" or ":", or npos.
size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\:");
}

std::string_view LastComponent(std::string_view path) {
    size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

} // namespace

std::string KivConcatDir(std::string_view folder, std::string_view name) {
    std::string dir(folder);
    std::string file(name);
    std::replace(dir.begin(), dir.end(), '/', '\\');
    std::replace(file.begin(), file.end(), '/', '\\');

    std::string out;
    if (!file.empty() && file.front() == '\\') {
        out = dir;
        if (!out.empty() && out.back() == '\\')
            out.pop_back();
        out += file;
    } else if (!dir.empty() && dir.back() == '\\') {
        out = dir + file;
    } else if (IsAllBlank(dir)) {
        out = file;
    } else {
        out = dir + "\\" + file;
    }
    if (!out.empty() && out.back() == '\\' && !(out.size() >= 2 && out[out.size() - 2] == ':'))
        out.pop_back();
    return out;
}

std::string KivExtractFilePath(std::string_view path) {
    size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string KivExtractFileName(std::string_view path) {
    std::string_view last = LastComponent(path);
    size_t dot = last.rfind('.');
    return std::string(dot == std::string_view::npos ? last : last.substr(0, dot));
}

std::string KivExtractFileExt(std::string_view path) {
    std::string_view last = LastComponent(path);
    size_t dot = last.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(last.substr(dot));
}

std::string KivExtractFileInfo(std::string_view path) {
    return KivExtractFileName(path) + KivExtractFileExt(path);
}

std::string KivExtractFileDrive(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path.substr(0, 2));
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        size_t server = path.find('\\', 2);
        if (server == std::string_view::npos)
            return std::string(path);
        size_t share = path.find('\\', server + 1);
        return std::string(share == std::string_view::npos ? path : path.substr(0, share));
    }
    return {};
}

std::string KivPathUp(std::string_view path) {
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    size_t sep = path.rfind('\\');
    if (sep == std::string_view::npos)
        return {};
    // Keep the backslash of a drive root, as KivConcatDir does.
    if (sep == 2 && path[1] == ':')
        return std::string(path.substr(0, 3));
    return std::string(path.substr(0, sep));
}

bool KivIsDir(std::string_view folder) {
    if (KivAllTrim(folder).empty())
        return false;
    auto host = kiv::dospath::Resolve(folder);
    std::error_code ec;
    return host && std::filesystem::is_directory(*host, ec);
}

bool KivDirMake(std::string_view folder) {
    std::string path = KivAllTrim(folder);
    std::string drive = KivExtractFileDrive(path);
    if (drive.empty())
        return false;
    if (!path.empty() && path.back() == '\\' && path.size() > drive.size() + 1)
        path.pop_back();

    // A drive root always exists on the platform; the folder behind C: is made on first use.
    auto root = kiv::dospath::ToHost(drive + "\\");
    if (!root)
        return false;
    std::error_code ec;
    if (!std::filesystem::is_directory(*root, ec) && !std::filesystem::create_directories(*root, ec))
        return false;

    std::string current = drive;
    for (const std::string& part : KivString2Array(std::string_view(path).substr(drive.size()), "\\")) {
        if (part.empty())
            continue;
        current = KivConcatDir(current, part);
        if (KivIsDir(current))
            continue;
        auto host = kiv::dospath::Resolve(current);
        if (!host)
            return false;
        std::filesystem::create_directory(*host, ec);
        if (!std::filesystem::is_directory(*host, ec))
            return false;
    }
    return true;
}

std::string KivGetTempFile(std::string_view prefix, std::string_view folder) {
    std::error_code ec;
    std::string dir(folder);
    if (KivAllTrim(dir).empty()) {
        std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
        dir = kiv::dospath::FromHost(ec ? std::filesystem::path("/tmp") : temp);
    }
    auto hostDir = kiv::dospath::Resolve(dir);
    if (!hostDir || !std::filesystem::is_directory(*hostDir, ec))
        return {};
    std::string stem(prefix.substr(0, std::min<size_t>(prefix.size(), 3)));
    // Start at a random number and walk on, as the platform does with its tick count; every
    // one of the 65535 names is tried before giving up.
    std::random_device seed;
    uint32_t start = seed() & 0xFFFF;
    for (uint32_t i = 0; i < 0x10000; ++i) {
        uint32_t unique = (start + i) & 0xFFFF;
        if (unique == 0)
            continue;
        std::string name = stem + KivIntToHex(unique, 4) + ".TMP";
        std::filesystem::path host = *hostDir / name;
        int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return KivConcatDir(dir, name);
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

std::vector<std::string> KivGetLogicalDrivesArray() {
    std::vector<std::string> roots;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        if (kiv::dospath::IsMappedDrive(letter))
            roots.push_back(std::string(1, letter) + ":\\");
    return roots;
}

std::vector<KivDriveEntry> KivGetLogicalDrivesArray(KivWithTypes) {
    std::vector<KivDriveEntry> out;
    // Both mapped drives are folders on the host's own disks.
    for (std::string& root : KivGetLogicalDrivesArray())
        out.push_back({std::move(root), KIV_DRIVE_FIXED});
    return out;
}

std::string KivSafeFileName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b == 127 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    for (auto i = out.size(); i > 0 && (out[i - 1] == '.' || out[i - 1] == ' '); --i)
        out[i - 1] = '_';
    if (out.empty())
        return "_";
    std::string stem = out.substr(0, out.find('.'));
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                          stem[3] >= '1' && stem[3] <= '9';
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || numbered)
        out.insert(out.begin(), '_');
    return out;
}
