#include "engine/KivExportReader.h"

#include "engine/KivEngineStatus.h"
#include "exportfiles/KivExportTags.h"
#include "engine/KivRecordLayout.h"
#include "support/KivRecordStream.h"
#include "support/KivStringUtil.h"

#include <set>
#include <span>
#include <vector>

namespace {

using Records = std::span<const KivRecord>;

// The whole stream as records; false when it is damaged anywhere.
bool ReadAll(std::string_view bytes, std::vector<KivRecord>& records) {
    KivRecordReader reader(bytes);
    KivRecord record;
    while (reader.Next(record))
        records.push_back(record);
    return reader.AtEnd();
}

bool IsHeader(const std::vector<KivRecord>& records, uint32_t size) {
    if (records.empty() || records[0].tag != kiv::tag::kHeader || records[0].data.size() != size)
        return false;
    uint16_t version = KivRecordU16(records[0].data, 0);
    if ((version & 0x0080) == 0)
        return false;
    version &= static_cast<uint16_t>(~0x0080);
    return version == 0x0100 || version == 0x0200;
}

std::string Text(const KivRecord& record) {
    return std::string(KivRecordText(record.data));
}

// Entity records: name, type and block numbers, source, prototype, designer binary, display
// name, information. The first record of each kind is interpreted; a repeated one is kept raw.
void ReadEntity(Records records, KivEntityImage& entity) {
    std::set<uint16_t> seen;
    entity.type = 0;
    for (const KivRecord& r : records) {
        KivLayoutKind kind = KivLayoutKind::Slot;
        bool first = seen.insert(r.tag).second;
        switch (first ? r.tag : 0) {
        case kiv::tag::kEntityName:
            entity.name = KivUpper(KivRecordText(r.data));
            break;
        case kiv::tag::kEntityType:
            entity.type = KivRecordU16(r.data, 0);
            break;
        case kiv::tag::kBlockType:
            entity.block = KivRecordU16(r.data, 0);
            break;
        case kiv::tag::kSource:
            entity.source = std::string(r.data);
            kind = KivLayoutKind::Marker;
            break;
        case kiv::tag::kCustomData:
            entity.custom = std::string(r.data);
            kind = KivLayoutKind::Marker;
            break;
        case kiv::tag::kPrototype:
            entity.prototype = Text(r);
            break;
        case kiv::tag::kDisplayName:
            entity.display = Text(r);
            break;
        case kiv::tag::kEntityInfo:
            entity.created = KivRecordU32(r.data, kiv::tag::kEntityInfoCreated);
            entity.built = KivRecordU32(r.data, kiv::tag::kEntityInfoBuilt);
            break;
        default:
            kind = KivLayoutKind::Raw;
        }
        KivRecordLayout::Append(entity.layout, kind, r.tag,
                                kind == KivLayoutKind::Marker ? std::string_view() : r.data);
    }
}

void ReadModuleLevel(Records records, KivModuleImage& module, std::set<uint16_t>& seen, std::string& layout) {
    for (const KivRecord& r : records) {
        KivLayoutKind kind = KivLayoutKind::Slot;
        bool first = seen.insert(r.tag).second;
        switch (first ? r.tag : 0) {
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

// A module's records: the head up to the first entity, one entity from each 0x0040 record up to
// the next, and the tail. The last entity ends after its information record (and the options
// record right behind it); what follows belongs to the module.
void ReadModuleRecords(Records records, KivModuleImage& module) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].tag == kiv::tag::kEntityName)
            starts.push_back(i);
    std::set<uint16_t> seen;
    size_t headEnd = starts.empty() ? records.size() : starts.front();
    ReadModuleLevel(records.subspan(0, headEnd), module, seen, module.head);
    size_t tailStart = records.size();
    for (size_t k = 0; k < starts.size(); ++k) {
        size_t begin = starts[k];
        size_t end = records.size();
        if (k + 1 < starts.size()) {
            end = starts[k + 1];
        } else {
            for (size_t i = begin; i < records.size(); ++i) {
                if (records[i].tag == kiv::tag::kEntityInfo) {
                    end = i + 1;
                    if (end < records.size() && records[end].tag == kiv::tag::kEntityOptions)
                        ++end;
                    break;
                }
            }
            tailStart = end;
        }
        KivEntityImage entity;
        ReadEntity(records.subspan(begin, end - begin), entity);
        module.entities.push_back(std::move(entity));
    }
    ReadModuleLevel(records.subspan(tailStart), module, seen, module.tail);
}

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
    std::set<uint16_t> seen;
    for (size_t i = 0; i < records.size(); ++i) {
        const KivRecord& r = records[i];
        std::vector<KivListEntry>* list = nullptr;
        if (r.tag == kiv::tag::kLibrary)
            list = &app.libraries;
        else if (r.tag == kiv::tag::kUdc)
            list = &app.udcs;
        else if (r.tag == kiv::tag::kCh)
            list = &app.chs;
        bool first = seen.insert(r.tag).second;
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

uint32_t KivExportReader::ReadApplication(std::string_view bytes, KivApplicationImage& app) {
    std::vector<KivRecord> records;
    if (!ReadAll(bytes, records) || !IsHeader(records, kiv::tag::kAefHeaderSize))
        return kiv::engine::kBadFile;
    app = KivApplicationImage();
    Records all(records);
    size_t firstModule = 0;
    while (firstModule < all.size() && all[firstModule].tag != kiv::tag::kModuleName)
        ++firstModule;
    ReadAppLevel(bytes, all.subspan(0, firstModule), app);
    std::set<std::string> names;
    for (size_t begin = firstModule; begin < all.size();) {
        size_t end = begin + 1;
        while (end < all.size() && all[end].tag != kiv::tag::kModuleName)
            ++end;
        KivModuleImage module;
        ReadModuleRecords(all.subspan(begin, end - begin), module);
        if (module.name.empty() || !names.insert(KivUpper(module.name)).second)
            return kiv::engine::kBadFile;
        app.modules.push_back(std::move(module));
        begin = end;
    }
    return kiv::engine::kOk;
}

uint32_t KivExportReader::ReadModule(std::string_view bytes, KivModuleImage& module) {
    std::vector<KivRecord> records;
    if (!ReadAll(bytes, records) || !IsHeader(records, kiv::tag::kMefHeaderSize))
        return kiv::engine::kBadFile;
    size_t names = 0;
    for (const KivRecord& r : records)
        names += r.tag == kiv::tag::kModuleName ? 1 : 0;
    if (names > 1)
        return kiv::engine::kBadFile;
    module = KivModuleImage();
    ReadModuleRecords(Records(records).subspan(1), module);
    return module.name.empty() ? kiv::engine::kBadFile : kiv::engine::kOk;
}

bool KivExportReader::IsModuleFile(std::string_view bytes) {
    // The head alone decides: a MEF with a bad version word or cut short is a bad MEF, not text.
    return bytes.size() >= kKivRecordHeadSize && KivRecordU16(bytes, 0) == kiv::tag::kHeader &&
           KivRecordU32(bytes, 2) == kiv::tag::kMefHeaderSize;
}
