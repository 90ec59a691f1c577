#include "exportfiles/KivMEFFile.h"

#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivExportTags.h"
#include "exportfiles/KivExportVersion.h"
#include "exportfiles/KivModuleRecords.h"
#include "exportfiles/KivPRGFile.h"
#include "exportfiles/KivRecordDamageText.h"
#include "exportfiles/KivWriteFileAtomic.h"
#include "support/KivDateTime.h"
#include "support/KivMappedFile.h"
#include "support/KivRecordStream.h"
#include "support/KivStringUtil.h"

#include <algorithm>

namespace {

constexpr std::string_view kMefHeaderText{"CA-VO Module Export File\0", 25};
constexpr size_t kMefHeaderRecord = kKivRecordHeadSize + kiv::tag::kMefHeaderSize;

} // namespace

KivMEFFile::KivMEFFile(const std::string& fileName) {
    m_fullPath = fileName;
    auto file = std::make_shared<KivMappedFile>(fileName);
    if (!file->Open())
        return;
    const std::string_view view = file->View();
    KivRecordReader reader(view);
    KivRecord header;
    if (!reader.Next(header) || header.tag != kiv::tag::kHeader ||
        header.data.size() != kiv::tag::kMefHeaderSize) {
        SetStatus(kStructureError, "Invalid MEF File STRUCTURE");
        return;
    }
    m_version = KivExportVersion(KivRecordU16(header.data, 0));
    if (m_version.empty())
        return;
    m_file = std::move(file);
    m_ownFile = true;
    m_base = 0;
    Start(nullptr);
}

KivMEFFile::KivMEFFile(std::shared_ptr<const KivMappedFile> aef, size_t offset)
    : m_file(std::move(aef)), m_base(offset) {
    if (m_file)
        Start(nullptr);
}

KivMEFFile::KivMEFFile(std::shared_ptr<const KivMappedFile> aef, size_t offset,
                       const KivModuleRecords& records)
    : m_file(std::move(aef)), m_base(offset) {
    if (m_file)
        Start(&records);
}

KivMEFFile::~KivMEFFile() {
    KivMEFFile::Close();
}

void KivMEFFile::Start(const KivModuleRecords* records) {
    m_success = true;
    m_isMEF = true;
    if (records)
        Apply(*records);
    else
        Scan();
    if (IsExternal()) {
        // The source stored in the module, not the file on disk, which may have changed since.
        m_prg = std::make_shared<KivPRGFile>(m_externalFile, std::string(m_externalSource));
        m_entities = m_prg->EntityList();
    }
}

std::string_view KivMEFFile::Stream() const {
    return m_file ? m_file->View() : std::string_view{};
}

bool KivMEFFile::Success() const {
    return m_success;
}

void KivMEFFile::Close() {
    m_file.reset();
    m_externalSource = {};
    m_success = false;
}

void KivMEFFile::Scan() {
    m_entities.clear();
    m_entityCounter = 0;
    m_externalFile.clear();
    m_externalSource = {};
    const std::string_view stream = Stream();
    if (stream.empty())
        return;
    KivRecordReader reader(stream, m_base);
    auto records = std::make_shared<KivModuleRecords>(m_file);
    KivModuleNameRule names;
    bool named = false;
    std::string fault;
    KivRecord record;
    while (reader.Next(record)) {
        // The next module's name ends this one; in a MEF of its own there is no next module.
        if (record.tag == kiv::tag::kModuleName) {
            if (named) {
                if (m_ownFile)
                    fault = "a second module at offset " + std::to_string(record.offset);
                break;
            }
            named = true;
            if (m_ownFile && !names.Take(KivRecordText(record.data), record.offset))
                fault = names.Fault();
        }
        records->Take(record);
    }
    if (reader.Damage() != KivRecordDamage::None)
        records->SetDamage(reader.Damage(), reader.Offset());
    Apply(*records);
    if (!fault.empty() && records->Damage() == KivRecordDamage::None) {
        m_success = false;
        SetStatus(kDamaged, "Damaged MEF file: " + fault);
    }
}

void KivMEFFile::Apply(const KivModuleRecords& records) {
    m_name = records.Name();
    m_lastBuild = records.LastBuild();
    m_created = records.Created();
    m_externalFile = records.ExternalFile();
    m_externalSource = records.ExternalSource();
    m_entityCounter = records.EntityCounter();
    m_entities = records.Entities();
    m_success = m_entityCounter == m_entities.size();
    if (records.Damage() != KivRecordDamage::None) {
        m_success = false;
        SetStatus(kDamaged, KivRecordDamageText(m_ownFile ? "MEF file" : "module", records.Damage(),
                                                records.DamageOffset()));
    }
}

void KivMEFFile::SortByName() {
    SortEntitiesByName(m_entities);
}

std::shared_ptr<KivEntityAbstract> KivMEFFile::EntityFind(const std::string& entityName) {
    const std::string wanted = KivLower(entityName);
    for (const auto& entity : m_entities)
        if (KivLower(entity->Name()).compare(0, wanted.size(), wanted) == 0)
            return entity;
    return nullptr;
}

bool KivMEFFile::ExportModule(const std::string& fileName) {
    const std::string_view stream = Stream();
    // A damaged module file would be written out as a whole one, without what it lost.
    if (fileName.empty() || stream.empty() || ErrorCode() == kDamaged)
        return false;
    std::string out;
    KivRecordWriter writer(out);
    std::string header;
    KivRecordWriter::AppendU16(header, 0x0280);
    header.append(kMefHeaderText);
    writer.Put(kiv::tag::kHeader, header);
    KivRecordReader reader(stream, m_ownFile ? kMefHeaderRecord : m_base);
    KivRecord record;
    bool first = true;
    while (reader.Next(record)) {
        if (!first && record.tag == kiv::tag::kModuleName)
            break;
        first = false;
        writer.PutRecords(stream.substr(record.offset, record.Size()));
    }
    // A module cut short by damage has no end to copy: a file that looks whole would lie.
    if (reader.Damage() != KivRecordDamage::None)
        return false;
    writer.PutEnd();
    return KivWriteFileAtomic(fileName, out);
}

KivDate KivMEFFile::CreateDate() const {
    return KivUnixTimeToDateTime(m_created).first;
}

std::string KivMEFFile::CreateTime() const {
    return KivUnixTimeToDateTime(m_created).second;
}

std::vector<std::shared_ptr<KivEntityAbstract>> KivMEFFile::EntityList() const {
    return m_entities;
}

std::string KivMEFFile::ExternalFile() const {
    return m_externalFile;
}

std::string KivMEFFile::ExternalSource() const {
    return std::string(m_externalSource);
}

bool KivMEFFile::IsExternal() const {
    return !m_externalFile.empty();
}

bool KivMEFFile::IsMEF() const {
    return m_isMEF;
}

bool KivMEFFile::IsPRG() const {
    return false;
}

KivDate KivMEFFile::LastBuildDate() const {
    return KivUnixTimeToDateTime(m_lastBuild).first;
}

std::string KivMEFFile::LastBuildTime() const {
    return KivUnixTimeToDateTime(m_lastBuild).second;
}

std::string KivMEFFile::FullPath() const {
    return m_fullPath;
}
