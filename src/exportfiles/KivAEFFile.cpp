#include "exportfiles/KivAEFFile.h"

#include "exportfiles/KivExportTags.h"
#include "exportfiles/KivExportVersion.h"
#include "exportfiles/KivMEFFile.h"
#include "exportfiles/KivRecordDamageText.h"
#include "support/KivDateTime.h"
#include "support/KivMappedFile.h"
#include "support/KivRecordStream.h"

#include <algorithm>
#include <optional>

KivAEFFile::KivAEFFile(const std::string& fileName) {
    auto file = std::make_shared<KivMappedFile>(fileName);
    if (!file->Open())
        return;
    KivRecordReader reader(file->View());
    KivRecord header;
    if (!reader.Next(header) || header.tag != kiv::tag::kHeader ||
        header.data.size() != kiv::tag::kAefHeaderSize)
        return;
    m_version = KivExportVersion(KivRecordU16(header.data, 0));
    if (m_version.empty()) {
        SetStatus(kVersionError, "Invalid AEF File version");
        return;
    }
    m_file = std::move(file);
    m_success = true;
    m_valid = true;
    Scan();
    m_fullPath = fileName;
}

KivAEFFile::~KivAEFFile() {
    KivAEFFile::Close();
}

bool KivAEFFile::Success() const {
    return m_success;
}

void KivAEFFile::Close() {
    m_file.reset();
    m_success = false;
}

void KivAEFFile::Scan() {
    m_modules.clear();
    m_libraries.clear();
    m_udcs.clear();
    if (!m_file)
        return;
    const std::string_view view = m_file->View();
    KivRecordReader reader(view);
    // What each module says of itself is gathered in the same walk, so listing the modules reads
    // nothing again.
    std::optional<Module> current;
    KivModuleNameRule names;
    KivRecord record;
    while (reader.Next(record)) {
        const std::string_view data = record.data;
        if (record.tag == kiv::tag::kModuleName) {
            names.Take(KivRecordText(data), record.offset);
            if (current && !current->entry.first.empty())
                m_modules.push_back(std::move(*current));
            current.emplace(Module{{std::string(KivRecordText(data)), record.offset}, KivModuleRecords()});
        }
        if (current)
            current->records.Take(record);
        switch (record.tag) {
        case kiv::tag::kAppName:
            m_name = KivRecordText(data);
            break;
        case kiv::tag::kLibrary:
            m_libraries.emplace_back(KivRecordText(data));
            break;
        case kiv::tag::kUdc:
            m_udcs.emplace_back(std::string(KivRecordText(data)), record.offset);
            break;
        case kiv::tag::kLibraryFlag:
            if (KivRecordByte(data, 0) != 0)
                m_appType = 'L';
            break;
        case kiv::tag::kDllFlag:
            if (KivRecordByte(data, 0) != 0)
                m_appType = 'D';
            break;
        case kiv::tag::kExeName:
            m_exeName = KivRecordText(data);
            break;
        case kiv::tag::kDescription:
            m_description = KivRecordText(data);
            break;
        case kiv::tag::kAppInfo:
            if (KivRecordByte(data, kiv::tag::kAppInfoDll) != 0)
                m_appType = 'D';
            else if (KivRecordByte(data, kiv::tag::kAppInfoLibrary) != 0)
                m_appType = 'L';
            m_lastBuild = KivRecordU32(data, kiv::tag::kAppInfoBuilt);
            m_created = KivRecordU32(data, kiv::tag::kAppInfoCreated);
            break;
        default:
            break;
        }
    }
    if (reader.Damage() != KivRecordDamage::None && current)
        current->records.SetDamage(reader.Damage(), reader.Offset());
    if (current && !current->entry.first.empty())
        m_modules.push_back(std::move(*current));
    if (reader.Damage() != KivRecordDamage::None) {
        m_success = false;
        SetStatus(kDamaged, KivRecordDamageText("AEF file", reader.Damage(), reader.Offset()));
    } else if (!names.Fault().empty()) {
        // Every module stays listed that has a name; the file as a whole cannot be imported.
        m_success = false;
        SetStatus(kDamaged, "Damaged AEF file: " + names.Fault());
    }
}

void KivAEFFile::SortByName() {
    std::stable_sort(m_modules.begin(), m_modules.end(),
                     [](const Module& a, const Module& b) { return a.entry.first < b.entry.first; });
}

std::shared_ptr<KivModuleAbstract> KivAEFFile::ModuleFind(const std::string& moduleName) {
    if (!m_file)
        return nullptr;
    for (const Module& module : m_modules)
        if (module.entry.first == moduleName)
            return std::make_shared<KivMEFFile>(m_file, module.entry.second, module.records);
    return nullptr;
}

bool KivAEFFile::ExportModule(const std::string& moduleName, const std::string& fileName) {
    if (!m_file || fileName.empty())
        return false;
    for (const Module& module : m_modules)
        if (module.entry.first == moduleName)
            return KivMEFFile(m_file, module.entry.second, module.records).ExportModule(fileName);
    return false;
}

KivDate KivAEFFile::CreateDate() const {
    return KivUnixTimeToDateTime(m_created).first;
}

std::string KivAEFFile::CreateTime() const {
    return KivUnixTimeToDateTime(m_created).second;
}

bool KivAEFFile::IsValid() const {
    return m_valid;
}

KivDate KivAEFFile::LastBuildDate() const {
    return KivUnixTimeToDateTime(m_lastBuild).first;
}

std::string KivAEFFile::LastBuildTime() const {
    return KivUnixTimeToDateTime(m_lastBuild).second;
}

std::vector<std::shared_ptr<KivModuleAbstract>> KivAEFFile::ModuleList() const {
    std::vector<std::shared_ptr<KivModuleAbstract>> list;
    if (!m_file)
        return list;
    list.reserve(m_modules.size());
    for (const Module& module : m_modules)
        list.push_back(std::make_shared<KivMEFFile>(m_file, module.entry.second, module.records));
    return list;
}

std::vector<std::string> KivAEFFile::ModuleNameList() const {
    std::vector<std::string> names;
    names.reserve(m_modules.size());
    for (const Module& module : m_modules)
        names.push_back(module.entry.first);
    return names;
}

uint32_t KivAEFFile::ModuleCount() const {
    return m_file ? static_cast<uint32_t>(m_modules.size()) : 0;
}

std::string KivAEFFile::FullPath() const {
    return m_fullPath;
}

std::string KivAEFFile::FullPath(const std::string& path) {
    m_fullPath = path;
    return m_fullPath;
}

std::string KivAEFFile::ExeName() const {
    return m_exeName;
}

std::vector<std::string> KivAEFFile::LibraryNameList() const {
    return m_libraries;
}

std::vector<std::string> KivAEFFile::UDCNameList() const {
    std::vector<std::string> names;
    for (const auto& entry : m_udcs)
        names.push_back(entry.first);
    return names;
}

std::string KivAEFFile::Description() const {
    return m_description;
}

bool KivAEFFile::IsDLL() const {
    return m_appType == 'D';
}

bool KivAEFFile::IsLibrary() const {
    return m_appType == 'L';
}

bool KivAEFFile::Cut() const {
    return m_file && m_file->ViewCut();
}
