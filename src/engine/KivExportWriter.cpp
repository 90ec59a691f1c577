#include "engine/KivExportWriter.h"

#include "exportfiles/KivExportTags.h"
#include "engine/KivEngineUtil.h"
#include "engine/KivRecordLayout.h"
#include "support/KivRecordStream.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace {

namespace tag = kiv::tag;

constexpr size_t kNoSlot = static_cast<size_t>(-1);

// A level's layout read once: its items in order, the first few kept in place (an entity has
// about ten), so that an export walks each layout once and allocates nothing for it.
class LayoutItems {
public:
    explicit LayoutItems(std::string_view layout) {
        KivRecordLayout walk(layout);
        KivLayoutItem item;
        while (walk.Next(item)) {
            if (m_count < kInPlace)
                m_inPlace[m_count] = item;
            else
                m_more.push_back(item);
            ++m_count;
        }
    }
    size_t Count() const { return m_count; }
    const KivLayoutItem& operator[](size_t i) const { return i < kInPlace ? m_inPlace[i] : m_more[i - kInPlace]; }

private:
    static constexpr size_t kInPlace = 16;
    KivLayoutItem m_inPlace[kInPlace];
    std::vector<KivLayoutItem> m_more;
    size_t m_count = 0;
};

// Writes one level from its layout. Slots are listed in the order the IDE writes them; a slot the
// layout has no place for is written before the first later slot of the layout, or at the end
// of its part.
class LevelWriter {
public:
    LevelWriter(const uint16_t* tags, size_t count) : m_tags(tags), m_count(count) {}

    void NotePresent(const LayoutItems& items) {
        for (size_t i = 0; i < items.Count(); ++i)
            if (const KivLayoutItem& item = items[i]; item.kind != KivLayoutKind::Raw)
                if (size_t idx = Index(item.tag); idx != kNoSlot)
                    m_present |= 1u << idx;
    }

    // Writes the layout's items; slots outside [from, to) that are missing are left for another
    // part. Emit(slot index, original data, present) writes one slot.
    template <class Emit>
    void Write(const LayoutItems& items, size_t from, size_t to, KivRecordWriter& w, Emit&& emit) {
        for (size_t i = 0; i < items.Count(); ++i) {
            const KivLayoutItem& item = items[i];
            size_t idx = item.kind == KivLayoutKind::Raw ? kNoSlot : Index(item.tag);
            if (idx == kNoSlot) {
                if (item.kind != KivLayoutKind::Marker)
                    w.Put(item.tag, item.data);
                continue;
            }
            InsertMissing(from, std::min(idx, to), emit);
            if (!(m_emitted & (1u << idx))) {
                m_emitted |= 1u << idx;
                emit(idx, item.data, true);
            }
        }
        InsertMissing(from, to, emit);
    }

private:
    size_t Index(uint16_t t) const {
        for (size_t i = 0; i < m_count; ++i)
            if (m_tags[i] == t)
                return i;
        return kNoSlot;
    }

    template <class Emit> void InsertMissing(size_t from, size_t to, Emit& emit) {
        for (size_t j = from; j < to; ++j) {
            uint32_t bit = 1u << j;
            if (!(m_emitted & bit) && !(m_present & bit)) {
                m_emitted |= bit;
                emit(j, std::string_view(), false);
            }
        }
    }

    const uint16_t* m_tags;
    size_t m_count;
    uint32_t m_present = 0;
    uint32_t m_emitted = 0;
};

// A text record: the original while it carries the same text, else the new text. An empty text
// is written only where the record stood before and `keepEmpty` says so.
void EmitText(KivRecordWriter& w, uint16_t t, std::string_view orig, bool present, std::string_view value,
              bool keepEmpty) {
    if (present && KivRecordText(orig) == value)
        w.Put(t, orig);
    else if (!value.empty() || (present && keepEmpty))
        w.PutText(t, value);
}

void EmitU16(KivRecordWriter& w, uint16_t t, std::string_view orig, bool present, uint32_t value) {
    auto v = static_cast<uint16_t>(value);
    if (present && KivRecordU16(orig, 0) == v) {
        w.Put(t, orig);
        return;
    }
    std::string data(present ? orig : std::string_view());
    if (data.size() < 2)
        data.resize(2, '\0');
    data[0] = static_cast<char>(v & 0xFF);
    data[1] = static_cast<char>(v >> 8);
    w.Put(t, data);
}

struct Patch {
    size_t offset;
    uint32_t value;
};

// An information record: the original (or zeros of the IDE's size) with today's moments.
template <size_t N>
void EmitInfo(KivRecordWriter& w, uint16_t t, std::string_view orig, bool present, size_t size,
              const Patch (&patches)[N]) {
    bool same = present;
    for (const Patch& p : patches)
        same = same && KivRecordU32(orig, p.offset) == p.value;
    if (same) {
        w.Put(t, orig);
        return;
    }
    std::string data = present ? std::string(orig) : std::string(size, '\0');
    for (const Patch& p : patches)
        if (KivRecordU32(data, p.offset) != p.value)
            KivRecordPatchU32(data, p.offset, p.value);
    w.Put(t, data);
}

std::string FixedName(std::string_view name) {
    std::string data(name);
    data.resize(std::max<size_t>(64, name.size() + 1), '\0');
    return data;
}

std::string Header(std::string_view text) {
    std::string data;
    KivRecordWriter::AppendU16(data, 0x0280);
    data += text;
    data.push_back('\0');
    return data;
}

const uint16_t kAppSlots[] = {tag::kHeader,      tag::kAppName, tag::kExeName, tag::kGroupName,
                              tag::kDescription, tag::kLibrary, tag::kUdc,     tag::kLibraryFlag,
                              tag::kDllFlag,     tag::kAppInfo, tag::kCh,      tag::kAppExpName};
const uint16_t kModuleSlots[] = {tag::kModuleName, tag::kModuleInfo, tag::kExternFile, tag::kExternSource,
                                 tag::kModuleExpName};
constexpr size_t kModuleHeadSlots = 4;
const uint16_t kEntitySlots[] = {tag::kEntityName, tag::kEntityType, tag::kBlockType,   tag::kSource,
                                 tag::kPrototype,  tag::kCustomData, tag::kDisplayName, tag::kEntityInfo};

template <class Entity> void WriteEntityRecords(const Entity& e, KivRecordWriter& w) {
    const LayoutItems items(e.layout);
    LevelWriter level(kEntitySlots, std::size(kEntitySlots));
    level.NotePresent(items);
    level.Write(
        items, 0, std::size(kEntitySlots), w, [&](size_t idx, std::string_view orig, bool present) {
            switch (kEntitySlots[idx]) {
            case tag::kEntityName:
                if (present && KivEqualsIgnoringCase(KivRecordText(orig), e.name))
                    w.Put(tag::kEntityName, orig);
                else
                    w.PutText(tag::kEntityName, e.name);
                break;
            case tag::kEntityType:
                EmitU16(w, tag::kEntityType, orig, present, e.type);
                break;
            case tag::kBlockType:
                EmitU16(w, tag::kBlockType, orig, present, e.block);
                break;
            case tag::kSource:
                if (present || !e.source.empty())
                    w.Put(tag::kSource, e.source);
                break;
            case tag::kPrototype:
                EmitText(w, tag::kPrototype, orig, present, e.prototype, true);
                break;
            case tag::kCustomData:
                if (present || !e.custom.empty())
                    w.Put(tag::kCustomData, e.custom);
                break;
            case tag::kDisplayName:
                EmitText(w, tag::kDisplayName, orig, present, e.display, true);
                break;
            case tag::kEntityInfo:
                EmitInfo(w, tag::kEntityInfo, orig, present, tag::kEntityInfoSize,
                         {Patch{tag::kEntityInfoCreated, e.created}, Patch{tag::kEntityInfoBuilt, e.built}});
                break;
            }
        });
}

// The library and DLL flags as the application's layout carries them.
void LayoutFlags(std::string_view layout, bool& library, bool& dll) {
    library = dll = false;
    KivRecordLayout items(layout);
    KivLayoutItem item;
    while (items.Next(item)) {
        if (item.kind != KivLayoutKind::Slot)
            continue;
        if (item.tag == tag::kLibraryFlag)
            library = library || KivRecordByte(item.data, 0) != 0;
        else if (item.tag == tag::kDllFlag)
            dll = dll || KivRecordByte(item.data, 0) != 0;
        else if (item.tag == tag::kAppInfo) {
            library = library || KivRecordByte(item.data, tag::kAppInfoLibrary) != 0;
            dll = dll || KivRecordByte(item.data, tag::kAppInfoDll) != 0;
        }
    }
}

void EmitFlag(KivRecordWriter& w, uint16_t t, std::string_view orig, bool value, bool rewrite) {
    if (!rewrite) {
        w.Put(t, orig);
        return;
    }
    std::string data(orig);
    KivRecordPatchByte(data, 0, value ? 1 : 0);
    w.Put(t, data);
}

void WriteAppPart(const KivApplicationImage& app, KivRecordWriter& w) {
    bool layoutLibrary = false;
    bool layoutDll = false;
    LayoutFlags(app.layout, layoutLibrary, layoutDll);
    bool rewriteLibrary = layoutLibrary != app.library;
    bool rewriteDll = layoutDll != app.dll;

    const LayoutItems items(app.layout);
    LevelWriter level(kAppSlots, std::size(kAppSlots));
    level.NotePresent(items);
    level.Write(items, 0, std::size(kAppSlots), w, [&](size_t idx, std::string_view orig, bool present) {
        switch (kAppSlots[idx]) {
        case tag::kHeader:
            if (present)
                w.Put(tag::kHeader, orig);
            else
                w.Put(tag::kHeader, Header("CA-VO Application Export File"));
            break;
        case tag::kAppName:
            if (present && KivRecordText(orig) == app.name)
                w.Put(tag::kAppName, orig);
            else
                w.Put(tag::kAppName, FixedName(app.name));
            break;
        case tag::kExeName:
            EmitText(w, tag::kExeName, orig, present, app.exeName, true);
            break;
        case tag::kGroupName:
            EmitText(w, tag::kGroupName, orig, present, app.groupName, true);
            break;
        case tag::kDescription:
            EmitText(w, tag::kDescription, orig, present, app.description, true);
            break;
        case tag::kAppExpName:
            EmitText(w, tag::kAppExpName, orig, present, app.expName, true);
            break;
        case tag::kLibrary:
            w.PutRecords(KivJoinListEntries(app.libraries));
            break;
        case tag::kUdc:
            w.PutRecords(KivJoinListEntries(app.udcs));
            break;
        case tag::kCh:
            w.PutRecords(KivJoinListEntries(app.chs));
            break;
        case tag::kLibraryFlag:
            // Flag records are never added: the information record carries both flags.
            if (present)
                EmitFlag(w, tag::kLibraryFlag, orig, app.library, rewriteLibrary);
            break;
        case tag::kDllFlag:
            if (present)
                EmitFlag(w, tag::kDllFlag, orig, app.dll, rewriteDll);
            break;
        case tag::kAppInfo: {
            std::string data = present ? std::string(orig) : std::string(tag::kAppInfoSize, '\0');
            if (!present || rewriteLibrary)
                KivRecordPatchByte(data, tag::kAppInfoLibrary, app.library ? 1 : 0);
            if (!present || rewriteDll)
                KivRecordPatchByte(data, tag::kAppInfoDll, app.dll ? 1 : 0);
            if (KivRecordU32(data, tag::kAppInfoBuilt) != app.built)
                KivRecordPatchU32(data, tag::kAppInfoBuilt, app.built);
            if (KivRecordU32(data, tag::kAppInfoCreated) != app.created)
                KivRecordPatchU32(data, tag::kAppInfoCreated, app.created);
            w.Put(tag::kAppInfo, data);
            break;
        }
        }
    });
}

template <class Entity> bool IsCallable(const Entity& e) {
    if (e.type != tag::kTypeSource || (e.block != tag::kBlockFunction && e.block != tag::kBlockProcedure))
        return false;
    return KivUpper(KivGetToken(KivAllTrim(e.prototype), 1, " ")) != "STATIC";
}

} // namespace

uint32_t KivExportWriter::WriteModule(const KivModuleImage& module, std::string& out,
                                      const std::function<uint32_t()>& entities) {
    KivRecordWriter w(out);
    const LayoutItems head(module.head);
    const LayoutItems tail(module.tail);
    LevelWriter level(kModuleSlots, std::size(kModuleSlots));
    level.NotePresent(head);
    level.NotePresent(tail);
    auto emit = [&](size_t idx, std::string_view orig, bool present) {
        switch (kModuleSlots[idx]) {
        case tag::kModuleName:
            EmitText(w, tag::kModuleName, orig, present, module.name, true);
            break;
        case tag::kModuleInfo:
            EmitInfo(
                w, tag::kModuleInfo, orig, present, tag::kModuleInfoSize,
                {Patch{tag::kModuleInfoBuilt, module.built}, Patch{tag::kModuleInfoCreated, module.created}});
            break;
        case tag::kExternFile:
            EmitText(w, tag::kExternFile, orig, present, module.externFile, false);
            break;
        case tag::kExternSource:
            if (!module.externSource.empty() || (present && !module.externFile.empty()))
                w.Put(tag::kExternSource, module.externSource);
            break;
        case tag::kModuleExpName:
            EmitText(w, tag::kModuleExpName, orig, present, module.expName, true);
            break;
        }
    };
    level.Write(head, 0, kModuleHeadSlots, w, emit);
    if (uint32_t status = entities())
        return status;
    level.Write(tail, kModuleHeadSlots, std::size(kModuleSlots), w, emit);
    return 0;
}

void KivExportWriter::WriteEntity(const KivEntityImage& entity, std::string& out) {
    KivRecordWriter w(out);
    WriteEntityRecords(entity, w);
}

void KivExportWriter::WriteEntity(const KivEntityView& entity, std::string& out) {
    KivRecordWriter w(out);
    WriteEntityRecords(entity, w);
}

void KivExportWriter::WriteModuleFileHeader(std::string& out) {
    KivRecordWriter(out).Put(tag::kHeader, Header("CA-VO Module Export File"));
}

void KivExportWriter::WriteApplicationPart(const KivApplicationImage& app, std::string& out) {
    KivRecordWriter w(out);
    WriteAppPart(app, w);
}

void KivExportWriter::WriteEnd(std::string& out) {
    KivRecordWriter(out).PutEnd();
}

std::string KivExportWriter::DllName(const KivApplicationImage& app) {
    std::string name(kiv::engine::FileBaseName(app.exeName));
    return name.empty() ? app.name : name;
}

bool KivExportWriter::DllDeclaration(const KivEntityView& e, const std::string& dllName,
                                     KivEntityImage& declaration) {
    if (!IsCallable(e))
        return false;
    declaration = KivEntityImage();
    declaration.name = std::string(e.name);
    declaration.display = std::string(e.display);
    declaration.type = tag::kTypeDll;
    declaration.block = tag::kBlockFunction;
    declaration.created = e.created;
    declaration.built = e.built;
    std::string entry(e.display.empty() ? e.name : e.display);
    declaration.prototype = "_DLL " + KivAllTrim(e.prototype) + ":" + dllName + "." + entry;
    declaration.source = declaration.prototype + "\r\n";
    declaration.source.push_back('\0');
    return true;
}
