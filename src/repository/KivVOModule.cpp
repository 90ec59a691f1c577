#include "repository/KivVOModule.h"

#include "engine/KivEngine.h"
#include "repository/KivRepoUtil.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOProject.h"

#include <algorithm>

using kiv::repo::Engine;
using kiv::repo::TextBuffer;

KivVOModule::KivVOModule(uint32_t id) {
    SetId(id);
}

KivVOModule::KivVOModule(const std::string& applicationName, uint32_t id)
    : m_owner(KivVOProject().ApplicationFind(applicationName)) {
    SetId(id);
}

KivVOModule::KivVOModule(std::shared_ptr<KivVOApplication> owner, uint32_t id) : m_owner(std::move(owner)) {
    SetId(id);
}

void KivVOModule::SetId(uint32_t id) {
    m_id = id;
    if (m_id == 0)
        return;
    TextBuffer buffer(256);
    SetStatus(Engine().ModQueryName(m_id, buffer.Data(), buffer.Capacity()), "Error ModQueryName");
    m_name = buffer.Text();
}

std::shared_ptr<KivVOModule> KivVOModule::Self() const {
    if (auto self = weak_from_this().lock())
        return std::const_pointer_cast<KivVOModule>(self);
    return std::make_shared<KivVOModule>(*this);
}

std::shared_ptr<KivVOEntity> KivVOModule::Entity(uint32_t entId) const {
    return entId != 0 ? std::make_shared<KivVOEntity>(Self(), entId) : nullptr;
}

std::string KivVOModule::EntityName(uint32_t entId) const {
    if (entId == 0)
        return {};
    uint32_t status = 0;
    std::string name = kiv::repo::EntityName(entId, status);
    SetStatus(status, "Error EntQueryName");
    return name;
}

bool KivVOModule::ExportModule(const std::string& fileName) {
    uint32_t entities = 0;
    // Only the status: the IDE gives this call no error text of its own.
    SetStatus(Engine().AdamExportMod(fileName.c_str(), m_id, 0, &entities), ErrorString());
    return Success();
}

std::shared_ptr<KivEntityAbstract> KivVOModule::EntityFind(const std::string& entityName) {
    return EntityFind(entityName, 0);
}

std::shared_ptr<KivVOEntity> KivVOModule::EntityFind(const std::string& entityName, uint32_t type) {
    uint32_t entId = 0;
    SetStatus(Engine().EntFind(m_id, KivSymbol(entityName), type, &entId), "Error EntFind");
    return Entity(entId);
}

KivDate KivVOModule::CreateDate() const {
    const uint32_t seconds = CreateUnixTime();
    return kiv::repo::MomentDate(Success(), seconds);
}

std::string KivVOModule::CreateTime() const {
    const uint32_t seconds = CreateUnixTime();
    return kiv::repo::MomentTime(Success(), seconds);
}

std::vector<std::shared_ptr<KivEntityAbstract>> KivVOModule::EntityList() const {
    std::vector<std::shared_ptr<KivEntityAbstract>> entities;
    for (auto entity = FirstEntity(); entity && Success(); entity = NextEntity())
        entities.push_back(entity);
    KivSortByName(entities);
    return entities;
}

std::vector<std::string> KivVOModule::EntityNameList() const {
    std::vector<std::string> names;
    for (std::string name = FirstEntityName(); !name.empty() && Success(); name = NextEntityName())
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

uint32_t KivVOModule::EntityCount() const {
    uint32_t count = 0;
    SetStatus(Engine().ModQueryNumEntities(m_id, &count), "Error ModQueryNumEntities");
    return count;
}

std::string KivVOModule::ExternalFile() const {
    TextBuffer buffer(256);
    SetStatus(Engine().ModQueryExtern(m_id, buffer.Data(), buffer.Capacity()), "Error ModQueryExtern");
    return buffer.Text();
}

std::string KivVOModule::ExternalFile(const std::string& fileName) {
    uint32_t changed = 0;
    // An empty name unbinds: the engine takes only a null file for that.
    const uint32_t status =
        Engine().ModSetExtern(m_id, fileName.empty() ? nullptr : fileName.c_str(), &changed);
    SetStatus(status, "Error ModSetExtern");
    if (status == 0)
        m_changed = changed;
    return fileName;
}

std::string KivVOModule::ExternalSource() const {
    std::string source;
    for (const auto& entity : EntityList()) {
        source += entity->Source();
        source += "\r\n";
    }
    return source;
}

bool KivVOModule::IsExternal() const {
    return !ExternalFile().empty();
}

KivDate KivVOModule::LastBuildDate() const {
    const uint32_t seconds = LastBuildUnixTime();
    return kiv::repo::MomentDate(Success(), seconds);
}

std::string KivVOModule::LastBuildTime() const {
    const uint32_t seconds = LastBuildUnixTime();
    return kiv::repo::MomentTime(Success(), seconds);
}

std::string KivVOModule::FullPath() const {
    TextBuffer buffer(260);
    SetStatus(Engine().ModQueryExpName(m_id, buffer.Data(), buffer.Capacity()), "Error ModQueryExpName");
    return buffer.Text();
}

std::string KivVOModule::FullPath(const std::string& path) {
    SetStatus(Engine().ModSetExpName(m_id, path.c_str()), "Error ModSetExpName");
    return path;
}

uint32_t KivVOModule::CreateUnixTime() const {
    uint32_t seconds = 0;
    const uint32_t status = Engine().ModQueryCreateTime(m_id, &seconds);
    SetStatus(status, "Error ModQueryCreateTime");
    return kiv::repo::LocalMoment(status, seconds);
}

std::shared_ptr<KivVOEntity> KivVOModule::FirstEntity() const {
    uint32_t entId = 0;
    SetStatus(Engine().ModGetFirstEntity(m_id, &entId), "Error ModGetFirstEntity");
    return Entity(entId);
}

std::string KivVOModule::FirstEntityName() const {
    uint32_t entId = 0;
    SetStatus(Engine().ModGetFirstEntity(m_id, &entId), "Error ModGetFirstEntity");
    return EntityName(entId);
}

uint32_t KivVOModule::ID() const {
    return m_id;
}

bool KivVOModule::IsVisible() const {
    uint32_t visible = 0;
    SetStatus(Engine().ModQueryAppearance(m_id, &visible), "Error ModQueryAppearance");
    return visible != 0;
}

uint32_t KivVOModule::LastBuildUnixTime() const {
    uint32_t seconds = 0;
    const uint32_t status = Engine().ModQueryTime(m_id, &seconds);
    SetStatus(status, "Error ModQueryTime");
    return kiv::repo::LocalMoment(status, seconds);
}

std::shared_ptr<KivVOEntity> KivVOModule::NextEntity() const {
    uint32_t entId = 0;
    SetStatus(Engine().ModGetNextEntity(&entId), "Error ModGetNextEntity");
    return Entity(entId);
}

std::string KivVOModule::NextEntityName() const {
    uint32_t entId = 0;
    SetStatus(Engine().ModGetNextEntity(&entId), "Error ModGetNextEntity");
    return EntityName(entId);
}

std::shared_ptr<KivVOApplication> KivVOModule::Owner() const {
    return m_owner;
}

std::string KivVOModule::ExportName() const {
    TextBuffer buffer(256);
    SetStatus(Engine().ModQueryExpName(m_id, buffer.Data(), buffer.Capacity()), "Error ModQueryExpName");
    return buffer.Text();
}

std::string KivVOModule::ExportName(const std::string& path) {
    SetStatus(Engine().ModSetExpName(m_id, path.c_str()), "Error ModSetExpName");
    return path;
}

uint32_t KivVOModule::DebugStatus() const {
    uint32_t debug = 0;
    SetStatus(Engine().ModQueryDebug(m_id, &debug), "Error ModQueryDebug");
    return debug;
}

uint32_t KivVOModule::DebugStatus(uint32_t status) {
    SetStatus(Engine().ModSetDebug(m_id, static_cast<uint16_t>(status), 0), "Error ModSetDebug");
    return status;
}

uint32_t KivVOModule::Changed() const {
    return m_changed;
}

bool KivVOModule::OEM() const {
    uint32_t oem = 0;
    SetStatus(Engine().ModQueryOEM(m_id, &oem), "Error ModQueryOEM");
    return oem != 0;
}

bool KivVOModule::OEM(bool oem) {
    SetStatus(Engine().ModSetOEM(m_id, oem ? 1 : 0), "Error ModSetOEM");
    return oem;
}
