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

// The entities of one listing, in list order, with the mapping their texts lie in.
struct KivMEFFile::Entities {
    std::shared_ptr<const KivMappedFile> file;
    std::vector<KivMEFEntity> entities;
    std::vector<KivEntityAbstract*> order;
};

void KivMEFFile::Start(const KivModuleRecords* records) {
    m_success = true;
    m_isMEF = true;
    if (records)
        Apply(*records);
    else
        Scan();
}

std::string_view KivMEFFile::Stream() const {
    return m_file ? m_file->View() : std::string_view{};
}

bool KivMEFFile::Cut() const {
    return m_file && m_file->ViewCut();
}

bool KivMEFFile::Success() const {
    return m_success;
}

void KivMEFFile::Close() {
    m_file.reset();
    m_externalSource = {};
    m_success = false;
}

KivModuleRecords KivMEFFile::Walk(std::vector<KivMEFEntity>* entities, std::string* fault) const {
    KivModuleRecords records(entities);
    const std::string_view stream = Stream();
    if (stream.empty())
        return records;
    KivRecordReader reader(stream, m_base);
    KivModuleNameRule names;
    bool named = false;
    KivRecord record;
    while (reader.Next(record)) {
        // The next module's name ends this one; in a MEF of its own there is no next module.
        if (record.tag == kiv::tag::kModuleName) {
            if (named) {
                if (m_ownFile && fault)
                    *fault = "a second module at offset " + std::to_string(record.offset);
                break;
            }
            named = true;
            if (m_ownFile && fault && !names.Take(KivRecordText(record.data), record.offset))
                *fault = names.Fault();
        }
        records.Take(record);
    }
    if (reader.Damage() != KivRecordDamage::None)
        records.SetDamage(reader.Damage(), reader.Offset());
    return records;
}

void KivMEFFile::Scan() {
    m_entities.reset();
    m_prg.reset();
    m_listedCount = 0;
    m_externalFile.clear();
    m_externalSource = {};
    if (Stream().empty())
        return;
    std::string fault;
    const KivModuleRecords records = Walk(nullptr, &fault);
    Apply(records);
    if (!fault.empty() && records.Damage() == KivRecordDamage::None) {
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
    m_listedCount = records.ListedCount();
    m_success = records.EntityCounter() == records.ListedCount();
    if (records.Damage() != KivRecordDamage::None) {
        m_success = false;
        SetStatus(kDamaged, KivRecordDamageText(m_ownFile ? "MEF file" : "module", records.Damage(),
                                                records.DamageOffset()));
    }
}

std::shared_ptr<KivMEFFile::Entities> KivMEFFile::HeldEntities() const {
    if (auto held = m_entities.lock())
        return held;
    auto made = std::make_shared<Entities>();
    made->file = m_file;
    made->entities.reserve(m_listedCount);
    Walk(&made->entities, nullptr);
    made->order.reserve(made->entities.size());
    for (KivMEFEntity& entity : made->entities)
        made->order.push_back(&entity);
    m_entities = made;
    if (m_sorted)
        Sort(made);
    return made;
}

std::shared_ptr<KivPRGFile> KivMEFFile::HeldPrg() const {
    if (auto held = m_prg.lock())
        return held;
    // The source stored in the module, not the file on disk, which may have changed since.
    auto made = std::make_shared<KivPRGFile>(m_externalFile, std::string(m_externalSource));
    m_prg = made;
    return made;
}

std::vector<std::shared_ptr<KivEntityAbstract>> KivMEFFile::EntityList() const {
    std::vector<std::shared_ptr<KivEntityAbstract>> list;
    if (IsExternal()) {
        if (!m_file && m_prg.expired())
            return list;
        // Each entity handed out keeps the source object, and so the whole list, alive.
        const std::shared_ptr<KivPRGFile> prg = HeldPrg();
        for (const auto& entity : prg->EntityList())
            list.emplace_back(prg, entity.get());
        return list;
    }
    if (!m_file && m_entities.expired())
        return list;
    const std::shared_ptr<Entities> held = HeldEntities();
    list.reserve(held->order.size());
    for (KivEntityAbstract* entity : held->order)
        list.emplace_back(held, entity);
    return list;
}

uint32_t KivMEFFile::EntityCount() const {
    // Counted by the walk that read the module: nothing is made to count it.
    if (IsExternal())
        return static_cast<uint32_t>(EntityList().size());
    if (const auto held = m_entities.lock())
        return static_cast<uint32_t>(held->order.size());
    return m_file ? m_listedCount : 0;
}

void KivMEFFile::SortByName() {
    m_sorted = true;
    if (auto prg = m_prg.lock())
        prg->SortByName();
    if (const auto held = m_entities.lock())
        Sort(held);
}

void KivMEFFile::Sort(const std::shared_ptr<Entities>& held) {
    std::vector<std::shared_ptr<KivEntityAbstract>> list;
    list.reserve(held->order.size());
    for (KivEntityAbstract* entity : held->order)
        list.emplace_back(held, entity);
    SortEntitiesByName(list);
    for (size_t i = 0; i < list.size(); ++i)
        held->order[i] = list[i].get();
}

std::shared_ptr<KivEntityAbstract> KivMEFFile::EntityFind(const std::string& entityName) {
    const std::string wanted = KivLower(entityName);
    for (const auto& entity : EntityList())
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
