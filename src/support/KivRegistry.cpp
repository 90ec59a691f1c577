#include "support/KivRegistry.h"

#include "platform/KivAtomicFile.h"
#include "platform/KivDosPath.h"
#include "platform/KivOsError.h"
#include "platform/KivRegSaveFile.h"
#include "platform/KivRegistryStore.h"
#include "support/KivFileBin.h"
#include "support/KivFileSpec.h"
#include "support/KivPathUtil.h"
#include "support/KivStringUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using kiv::reg::HKey;
namespace fs = std::filesystem;

namespace {

// The one store of the process. It follows the platform home (tests move it), and a child made
// by fork opens its own: SQLite connections must not be used across fork, nor closed in the
// child, so the inherited one is set aside, still reachable, and never touched again.
struct SharedStore {
    std::unique_ptr<KivRegistryStore> store;
    fs::path path;
    pid_t pid = 0;
    std::vector<KivRegistryStore*> inherited;
};

SharedStore& Shared() {
    static SharedStore shared;
    return shared;
}

uint32_t OpenSharedStore(KivRegistryStore*& out) {
    SharedStore& shared = Shared();
    const pid_t pid = ::getpid();
    if (shared.store && shared.pid != pid)
        shared.inherited.push_back(shared.store.release());
    const fs::path path = KivRegistryStore::DefaultPath();
    if (shared.store && shared.path != path)
        shared.store.reset();
    if (!shared.store) {
        auto store = std::make_unique<KivRegistryStore>();
        if (uint32_t code = store->Open())
            return code;
        shared.store = std::move(store);
        shared.path = path;
        shared.pid = pid;
    }
    out = shared.store.get();
    return kiv::reg::kSuccess;
}

std::string Join(std::string_view path, std::string_view name) {
    if (path.empty())
        return std::string(name);
    std::string joined(path);
    joined += '\\';
    joined += name;
    return joined;
}

bool IsStringType(uint32_t type) {
    switch (type) {
    case kiv::reg::kRegNone:
    case kiv::reg::kRegSz:
    case kiv::reg::kRegExpandSz:
    case kiv::reg::kRegBinary:
    case kiv::reg::kRegLink:
    case kiv::reg::kRegMultiSz:
    case kiv::reg::kRegResourceList:
        return true;
    default:
        return false;
    }
}

bool IsDwordType(uint32_t type) {
    return type == kiv::reg::kRegDword || type == kiv::reg::kRegDwordBigEndian;
}

// A DWORD value's number; false when its data is not four bytes.
bool DwordOf(uint32_t type, std::string_view data, uint32_t& value) {
    if (data.size() != 4)
        return false;
    const auto* b = reinterpret_cast<const unsigned char*>(data.data());
    if (type == kiv::reg::kRegDwordBigEndian)
        value = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
    else
        value = uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
    return true;
}

std::string DwordBytes(uint32_t value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return data;
}

// The text of an existing value as GetString gives it, before trimming.
std::string TextOf(uint32_t type, const std::string& data) {
    if (IsStringType(type))
        return data.empty() ? std::string() : data.substr(0, data.size() - 1);
    uint32_t value = 0;
    if (IsDwordType(type))
        return std::to_string(DwordOf(type, data, value) ? static_cast<int32_t>(value) : 0);
    return {};
}

void AppendQuoted(std::string& out, std::string_view text, bool doubleBackslashes) {
    out += '"';
    for (char c : text) {
        if (c == '\\' && doubleBackslashes)
            out += '\\';
        else if (c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

void AppendHex(std::string& out, std::string_view data) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.reserve(out.size() + data.size() * 3);
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0)
            out += ',';
        const auto byte = static_cast<unsigned char>(data[i]);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0x0F];
    }
}

// The line that opens a key's block, with its line end; a root has no backslash after its name.
void AppendBlockStart(std::string& out, std::string_view root, std::string_view path) {
    out += '[';
    out += root;
    if (!path.empty()) {
        out += '\\';
        out += path;
    }
    out += "]\r\n";
}

// One REGEDIT4 value line without its line end.
void AppendEntryLine(std::string& out, std::string_view name, uint32_t type, std::string_view data) {
    if (name.empty())
        out += '@';
    else
        AppendQuoted(out, name, false);
    out += '=';
    uint32_t value = 0;
    if (type == kiv::reg::kRegSz) {
        if (!data.empty() && data.back() == '\0')
            data.remove_suffix(1);
        AppendQuoted(out, data, true);
    } else if (type == kiv::reg::kRegDword && DwordOf(type, data, value)) {
        out += "dword:";
        out += KivIntToHex(value, 8);
    } else if (type == kiv::reg::kRegBinary) {
        out += "hex:";
        AppendHex(out, data);
    } else {
        // A DWORD of another size than four bytes lands here too, so its bytes are kept.
        out += "hex(";
        out += std::to_string(type);
        out += "):";
        AppendHex(out, data);
    }
}

uint32_t HostOf(std::string_view dosPath, fs::path& host) {
    auto resolved = kiv::dospath::Resolve(dosPath);
    if (!resolved || dosPath.empty())
        return kiv::oserror::kPathNotFound;
    host = *resolved;
    return kiv::reg::kSuccess;
}

uint32_t FileBinError(const KivFileBin& file) {
    return file.ErrorCode() == KivFileBin::kDiskFull ? kiv::oserror::kDiskFull : file.ErrorCode();
}

using ExportSink = std::function<uint32_t(std::string_view)>;

// The error number of a failed replacement of a file; a file being made in a missing folder
// is a missing path, and a folder in the way refuses access.
uint32_t ReplaceError(int err) {
    return err == ENOENT ? kiv::oserror::kPathNotFound : kiv::oserror::FromErrno(err);
}

// Writes a file that replaces a person's file, whole or not at all. The writer hands its bytes
// to the sink, which answers an error number.
uint32_t WriteReplacing(const KivFileSpec& target, const std::function<uint32_t(const ExportSink&)>& write) {
    fs::path host;
    if (uint32_t code = HostOf(target.FullPath(), host))
        return code;
    kiv::platform::KivAtomicFile out(host);
    if (!out.IsOpen())
        return ReplaceError(out.Error());
    const uint32_t code = write([&](std::string_view bytes) {
        return out.Write(bytes) ? kiv::reg::kSuccess : ReplaceError(out.Error());
    });
    if (code != kiv::reg::kSuccess)
        return code;
    return out.Commit() ? kiv::reg::kSuccess : ReplaceError(out.Error());
}

// What a failed write through the file reports; a short write without an error is a full disk.
uint32_t WriteResult(const KivFileBin& file, size_t written, size_t wanted) {
    if (file.Error())
        return FileBinError(file);
    return written == wanted ? kiv::reg::kSuccess : kiv::oserror::kDiskFull;
}

} // namespace

KivRegistry::KivRegistry(std::string_view subKey, HKey root) {
    Init(subKey, root);
}

void KivRegistry::Init(std::string_view subKey, HKey root) {
    m_useKey = kiv::reg::kLocalMachine;
    UseKey(root);
    SubKey(subKey);
}

HKey KivRegistry::UseKey(HKey root) {
    if (root >= kiv::reg::kClassesRoot && root <= kiv::reg::kUsers)
        m_useKey = root;
    return m_useKey;
}

std::string KivRegistry::SubKey(std::string_view subKey) {
    std::string trimmed = KivAllTrim(subKey);
    if (!trimmed.empty() && trimmed.front() == '\\')
        trimmed.erase(0, 1);
    m_subKey = std::move(trimmed);
    return m_subKey;
}

std::string KivRegistry::UseKeyString() const {
    switch (m_useKey) {
    case kiv::reg::kClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case kiv::reg::kCurrentUser:
        return "HKEY_CURRENT_USER";
    case kiv::reg::kLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case kiv::reg::kUsers:
        return "HKEY_USERS";
    default:
        return {};
    }
}

int KivRegistry::KeyLevel() const {
    int level = 0;
    for (char c : m_subKey)
        level += c == '\\';
    return level;
}

std::string KivRegistry::BuildSubKey(std::string_view section) const {
    if (section.empty())
        return m_subKey;
    return Join(m_subKey, section);
}

KivRegistryStore* KivRegistry::Store() {
    KivRegistryStore* store = nullptr;
    return Check(OpenSharedStore(store)) ? store : nullptr;
}

bool KivRegistry::Check(uint32_t code) {
    m_lastError = code;
    return code == kiv::reg::kSuccess;
}

uint32_t KivRegistry::_OpenKey(std::string_view section, HKey& key) {
    key = 0;
    if (KivRegistryStore* store = Store())
        Check(store->OpenKey(m_useKey, BuildSubKey(section), key));
    return m_lastError;
}

uint32_t KivRegistry::_CreateKey(std::string_view section, HKey& key) {
    key = 0;
    if (KivRegistryStore* store = Store())
        Check(store->CreateKey(m_useKey, BuildSubKey(section), key));
    return m_lastError;
}

uint32_t KivRegistry::_CloseKey(HKey key) {
    if (KivRegistryStore* store = Store())
        Check(store->CloseKey(key));
    return m_lastError;
}

std::string KivRegistry::GetString(std::string_view section, std::string_view entry,
                                   std::string_view defaultValue) {
    uint32_t type = 0;
    std::string data;
    if (!GetData(section, entry, data, type)) {
        // Only a value that is not there is created: after any other failure it may well exist.
        if (m_lastError == kiv::reg::kFileNotFound)
            WriteString(section, entry, defaultValue);
        return KivRTrim(defaultValue);
    }
    return KivRTrim(TextOf(type, data));
}

bool KivRegistry::WriteString(std::string_view section, std::string_view entry, std::string_view value) {
    std::string data(value.substr(0, kMaxString));
    data += '\0';
    return PutData(section, entry, data.data(), static_cast<uint32_t>(data.size()), kiv::reg::kRegSz);
}

int32_t KivRegistry::GetInt(std::string_view section, std::string_view entry, int32_t defaultValue) {
    uint32_t type = 0;
    std::string data;
    if (!GetData(section, entry, data, type)) {
        if (m_lastError == kiv::reg::kFileNotFound)
            WriteInt(section, entry, defaultValue);
        return defaultValue;
    }
    if (!IsDwordType(type))
        return 0;
    uint32_t value = 0;
    // A DWORD of the wrong size is not overwritten: its bytes are all that is known of it.
    return DwordOf(type, data, value) ? static_cast<int32_t>(value) : defaultValue;
}

bool KivRegistry::WriteInt(std::string_view section, std::string_view entry, int32_t value) {
    const std::string data = DwordBytes(static_cast<uint32_t>(value));
    return PutData(section, entry, data.data(), 4, kiv::reg::kRegDword);
}

std::vector<std::string> KivRegistry::GetSections(std::string_view section) {
    std::vector<std::string> names;
    HKey key = 0;
    if (_OpenKey(section, key) == kiv::reg::kSuccess)
        Check(Store()->SubKeyNames(key, names));
    return names;
}

std::vector<std::string> KivRegistry::GetEntries(std::string_view section) {
    std::vector<std::string> names;
    HKey key = 0;
    if (_OpenKey(section, key) == kiv::reg::kSuccess)
        Check(Store()->ValueNames(key, names));
    return names;
}

std::vector<std::pair<std::string, KivUsual>> KivRegistry::GetSection(std::string_view section) {
    std::vector<std::pair<std::string, KivUsual>> out;
    HKey key = 0;
    if (_OpenKey(section, key) != kiv::reg::kSuccess)
        return out;
    KivRegistryStore* store = Store();
    std::vector<std::string> names;
    if (!Check(store->ValueNames(key, names)))
        return out;
    for (std::string& name : names) {
        uint32_t type = 0;
        std::string data;
        // A value removed meanwhile by another process is simply not listed.
        if (!Check(store->QueryValue(key, name, type, data)))
            continue;
        if (type == kiv::reg::kRegSz || type == kiv::reg::kRegExpandSz || type == kiv::reg::kRegMultiSz) {
            out.emplace_back(std::move(name), KivRTrim(TextOf(type, data)));
        } else if (IsDwordType(type)) {
            uint32_t value = 0;
            out.emplace_back(std::move(name),
                             int64_t{DwordOf(type, data, value) ? static_cast<int32_t>(value) : 0});
        }
    }
    m_lastError = kiv::reg::kSuccess;
    return out;
}

bool KivRegistry::DeleteSection(std::string_view section) {
    const std::string path = BuildSubKey(section);
    if (path.empty())
        return Check(kiv::reg::kAccessDenied);
    KivRegistryStore* store = Store();
    return store && Check(store->DeleteTree(m_useKey, path));
}

bool KivRegistry::DeleteEntry(std::string_view section, std::string_view entry) {
    HKey key = 0;
    return _OpenKey(section, key) == kiv::reg::kSuccess && Check(Store()->DeleteValue(key, entry));
}

bool KivRegistry::DeleteEntries(std::string_view section) {
    const std::vector<std::string> names = GetEntries(section);
    if (m_lastError != kiv::reg::kSuccess)
        return false;
    HKey key = 0;
    if (_OpenKey(section, key) != kiv::reg::kSuccess)
        return false;
    KivRegistryStore* store = Store();
    for (const std::string& name : names)
        if (!Check(store->DeleteValue(key, name)) && m_lastError != kiv::reg::kFileNotFound)
            return false;
    return Check(kiv::reg::kSuccess);
}

KivRegKeyInfo KivRegistry::KeyInfo() {
    return _GetKeyInfo({});
}

KivRegKeyInfo KivRegistry::_GetKeyInfo(std::string_view section) {
    HKey key = 0;
    KivRegistryStore::KeyInfo info;
    if (_OpenKey(section, key) != kiv::reg::kSuccess || !Check(Store()->QueryInfoKey(key, info)))
        return {};
    return KivRegKeyInfo(info.subKeys, info.maxSubKeyLen, info.values, info.maxValueNameLen, info.maxValueLen,
                         info.lastWriteTime);
}

std::vector<std::string> KivRegistry::GetStringArray(std::string_view section, std::string_view entry,
                                                     const std::vector<std::string>& defaultValue) {
    uint32_t type = 0;
    std::string data;
    if (!GetData(section, entry, data, type)) {
        if (m_lastError == kiv::reg::kFileNotFound)
            WriteStringArray(section, entry, defaultValue);
        return defaultValue;
    }
    // A value of another type is left as it is rather than overwritten by a read.
    if (type != kiv::reg::kRegMultiSz)
        return defaultValue;
    std::vector<std::string> out;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\0', start);
        if (end == std::string::npos)
            end = data.size();
        if (end == start)
            break;
        out.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

bool KivRegistry::WriteStringArray(std::string_view section, std::string_view entry,
                                   const std::vector<std::string>& values) {
    std::string data;
    for (const std::string& value : values) {
        data += value;
        data += '\0';
    }
    data += '\0';
    return PutData(section, entry, data.data(), static_cast<uint32_t>(data.size()), kiv::reg::kRegMultiSz);
}

uint32_t KivRegistry::GetDataType(std::string_view section, std::string_view entry) {
    uint32_t type = 0;
    std::string data;
    return GetData(section, entry, data, type) ? type : kiv::reg::kRegNone;
}

uint32_t KivRegistry::GetDataSize(std::string_view section, std::string_view entry) {
    uint32_t type = 0;
    std::string data;
    return GetData(section, entry, data, type) ? static_cast<uint32_t>(data.size()) : 0;
}

bool KivRegistry::GetData(std::string_view section, std::string_view entry, void* buffer, uint32_t size) {
    uint32_t type = 0;
    std::string data;
    if (!GetData(section, entry, data, type))
        return false;
    if (data.size() > size)
        return Check(kMoreData);
    if (data.empty())
        return true;
    if (buffer == nullptr)
        return Check(kiv::oserror::kInvalidParameter);
    std::memcpy(buffer, data.data(), data.size());
    return true;
}

bool KivRegistry::GetData(std::string_view section, std::string_view entry, std::string& data,
                          uint32_t& type) {
    data.clear();
    type = kiv::reg::kRegNone;
    HKey key = 0;
    return _OpenKey(section, key) == kiv::reg::kSuccess && Check(Store()->QueryValue(key, entry, type, data));
}

bool KivRegistry::PutData(std::string_view section, std::string_view entry, const void* buffer, uint32_t size,
                          uint32_t type) {
    if (buffer == nullptr && size > 0)
        return Check(kiv::oserror::kInvalidParameter);
    HKey key = 0;
    if (_CreateKey(section, key) != kiv::reg::kSuccess)
        return false;
    const std::string_view data(size > 0 ? static_cast<const char*>(buffer) : "", size);
    return Check(Store()->SetValue(key, entry, type, data));
}

bool KivRegistry::KeyExist(std::string_view section) {
    HKey key = 0;
    return _OpenKey(section, key) == kiv::reg::kSuccess;
}

bool KivRegistry::EntryExist(std::string_view section, std::string_view entry) {
    uint32_t type = 0;
    std::string data;
    return GetData(section, entry, data, type);
}

bool KivRegistry::_CopyValues(HKey source, HKey target) {
    KivRegistryStore* store = Store();
    if (!store)
        return false;
    if (source == target)
        return Check(kiv::reg::kSuccess);
    std::vector<std::string> names;
    if (!Check(store->ValueNames(source, names)))
        return false;
    for (const std::string& name : names) {
        uint32_t type = 0;
        std::string data;
        if (!Check(store->QueryValue(source, name, type, data)) ||
            !Check(store->SetValue(target, name, type, data)))
            return false;
    }
    return true;
}

uint32_t KivRegistry::TargetKey(const Target& target, HKey& key) {
    if (!target.m_registry)
        return _CreateKey(target.m_section, key);
    key = 0;
    if (KivRegistryStore* store = Store())
        Check(store->CreateKey(target.m_registry->m_useKey, target.m_registry->m_subKey, key));
    return m_lastError;
}

std::pair<HKey, std::string> KivRegistry::TargetPath(const Target& target) const {
    if (target.m_registry)
        return {target.m_registry->m_useKey, target.m_registry->m_subKey};
    return {m_useKey, BuildSubKey(target.m_section)};
}

bool KivRegistry::CopyEntryTo(std::string_view section, std::string_view entry, const Target& target,
                              bool move) {
    HKey source = 0;
    if (_OpenKey(section, source) != kiv::reg::kSuccess)
        return false;
    KivRegistryStore* store = Store();
    // The copy keeps the name as the source holds it, whatever case the caller used.
    std::vector<std::string> names;
    if (!Check(store->ValueNames(source, names)))
        return false;
    std::string name(entry);
    for (const std::string& candidate : names)
        if (kiv::reg::Fold(candidate) == kiv::reg::Fold(entry))
            name = candidate;
    uint32_t type = 0;
    std::string data;
    if (!Check(store->QueryValue(source, name, type, data)))
        return false;
    HKey targetKey = 0;
    if (TargetKey(target, targetKey) != kiv::reg::kSuccess)
        return false;
    if (targetKey == source)
        return Check(kiv::reg::kSuccess);
    if (!Check(store->SetValue(targetKey, name, type, data)))
        return false;
    return !move || Check(store->DeleteValue(source, name));
}

bool KivRegistry::CopyEntriesTo(std::string_view section, const Target& target, bool move) {
    HKey source = 0;
    if (_OpenKey(section, source) != kiv::reg::kSuccess)
        return false;
    HKey targetKey = 0;
    if (TargetKey(target, targetKey) != kiv::reg::kSuccess)
        return false;
    if (targetKey == source)
        return Check(kiv::reg::kSuccess);
    KivRegistryStore* store = Store();
    std::vector<std::string> names;
    if (!Check(store->ValueNames(source, names)) || !_CopyValues(source, targetKey))
        return false;
    if (move)
        for (const std::string& name : names)
            if (!Check(store->DeleteValue(source, name)))
                return false;
    return true;
}

bool KivRegistry::CopySectionTo(std::string_view section, const Target& target, bool move) {
    KivRegistryStore* store = Store();
    if (!store)
        return false;
    const auto [targetRoot, targetPath] = TargetPath(target);
    const std::string path = BuildSubKey(section);
    return Check(move ? store->MoveTree(m_useKey, path, targetRoot, targetPath)
                      : store->CopyTree(m_useKey, path, targetRoot, targetPath));
}

bool KivRegistry::CopySectionsTo(std::string_view section, const Target& target, bool move) {
    const auto [targetRoot, targetPath] = TargetPath(target);
    const std::vector<std::string> names = GetSections(section);
    if (m_lastError != kiv::reg::kSuccess)
        return false;
    const std::string path = BuildSubKey(section);
    KivRegistryStore* store = Store();
    for (const std::string& name : names) {
        const std::string from = Join(path, name);
        const std::string to = Join(targetPath, name);
        if (!Check(move ? store->MoveTree(m_useKey, from, targetRoot, to)
                        : store->CopyTree(m_useKey, from, targetRoot, to)))
            return false;
    }
    return true;
}

bool KivRegistry::CopyEntry(std::string_view section, std::string_view entry, const Target& target) {
    return CopyEntryTo(section, entry, target, false);
}

bool KivRegistry::CopyEntries(std::string_view section, const Target& target) {
    return CopyEntriesTo(section, target, false);
}

bool KivRegistry::CopySection(std::string_view section, const Target& target) {
    return CopySectionTo(section, target, false);
}

bool KivRegistry::CopySections(std::string_view section, const Target& target) {
    return CopySectionsTo(section, target, false);
}

bool KivRegistry::MoveEntry(std::string_view section, std::string_view entry, const Target& target) {
    return CopyEntryTo(section, entry, target, true);
}

bool KivRegistry::MoveEntries(std::string_view section, const Target& target) {
    return CopyEntriesTo(section, target, true);
}

bool KivRegistry::MoveSection(std::string_view section, const Target& target) {
    return CopySectionTo(section, target, true);
}

bool KivRegistry::MoveSections(std::string_view section, const Target& target) {
    return CopySectionsTo(section, target, true);
}

std::shared_ptr<KivRegistry> KivRegistry::CloneSelf() const {
    return std::make_shared<KivRegistry>(m_subKey, m_useKey);
}

std::shared_ptr<KivRegistry> KivRegistry::CreateSubKeyObject(std::string_view section) const {
    return std::make_shared<KivRegistry>(BuildSubKey(section), m_useKey);
}

std::string KivRegistry::MoveDownTo(std::string_view section) {
    std::string trimmed = KivAllTrim(section);
    if (!trimmed.empty() && trimmed.front() == '\\')
        trimmed.erase(0, 1);
    if (!trimmed.empty())
        SubKey(m_subKey + "\\" + trimmed);
    return m_subKey;
}

std::string KivRegistry::MoveUpTo(int count) {
    if (count <= KeyLevel())
        for (int i = 0; i < count; ++i)
            m_subKey = KivPathUp(m_subKey);
    return m_subKey;
}

bool KivRegistry::SaveKey(std::string_view section, std::string_view fileName) {
    HKey key = 0;
    if (_OpenKey(section, key) != kiv::reg::kSuccess)
        return false;
    std::string bytes;
    if (!Check(Store()->SaveKeyToBytes(key, bytes)))
        return false;
    return Check(WriteReplacing(KivFileSpec(fileName), [&](const ExportSink& sink) { return sink(bytes); }));
}

bool KivRegistry::RestoreKey(std::string_view section, std::string_view fileName) {
    fs::path host;
    if (!Check(HostOf(KivFileSpec(fileName).FullPath(), host)))
        return false;
    HKey key = 0;
    return _CreateKey(section, key) == kiv::reg::kSuccess && Check(Store()->RestoreKey(key, host));
}

bool KivRegistry::ReplaceKey(std::string_view section, std::string_view newFileName,
                             std::string_view oldFileName) {
    fs::path newHost, oldHost;
    if (!Check(HostOf(KivFileSpec(newFileName).FullPath(), newHost)))
        return false;
    const bool temporary = oldFileName.empty();
    const std::string oldDos = temporary ? KivGetTempFile("Kiv") : KivFileSpec(oldFileName).FullPath();
    if (!Check(HostOf(oldDos, oldHost)))
        return false;
    HKey key = 0;
    bool ok =
        _CreateKey(section, key) == kiv::reg::kSuccess && Check(Store()->ReplaceKey(key, newHost, oldHost));
    if (temporary) {
        std::error_code ec;
        fs::remove(oldHost, ec);
    }
    return ok;
}

std::string KivRegistry::_ExportEntryToString(std::string_view section, std::string_view entry) {
    uint32_t type = 0;
    std::string data;
    std::string line;
    if (GetData(section, entry, data, type))
        AppendEntryLine(line, entry, type, data);
    return line;
}

bool KivRegistry::_ExportSectionToFile(std::string_view section, KivFileBin& file) {
    HKey key = 0;
    if (_OpenKey(section, key) != kiv::reg::kSuccess)
        return false;
    KivRegistryStore* store = Store();
    std::vector<std::string> names;
    if (!Check(store->ValueNames(key, names)))
        return false;
    std::string block;
    AppendBlockStart(block, UseKeyString(), BuildSubKey(section));
    for (const std::string& name : names) {
        uint32_t type = 0;
        std::string data;
        if (store->QueryValue(key, name, type, data) == kiv::reg::kSuccess)
            AppendEntryLine(block, name, type, data);
        block += "\r\n";
    }
    block += "\r\n";
    return Check(WriteResult(file, file.Write(block), block.size()));
}

// The whole subtree is read in one store transaction and written from that snapshot: the file
// shows the key as it was at one moment even while the IDE writes to it, and ten thousand
// values cost one read instead of one each.
bool KivRegistry::ExportTree(const std::string& section, const ExportSink& sink) {
    HKey key = 0;
    if (_OpenKey(section, key) != kiv::reg::kSuccess)
        return false;
    std::string bytes;
    if (!Check(Store()->SaveKeyToBytes(key, bytes)))
        return false;
    KivRegSaveFile::Tree tree;
    std::string reason;
    if (!KivRegSaveFile::Decode(bytes, tree, reason))
        return Check(kiv::reg::kRegistryCorrupt);
    bytes = std::string();

    constexpr size_t kFlushAt = 64 * 1024;
    const std::string root = UseKeyString();
    // The key path of the last record seen at each depth; records come parent first.
    std::vector<std::string> paths;
    std::string out;
    for (const KivRegSaveFile::Key& record : tree) {
        paths.resize(record.depth + 1);
        paths[record.depth] =
            record.depth == 0 ? BuildSubKey(section) : Join(paths[record.depth - 1], record.name);
        AppendBlockStart(out, root, paths[record.depth]);
        for (const KivRegSaveFile::Value& value : record.values) {
            AppendEntryLine(out, value.name, value.type, value.data);
            out += "\r\n";
        }
        out += "\r\n";
        if (out.size() >= kFlushAt) {
            if (!Check(sink(out)))
                return false;
            out.clear();
        }
    }
    return Check(sink(out));
}

bool KivRegistry::ExportNewFile(std::string_view section, const KivFileSpec& fileSpec) {
    if (!KeyExist(section))
        return false;
    const std::string start(section);
    return Check(WriteReplacing(fileSpec, [&](const ExportSink& sink) {
        if (uint32_t code = sink("REGEDIT4\r\n\r\n"))
            return code;
        ExportTree(start, sink);
        return m_lastError;
    }));
}

bool KivRegistry::ExportToFile(std::string_view section, std::string_view fileName) {
    return ExportNewFile(section, KivFileSpec(fileName));
}

bool KivRegistry::ExportToFile(std::string_view section, const KivFileSpec& fileSpec) {
    return ExportNewFile(section, fileSpec);
}

bool KivRegistry::ExportToFile(std::string_view section, KivFileBin& file) {
    if (!file.IsOpen())
        return ExportNewFile(section, file.FileSpec());
    return ExportTree(std::string(section), [&](std::string_view bytes) {
        return WriteResult(file, file.Write(bytes), bytes.size());
    });
}
