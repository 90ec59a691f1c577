#include "repository/KivVOApplication.h"

#include "engine/KivEngine.h"
#include "repository/KivRepoUtil.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"

#include <algorithm>

using kiv::repo::Engine;
using kiv::repo::TextBuffer;

namespace {

// Rewrites an ordered engine list to equal `wanted`: entries of `old` missing from `wanted` are
// deleted, entries of `wanted` missing from `old` are added, then every entry of `wanted` is
// moved to its position (counted from 0).
template <class T, class Same, class Delete, class Add, class Move>
void RewriteList(const std::vector<T>& old, const std::vector<T>& wanted, Same same, Delete remove, Add add,
                 Move move) {
    auto contains = [&](const std::vector<T>& list, const T& item) {
        return std::any_of(list.begin(), list.end(), [&](const T& entry) { return same(entry, item); });
    };
    for (const T& entry : old)
        if (!contains(wanted, entry))
            remove(entry);
    for (const T& entry : wanted)
        if (!contains(old, entry))
            add(entry);
    for (size_t i = 0; i < wanted.size(); ++i)
        move(wanted[i], static_cast<uint32_t>(i));
}

bool SameText(const std::string& a, const std::string& b) {
    return a == b;
}

} // namespace

KivVOApplication::KivVOApplication(uint16_t id) : m_owner(std::make_shared<KivVOProject>()) {
    SetId(id);
}

KivVOApplication::KivVOApplication(const std::string& projectName, uint16_t id)
    : m_owner(std::make_shared<KivVOProject>(projectName)) {
    m_owner->Selected(true);
    SetId(id);
}

KivVOApplication::KivVOApplication(std::shared_ptr<KivVOProject> owner, uint16_t id)
    : m_owner(owner ? std::move(owner) : std::make_shared<KivVOProject>()) {
    SetId(id);
}

void KivVOApplication::SetId(uint16_t id) {
    m_id = id;
    if (m_id == 0)
        return;
    TextBuffer buffer(256);
    SetStatus(Engine().AppQueryName(m_id, buffer.Data(), buffer.Capacity()), "Error AppQueryName");
    if (Success())
        m_name = buffer.Text();
    else
        m_id = 0;
}

std::shared_ptr<KivVOApplication> KivVOApplication::Self() const {
    if (auto self = weak_from_this().lock())
        return std::const_pointer_cast<KivVOApplication>(self);
    return std::make_shared<KivVOApplication>(*this);
}

std::shared_ptr<KivVOModule> KivVOApplication::Module(uint32_t modId) const {
    return modId != 0 ? std::make_shared<KivVOModule>(Self(), modId) : nullptr;
}

std::string KivVOApplication::ModuleName(uint32_t modId) const {
    if (modId == 0)
        return {};
    TextBuffer buffer(256);
    SetStatus(Engine().ModQueryName(modId, buffer.Data(), buffer.Capacity()), "Error ModQueryName");
    return buffer.Text();
}

std::string KivVOApplication::LibraryName(uint16_t libId) const {
    if (libId == 0)
        return {};
    TextBuffer buffer(256);
    SetStatus(Engine().AppQueryName(libId, buffer.Data(), buffer.Capacity()), "Error AppQueryName");
    return buffer.Text();
}

bool KivVOApplication::ExportModule(const std::string& moduleName, const std::string& fileName) {
    std::shared_ptr<KivModuleAbstract> module = ModuleFind(moduleName);
    return module ? module->ExportModule(fileName) : false;
}

std::shared_ptr<KivModuleAbstract> KivVOApplication::ModuleFind(const std::string& moduleName) {
    uint32_t modId = 0;
    SetStatus(Engine().ModFind(m_id, moduleName.c_str(), &modId), "Error ModFind");
    return Module(modId);
}

KivDate KivVOApplication::CreateDate() const {
    const uint32_t seconds = CreateUnixTime();
    return kiv::repo::MomentDate(Success(), seconds);
}

std::string KivVOApplication::CreateTime() const {
    const uint32_t seconds = CreateUnixTime();
    return kiv::repo::MomentTime(Success(), seconds);
}

bool KivVOApplication::IsValid() const {
    return m_id != 0;
}

KivDate KivVOApplication::LastBuildDate() const {
    const uint32_t seconds = LastBuildUnixTime();
    return kiv::repo::MomentDate(Success(), seconds);
}

std::string KivVOApplication::LastBuildTime() const {
    const uint32_t seconds = LastBuildUnixTime();
    return kiv::repo::MomentTime(Success(), seconds);
}

std::vector<std::shared_ptr<KivModuleAbstract>> KivVOApplication::ModuleList() const {
    std::vector<std::shared_ptr<KivModuleAbstract>> modules;
    for (auto module = FirstModule(); module && Success(); module = NextModule())
        modules.push_back(module);
    KivSortByName(modules);
    return modules;
}

std::vector<std::string> KivVOApplication::ModuleNameList() const {
    std::vector<std::string> names;
    for (std::string name = FirstModuleName(); !name.empty() && Success(); name = NextModuleName())
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

uint32_t KivVOApplication::ModuleCount() const {
    uint32_t count = 0;
    SetStatus(Engine().AppQueryNumModules(m_id, &count), "Error AppQueryNumModules");
    return count;
}

std::string KivVOApplication::FullPath() const {
    TextBuffer buffer(260);
    SetStatus(Engine().AppQueryExpName(m_id, buffer.Data(), buffer.Capacity()), "Error AppQueryExpName");
    return buffer.Text();
}

std::string KivVOApplication::FullPath(const std::string& path) {
    SetStatus(Engine().AppSetExpName(m_id, path.c_str()), "Error AppSetExpName");
    return path;
}

std::string KivVOApplication::ExeName() const {
    TextBuffer buffer(260);
    SetStatus(Engine().AppQueryExeName(m_id, buffer.Data(), buffer.Capacity()), "Error AppQueryExeName");
    return buffer.Text();
}

std::string KivVOApplication::ExeName(const std::string& name) {
    SetStatus(Engine().AppSetExeName(m_id, name.c_str()), "Error AppSetExeName");
    return name;
}

std::vector<std::string> KivVOApplication::LibraryNameList() const {
    std::vector<std::string> names;
    for (std::string name = FirstLibraryName(); !name.empty() && Success(); name = NextLibraryName())
        names.push_back(name);
    return names;
}

std::vector<std::string> KivVOApplication::UDCNameList() const {
    std::vector<std::string> names;
    for (std::string name = FirstUDCName(); !name.empty() && Success(); name = NextUDCName())
        names.push_back(name);
    return names;
}

std::string KivVOApplication::Description() const {
    KivRecordHandle record = 0;
    uint32_t length = 0;
    SetStatus(Engine().AppQueryDescription(m_id, &record, &length), "Error AppQueryDescription");
    if (!Success())
        return {};
    std::string bytes;
    SetStatus(Engine().RecGet(record, length, &bytes), "Error RecGet");
    if (!Success())
        return {};
    return bytes;
}

std::string KivVOApplication::Description(const std::string& description) {
    SetStatus(Engine().AppSetDescription(m_id, description.c_str()), "Error AppSetDescription");
    return description;
}

bool KivVOApplication::IsDLL() const {
    uint32_t library = 0;
    uint32_t dll = 0;
    SetStatus(Engine().AppQueryLib(m_id, &library, &dll), "Error AppQueryLib");
    return dll != 0;
}

bool KivVOApplication::IsLibrary() const {
    uint32_t library = 0;
    uint32_t dll = 0;
    SetStatus(Engine().AppQueryLib(m_id, &library, &dll), "Error AppQueryLib");
    return library != 0;
}

uint32_t KivVOApplication::CreateUnixTime() const {
    uint32_t seconds = 0;
    const uint32_t status = Engine().AppQueryCreateTime(m_id, &seconds);
    SetStatus(status, "Error AppQueryCreateTime");
    return kiv::repo::LocalMoment(status, seconds);
}

uint32_t KivVOApplication::LastBuildUnixTime() const {
    uint32_t seconds = 0;
    const uint32_t status = Engine().AppQueryTime(m_id, &seconds);
    SetStatus(status, "Error AppQueryTime");
    return kiv::repo::LocalMoment(status, seconds);
}

std::shared_ptr<KivVOModule> KivVOApplication::FirstModule() const {
    uint32_t modId = 0;
    SetStatus(Engine().AppGetFirstModule(m_id, &modId), "Error AppGetFirstModule");
    return Module(modId);
}

std::shared_ptr<KivVOModule> KivVOApplication::NextModule() const {
    uint32_t modId = 0;
    SetStatus(Engine().AppGetNextModule(&modId), "Error AppGetNextModule");
    return Module(modId);
}

std::string KivVOApplication::FirstModuleName() const {
    uint32_t modId = 0;
    // The IDE reports this walk's first step under the application walk's name.
    SetStatus(Engine().AppGetFirstModule(m_id, &modId), "Error AdamGetFirstApp");
    return ModuleName(modId);
}

std::string KivVOApplication::NextModuleName() const {
    uint32_t modId = 0;
    SetStatus(Engine().AppGetNextModule(&modId), "Error AppGetNextModule");
    return ModuleName(modId);
}

uint16_t KivVOApplication::ID() const {
    return m_id;
}

bool KivVOApplication::IsSystemLibrary() const {
    uint32_t flag = 0;
    SetStatus(Engine().AppQuerySysLib(m_id, &flag), "Error AppQuerySysLib");
    return flag != 0;
}

std::shared_ptr<KivVOProject> KivVOApplication::Owner() const {
    return m_owner;
}

std::string KivVOApplication::GroupName() const {
    TextBuffer buffer(260);
    SetStatus(Engine().AppQueryGroupName(m_id, buffer.Data(), buffer.Capacity()), "Error AppQueryGroupName");
    return buffer.Text();
}

std::string KivVOApplication::GroupName(const std::string& name) {
    SetStatus(Engine().AppSetGroupName(m_id, name.c_str()), "Error AppSetGroupName");
    return name;
}

bool KivVOApplication::Debug() const {
    uint32_t debug = 0;
    SetStatus(Engine().AppQueryDebug(m_id, &debug), "Error AppQueryDebug");
    return debug == 1;
}

bool KivVOApplication::Debug(bool debug) {
    SetStatus(Engine().AppSetDebug(m_id, debug ? 1 : 0, 0), "Error AppSetDebug");
    return debug;
}

std::shared_ptr<KivVOApplication> KivVOApplication::FirstLibrary() const {
    uint16_t libId = 0;
    SetStatus(Engine().AppSPathGetFirst(m_id, &libId), "Error AppSPathGetFirst");
    return libId != 0 ? std::make_shared<KivVOApplication>(libId) : nullptr;
}

std::shared_ptr<KivVOApplication> KivVOApplication::NextLibrary() const {
    uint16_t libId = 0;
    SetStatus(Engine().AppSPathGetNext(&libId), "Error AppSPathGetNext");
    return libId != 0 ? std::make_shared<KivVOApplication>(libId) : nullptr;
}

std::string KivVOApplication::FirstLibraryName() const {
    uint16_t libId = 0;
    SetStatus(Engine().AppSPathGetFirst(m_id, &libId), "Error AppSPathGetFirst");
    return LibraryName(libId);
}

std::string KivVOApplication::NextLibraryName() const {
    uint16_t libId = 0;
    SetStatus(Engine().AppSPathGetNext(&libId), "Error AppSPathGetNext");
    return LibraryName(libId);
}

std::vector<std::shared_ptr<KivVOApplication>> KivVOApplication::LibraryList() const {
    std::vector<std::shared_ptr<KivVOApplication>> libraries;
    for (auto library = FirstLibrary(); library && Success(); library = NextLibrary())
        libraries.push_back(library);
    return libraries;
}

std::vector<std::shared_ptr<KivVOApplication>>
KivVOApplication::LibraryList(const std::vector<std::shared_ptr<KivVOApplication>>& libraries) {
    using Library = std::shared_ptr<KivVOApplication>;
    KivEngine& engine = Engine();
    RewriteList<Library>(
        LibraryList(), libraries, [](const Library& a, const Library& b) { return a == b; },
        [&](const Library& library) {
            if (library)
                engine.AppDelSPath(m_id, library->ID());
        },
        [&](const Library& library) {
            if (library)
                engine.AppAddSPath(m_id, library->ID());
        },
        [&](const Library& library, uint32_t position) {
            if (library)
                engine.AppMoveSPath(m_id, library->ID(), position);
        });
    return libraries;
}

std::vector<std::string> KivVOApplication::LibraryNameList(const std::vector<std::string>& names) {
    KivEngine& engine = Engine();
    auto libraryId = [&](const std::string& name) -> uint16_t {
        std::shared_ptr<KivVOApplication> library = m_owner->ApplicationFind(name);
        return library ? library->ID() : 0;
    };
    RewriteList<std::string>(
        LibraryNameList(), names, SameText,
        [&](const std::string& name) {
            if (uint16_t libId = libraryId(name))
                engine.AppDelSPath(m_id, libId);
        },
        [&](const std::string& name) {
            if (uint16_t libId = libraryId(name))
                engine.AppAddSPath(m_id, libId);
        },
        [&](const std::string& name, uint32_t position) {
            if (uint16_t libId = libraryId(name))
                engine.AppMoveSPath(m_id, libId, position);
        });
    return names;
}

std::string KivVOApplication::FirstUDCName() const {
    TextBuffer buffer(256);
    SetStatus(Engine().AppUDCGetFirst(m_id, buffer.Data(), buffer.Capacity()), "Error AppUDCGetFirst");
    return buffer.Text();
}

std::string KivVOApplication::NextUDCName() const {
    TextBuffer buffer(256);
    SetStatus(Engine().AppUDCGetNext(buffer.Data(), buffer.Capacity()), "Error AppUDCGetNext");
    return buffer.Text();
}

std::vector<std::string> KivVOApplication::UDCNameList(const std::vector<std::string>& names) {
    KivEngine& engine = Engine();
    RewriteList<std::string>(
        UDCNameList(), names, SameText,
        [&](const std::string& name) { engine.AppDelUDC(m_id, name.c_str()); },
        [&](const std::string& name) { engine.AppAddUDC(m_id, name.c_str()); },
        [&](const std::string& name, uint32_t position) { engine.AppMoveUDC(m_id, name.c_str(), position); });
    return names;
}

std::string KivVOApplication::FirstCHName() const {
    TextBuffer buffer(260);
    SetStatus(Engine().AppCHGetFirst(m_id, buffer.Data(), buffer.Capacity()), "Error AppCHGetFirst");
    return buffer.Text();
}

std::string KivVOApplication::NextCHName() const {
    TextBuffer buffer(256);
    SetStatus(Engine().AppCHGetNext(buffer.Data(), buffer.Capacity()), "Error AppCHGetNext");
    return buffer.Text();
}

std::vector<std::string> KivVOApplication::CHNameList() const {
    std::vector<std::string> names;
    for (std::string name = FirstCHName(); !name.empty() && Success(); name = NextCHName())
        names.push_back(name);
    return names;
}

std::vector<std::string> KivVOApplication::CHNameList(const std::vector<std::string>& names) {
    KivEngine& engine = Engine();
    RewriteList<std::string>(
        CHNameList(), names, SameText, [&](const std::string& name) { engine.AppDelCH(m_id, name.c_str()); },
        [&](const std::string& name) { engine.AppAddCH(m_id, name.c_str()); },
        [&](const std::string& name, uint32_t position) { engine.AppMoveCH(m_id, name.c_str(), position); });
    return names;
}

std::shared_ptr<KivVOModule> KivVOApplication::ModuleCreate(const std::string& name) {
    uint32_t modId = 0;
    SetStatus(Engine().ModCreate(m_id, name.c_str(), &modId), "Error ModCreate");
    return Module(modId);
}

bool KivVOApplication::ExportToAEF(const std::string& fileName) {
    uint32_t modules = 0;
    SetStatus(Engine().AdamExportApp(fileName.c_str(), m_id, 0, &modules), "Error AdamExportApp");
    return Success();
}

std::shared_ptr<KivVOModule> KivVOApplication::ImportModule(const std::string& fileName,
                                                            const std::string& moduleName, uint32_t replace,
                                                            uint32_t bind) {
    uint32_t entities = 0;
    uint32_t modId = 0;
    SetStatus(
        Engine().AdamImportMod(fileName.c_str(), moduleName.c_str(), m_id, &entities, replace, bind, &modId),
        "Error AdamImportMod");
    return Success() ? Module(modId) : nullptr;
}

bool KivVOApplication::ModuleDelete(const std::shared_ptr<KivVOModule>& module) {
    if (!module)
        return false;
    SetStatus(Engine().ModDelete(module->ID(), 1), "Error ModDelete");
    return Success();
}

bool KivVOApplication::ModuleNameDelete(const std::string& name) {
    std::shared_ptr<KivModuleAbstract> module = ModuleFind(name);
    return module ? ModuleDelete(std::static_pointer_cast<KivVOModule>(module)) : false;
}

bool KivVOApplication::Flush() {
    SetStatus(Engine().AdamSecurePath(m_id), "Error AdamSecurePath");
    return Success();
}

bool KivVOApplication::ExportToAEF_DLL(const std::string& fileName) {
    uint32_t modules = 0;
    SetStatus(Engine().AdamExportApp(fileName.c_str(), m_id, 1, &modules), "Error AdamExportApp");
    return Success();
}
