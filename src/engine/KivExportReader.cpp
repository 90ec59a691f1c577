#include "engine/KivExportReader.h"

#include "engine/KivEngineStatus.h"
#include "engine/KivRecordLayout.h"
#include "exportfiles/KivExportTags.h"
#include "support/KivRecordStream.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <set>
#include <span>
#include <vector>

namespace {

using Records = std::span<const KivRecord>;

// The tags a level has met so far: only the first record of each kind is interpreted. A level
// holds a handful of kinds, so a list beats a set and keeps its room from one entity to the next.
class SeenTags {
public:
    void Clear() { m_tags.clear(); }
    // True the first time a tag is met.
    bool First(uint16_t tag) {
        if (std::find(m_tags.begin(), m_tags.end(), tag) != m_tags.end())
            return false;
        m_tags.push_back(tag);
        return true;
    }

private:
    std::vector<uint16_t> m_tags;
};

bool IsHeader(const KivRecord& record, uint32_t size) {
    if (record.tag != kiv::tag::kHeader || record.data.size() != size)
        return false;
    uint16_t version = KivRecordU16(record.data, 0);
    if ((version & 0x0080) == 0)
        return false;
    version &= static_cast<uint16_t>(~0x0080);
    return version == 0x0100 || version == 0x0200;
}

// The whole stream is sound and starts with the header of the given size.
bool Check(std::string_view bytes, uint32_t headerSize) {
    KivRecordReader reader(bytes);
    KivRecord record;
    if (!reader.Next(record) || !IsHeader(record, headerSize))
        return false;
    while (reader.Next(record)) {
    }
    return reader.AtEnd();
}

std::string Text(const KivRecord& record) {
    return std::string(KivRecordText(record.data));
}

// Entity records: name, type and block numbers, source, prototype, designer binary, display
// name, information. The first record of each kind is interpreted; a repeated one is kept raw.
// The name (upper case) and the layout are made in `owned`; the other texts are views into the
// records' bytes.
void ReadEntity(Records records, KivEntityImage& owned, KivEntityView& entity, SeenTags& seen) {
    seen.Clear();
    entity = KivEntityView();
    entity.type = 0;
    owned.name.clear();
    owned.layout.clear();
    for (const KivRecord& r : records) {
        KivLayoutKind kind = KivLayoutKind::Slot;
        switch (seen.First(r.tag) ? r.tag : 0) {
        case kiv::tag::kEntityName:
            owned.name = KivUpper(KivRecordText(r.data));
            break;
        case kiv::tag::kEntityType:
            entity.type = KivRecordU16(r.data, 0);
            break;
        case kiv::tag::kBlockType:
            entity.block = KivRecordU16(r.data, 0);
            break;
        case kiv::tag::kSource:
            entity.source = r.data;
            kind = KivLayoutKind::Marker;
            break;
        case kiv::tag::kCustomData:
            entity.custom = r.data;
            kind = KivLayoutKind::Marker;
            break;
        case kiv::tag::kPrototype:
            entity.prototype = KivRecordText(r.data);
            break;
        case kiv::tag::kDisplayName:
            entity.display = KivRecordText(r.data);
            break;
        case kiv::tag::kEntityInfo:
            entity.created = KivRecordU32(r.data, kiv::tag::kEntityInfoCreated);
            entity.built = KivRecordU32(r.data, kiv::tag::kEntityInfoBuilt);
            break;
        default:
            kind = KivLayoutKind::Raw;
        }
        KivRecordLayout::Append(owned.layout, kind, r.tag,
                                kind == KivLayoutKind::Marker ? std::string_view() : r.data);
    }
    entity.name = owned.name;
    entity.layout = owned.layout;
}

void ReadModuleLevel(Records records, KivModuleImage& module, SeenTags& seen, std::string& layout) {
    for (const KivRecord& r : records) {
        KivLayoutKind kind = KivLayoutKind::Slot;
        switch (seen.First(r.tag) ? r.tag : 0) {
        case kiv::tag::kModuleName:
            module.name = Text(r);
            break;
        case kiv::tag::kModuleInfo:
            module.built = KivRecordU32(r.data, kiv::tag::kModuleInfoBuilt);
            module.created = KivRecordU32(r.data, kiv::tag::kModuleInfoCreated);
            break;
        case kiv::tag::kExternFile:
            module.externFile = Text(r);
            break;
        case kiv::tag::kExternSource:
            module.externSource = std::string(r.data);
            kind = KivLayoutKind::Marker;
            break;
        case kiv::tag::kModuleExpName:
            module.expName = Text(r);
            break;
        default:
            kind = KivLayoutKind::Raw;
        }
        KivRecordLayout::Append(layout, kind, r.tag,
                                kind == KivLayoutKind::Marker ? std::string_view() : r.data);
    }
}

// One module's records as they pass: the head up to the first entity, one entity from each
// 0x0040 record up to the next, and the tail. The last entity ends after its information record
// (and the options record right behind it); what follows belongs to the module. Only the records
// of the head and of the entity at hand are kept, as views into the stream.
class ModuleReader {
public:
    explicit ModuleReader(KivExportSink& sink) : m_sink(sink) {}

    void Begin(std::string_view name) {
        m_module = KivModuleImage();
        m_module.name = std::string(name);
        m_seen.Clear();
        m_records.clear();
        m_inEntities = false;
    }

    uint32_t Take(const KivRecord& record) {
        if (record.tag == kiv::tag::kEntityName) {
            if (uint32_t status = m_inEntities ? FlushEntity(m_records.size()) : FlushHead())
                return status;
            m_records.clear();
        }
        m_records.push_back(record);
        return kiv::engine::kOk;
    }

    uint32_t End() {
        if (!m_inEntities) {
            if (uint32_t status = FlushHead())
                return status;
            m_records.clear();
        } else {
            size_t end = m_records.size();
            for (size_t i = 0; i < m_records.size(); ++i) {
                if (m_records[i].tag == kiv::tag::kEntityInfo) {
                    end = i + 1;
                    if (end < m_records.size() && m_records[end].tag == kiv::tag::kEntityOptions)
                        ++end;
                    break;
                }
            }
            if (uint32_t status = FlushEntity(end))
                return status;
            ReadModuleLevel(Records(m_records).subspan(end), m_module, m_seen, m_module.tail);
        }
        return m_sink.ModuleEnd(m_module);
    }

private:
    uint32_t FlushHead() {
        ReadModuleLevel(m_records, m_module, m_seen, m_module.head);
        m_inEntities = true;
        return m_sink.ModuleBegin(m_module);
    }

    uint32_t FlushEntity(size_t end) {
        ReadEntity(Records(m_records).subspan(0, end), m_entity, m_view, m_entitySeen);
        return m_sink.Entity(m_view);
    }

    KivExportSink& m_sink;
    KivModuleImage m_module;
    KivEntityImage m_entity;
    KivEntityView m_view;
    SeenTags m_seen;
    SeenTags m_entitySeen;
    std::vector<KivRecord> m_records;
    bool m_inEntities = false;
};

bool IsAppSlot(uint16_t tag) {
    switch (tag) {
    case kiv::tag::kAppName:
    case kiv::tag::kExeName:
    case kiv::tag::kGroupName:
    case kiv::tag::kDescription:
    case kiv::tag::kLibraryFlag:
    case kiv::tag::kDllFlag:
    case kiv::tag::kAppInfo:
    case kiv::tag::kAppExpName:
    case kiv::tag::kLibrary:
    case kiv::tag::kUdc:
    case kiv::tag::kCh:
    case kiv::tag::kModuleName:
        return true;
    default:
        return false;
    }
}

// The application's records up to its first module. A list entry is its name record and the
// records up to the next interpreted one (a UDC's time stamp and content, for instance).
void ReadAppLevel(std::string_view bytes, Records records, KivApplicationImage& app) {
    SeenTags seen;
    for (size_t i = 0; i < records.size(); ++i) {
        const KivRecord& r = records[i];
        std::vector<KivListEntry>* list = nullptr;
        if (r.tag == kiv::tag::kLibrary)
            list = &app.libraries;
        else if (r.tag == kiv::tag::kUdc)
            list = &app.udcs;
        else if (r.tag == kiv::tag::kCh)
            list = &app.chs;
        bool first = seen.First(r.tag);
        if (list) {
            KivListEntry entry;
            entry.name = Text(r);
            size_t end = i + 1;
            while (end < records.size() && !IsAppSlot(records[end].tag))
                ++end;
            entry.records = std::string(
                bytes.substr(r.offset, records[end - 1].offset + records[end - 1].Size() - r.offset));
            list->push_back(std::move(entry));
            if (first)
                KivRecordLayout::Append(app.layout, KivLayoutKind::Marker, r.tag, {});
            i = end - 1;
            continue;
        }
        KivLayoutKind kind = KivLayoutKind::Slot;
        switch (first ? r.tag : 0) {
        case kiv::tag::kHeader:
            break;
        case kiv::tag::kAppName:
            app.name = Text(r);
            break;
        case kiv::tag::kExeName:
            app.exeName = Text(r);
            break;
        case kiv::tag::kGroupName:
            app.groupName = Text(r);
            break;
        case kiv::tag::kDescription:
            app.description = Text(r);
            break;
        case kiv::tag::kAppExpName:
            app.expName = Text(r);
            break;
        case kiv::tag::kLibraryFlag:
            app.library = app.library || KivRecordByte(r.data, 0) != 0;
            break;
        case kiv::tag::kDllFlag:
            app.dll = app.dll || KivRecordByte(r.data, 0) != 0;
            break;
        case kiv::tag::kAppInfo:
            app.library = app.library || KivRecordByte(r.data, kiv::tag::kAppInfoLibrary) != 0;
            app.dll = app.dll || KivRecordByte(r.data, kiv::tag::kAppInfoDll) != 0;
            app.built = KivRecordU32(r.data, kiv::tag::kAppInfoBuilt);
            app.created = KivRecordU32(r.data, kiv::tag::kAppInfoCreated);
            break;
        default:
            kind = KivLayoutKind::Raw;
        }
        KivRecordLayout::Append(app.layout, kind, r.tag, r.data);
    }
}

} // namespace

uint32_t KivExportReader::ReadApplication(std::string_view bytes, KivExportSink& sink) {
    if (!Check(bytes, kiv::tag::kAefHeaderSize))
        return kiv::engine::kBadFile;
    KivRecordReader reader(bytes);
    KivRecord record;
    std::vector<KivRecord> appRecords;
    while (reader.Next(record) && record.tag != kiv::tag::kModuleName)
        appRecords.push_back(record);
    {
        KivApplicationImage app;
        ReadAppLevel(bytes, appRecords, app);
        if (uint32_t status = sink.Application(app))
            return status;
    }
    if (reader.AtEnd())
        return kiv::engine::kOk;
    std::set<std::string> names;
    ModuleReader module(sink);
    for (;;) {
        // Here `record` is the name record that starts a module.
        std::string_view name = KivRecordText(record.data);
        if (name.empty() || !names.insert(KivUpper(name)).second)
            return kiv::engine::kBadFile;
        module.Begin(name);
        if (uint32_t status = module.Take(record))
            return status;
        bool more = false;
        while (reader.Next(record)) {
            if (record.tag == kiv::tag::kModuleName) {
                more = true;
                break;
            }
            if (uint32_t status = module.Take(record))
                return status;
        }
        if (uint32_t status = module.End())
            return status;
        if (!more)
            return kiv::engine::kOk;
    }
}

uint32_t KivExportReader::ReadModule(std::string_view bytes, KivExportSink& sink) {
    if (!Check(bytes, kiv::tag::kMefHeaderSize))
        return kiv::engine::kBadFile;
    KivRecordReader reader(bytes);
    KivRecord record;
    std::string_view name;
    size_t names = 0;
    while (reader.Next(record)) {
        if (record.tag == kiv::tag::kModuleName && names++ == 0)
            name = KivRecordText(record.data);
    }
    if (names > 1 || name.empty())
        return kiv::engine::kBadFile;
    // The name is known from the start even where its record stands after the entities.
    ModuleReader module(sink);
    module.Begin(name);
    KivRecordReader records(bytes);
    records.Next(record);
    while (records.Next(record))
        if (uint32_t status = module.Take(record))
            return status;
    return module.End();
}

bool KivExportReader::IsModuleFile(std::string_view bytes) {
    // The head alone decides: a MEF with a bad version word or cut short is a bad MEF, not text.
    return bytes.size() >= kKivRecordHeadSize && KivRecordU16(bytes, 0) == kiv::tag::kHeader &&
           KivRecordU32(bytes, 2) == kiv::tag::kMefHeaderSize;
}
