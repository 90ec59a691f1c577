#include "support/KivFileSpec.h"

#include "platform/KivDosPath.h"
#include "support/KivDateTime.h"

#include <algorithm>
#include <sys/stat.h>
#include <system_error>

namespace {

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string Absolute(std::string_view fileName) {
    std::string dos = kiv::dospath::ToDos(fileName);
    if (dos.empty() || HasDrive(dos) || dos.rfind("\\\\", 0) == 0)
        return dos;
    std::error_code ec;
    const std::string cwd = kiv::dospath::FromHost(std::filesystem::current_path(ec));
    if (dos.front() == '\\')
        return cwd.substr(0, 2) + dos;
    return cwd.back() == '\\' ? cwd + dos : cwd + "\\" + dos;
}

// Seconds since 1970 (UTC) of the file's last change, when the file exists.
std::optional<int64_t> LastWrite(const KivFileSpec& file) {
    auto host = file.HostPath();
    struct stat st {};
    if (!host || ::stat(host->c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return std::nullopt;
    return static_cast<int64_t>(st.st_mtime);
}

uint32_t ToMoment(int64_t seconds) {
    return static_cast<uint32_t>(std::clamp<int64_t>(seconds, 0, int64_t{0xFFFFFFFF}));
}

} // namespace

KivFileSpec::KivFileSpec(std::string_view fileName) : m_fullPath(Absolute(fileName)) {}

std::string KivFileSpec::FullPath(std::string_view fileName) {
    m_fullPath = Absolute(fileName);
    return m_fullPath;
}

size_t KivFileSpec::NameStart() const {
    const size_t slash = m_fullPath.rfind('\\');
    if (slash != std::string::npos)
        return slash + 1;
    return HasDrive(m_fullPath) ? 2 : 0;
}

size_t KivFileSpec::ExtensionStart() const {
    const size_t start = NameStart();
    const size_t dot = m_fullPath.rfind('.');
    // A leading dot belongs to the name (".profile" has no extension).
    if (dot == std::string::npos || dot <= start)
        return std::string::npos;
    return dot;
}

std::string KivFileSpec::Path() const {
    return m_fullPath.substr(0, NameStart());
}

std::string KivFileSpec::FileName() const {
    const size_t start = NameStart();
    const size_t dot = ExtensionStart();
    return m_fullPath.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

std::string KivFileSpec::FileName(std::string_view name) {
    m_fullPath = Path() + std::string(name) + Extension();
    return FileName();
}

std::string KivFileSpec::Extension() const {
    const size_t dot = ExtensionStart();
    return dot == std::string::npos ? std::string() : m_fullPath.substr(dot);
}

std::string KivFileSpec::Extension(std::string_view extension) {
    std::string stem = Path() + FileName();
    if (!extension.empty() && extension.front() != '.')
        stem += '.';
    m_fullPath = stem + std::string(extension);
    return Extension();
}

std::optional<std::filesystem::path> KivFileSpec::HostPath() const {
    return kiv::dospath::Resolve(m_fullPath);
}

bool KivFileSpec::Find() const {
    return LastWrite(*this).has_value();
}

KivDate KivFileSpec::DateChanged() const {
    auto written = LastWrite(*this);
    if (!written)
        return KivDate();
    return KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(ToMoment(*written))).first;
}

std::string KivFileSpec::TimeChanged() const {
    auto written = LastWrite(*this);
    if (!written)
        return {};
    return KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(ToMoment(*written))).second;
}
