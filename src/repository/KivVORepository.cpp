#include "repository/KivVORepository.h"

#include "engine/KivEngine.h"
#include "repository/KivRepoUtil.h"
#include "repository/KivVOProject.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <cstdlib>

using kiv::repo::Engine;
using kiv::repo::TextBuffer;

namespace {

std::shared_ptr<KivVORepository>& Registered() {
    static std::shared_ptr<KivVORepository> repository;
    return repository;
}

void FreeAtExit() {
    KivFreeRepoObject();
}

} // namespace

std::shared_ptr<KivVORepository> KivGetRepoObject() {
    return Registered();
}

void KivRegisterRepoObject(std::shared_ptr<KivVORepository> repository) {
    static bool handlerRegistered = false;
    // The handler runs before the statics built ahead of its registration are destroyed: the
    // reference and the engine must be among them.
    Registered() = std::move(repository);
    kiv::repo::Engine();
    if (!handlerRegistered) {
        handlerRegistered = true;
        std::atexit(FreeAtExit);
    }
}

void KivFreeRepoObject() {
    // Take the reference first: Destroy may run code that asks for the registered object.
    std::shared_ptr<KivVORepository> repository = std::move(Registered());
    Registered().reset();
    if (repository)
        repository->Destroy();
}

std::shared_ptr<KivVORepository> KivVORepository::Create(bool ownsEngine) {
    auto repository = std::make_shared<KivVORepository>(Key(), ownsEngine);
    if (repository->m_ownsEngine && repository->Success())
        KivRegisterRepoObject(repository);
    return repository;
}

KivVORepository::KivVORepository(Key, bool ownsEngine) {
    if (KivGetRepoObject())
        ownsEngine = false;
    m_ownsEngine = ownsEngine;
    if (m_ownsEngine) {
        uint32_t created = 0;
        const uint32_t status = Engine().AdamInit(0, &created);
        SetStatus(status, "Error AdamInit");
        m_engineOpen = status == 0;
    } else {
        SetStatus(0, {});
    }
    if (Success()) {
        m_name = Version();
        m_defaultProjectName = CurrentProjectName();
    }
}

KivVORepository::~KivVORepository() {
    Destroy();
}

uint32_t KivVORepository::_CatCreateEnum() {
    uint32_t handle = 0;
    const uint32_t status = Engine().PrjCatCreateEnum(0, 0, &handle);
    SetStatus(status, "Error PrjCatCreateEnum");
    m_catalogueHandle = status == 0 ? handle : 0;
    return m_catalogueHandle;
}

void KivVORepository::_CatDestroyEnum() {
    SetStatus(Engine().PrjCatDestroyEnum(m_catalogueHandle), "Error PrjCatDestroyEnum");
    m_catalogueHandle = 0;
}

std::shared_ptr<KivVOProject> KivVORepository::CurrentProject() const {
    return std::make_shared<KivVOProject>(CurrentProjectName());
}

std::shared_ptr<KivVOProject> KivVORepository::CurrentProject(std::shared_ptr<KivVOProject> project) {
    if (project)
        CurrentProjectName(project->Name());
    return project;
}

std::string KivVORepository::CurrentProjectName() const {
    TextBuffer buffer(100);
    SetStatus(Engine().AdamQueryCurrentPrjName(buffer.Data(), buffer.Capacity()), "Error PrjSelect");
    return buffer.Text();
}

std::string KivVORepository::CurrentProjectName(const std::string& name) {
    SetStatus(Engine().PrjSelect(name.c_str()), "Error PrjSelect");
    return Success() ? name : std::string();
}

void KivVORepository::Destroy() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    if (m_catalogueHandle != 0)
        _CatDestroyEnum();
    if (m_ownsEngine && m_engineOpen) {
        CurrentProjectName(m_defaultProjectName);
        m_engineOpen = false;
        SetStatus(Engine().AdamExit(), ErrorString());
    }
}

bool KivVORepository::Enumerating() const {
    return m_catalogueHandle != 0;
}

uint32_t KivVORepository::Enumerator() {
    if (m_catalogueHandle == 0)
        _CatCreateEnum();
    return m_catalogueHandle;
}

std::shared_ptr<KivVOProject> KivVORepository::FirstProject() {
    return std::make_shared<KivVOProject>(FirstProjectName());
}

std::string KivVORepository::FirstProjectName() {
    TextBuffer buffer(100);
    const uint32_t handle = Enumerator();
    SetStatus(Engine().PrjGetFirst(handle, buffer.Data(), buffer.Capacity()), "Error PrjGetFirst");
    std::string name = buffer.Text();
    if (Success() && name.empty())
        _CatDestroyEnum();
    return name;
}

std::shared_ptr<KivVOProject> KivVORepository::NextProject() {
    return std::make_shared<KivVOProject>(NextProjectName());
}

std::string KivVORepository::NextProjectName() {
    TextBuffer buffer(100);
    const uint32_t handle = Enumerator();
    SetStatus(Engine().PrjGetNext(handle, buffer.Data(), buffer.Capacity()), "Error PrjGetNext");
    std::string name = buffer.Text();
    if (Success() && name.empty())
        _CatDestroyEnum();
    return name;
}

std::vector<std::string> KivVORepository::ProjectNameList() {
    std::vector<std::string> names;
    for (std::string name = FirstProjectName(); !name.empty() && Success(); name = NextProjectName())
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::shared_ptr<KivVOProject>> KivVORepository::ProjectList() {
    const std::vector<std::string> names = ProjectNameList();
    std::vector<std::shared_ptr<KivVOProject>> projects;
    if (!Success())
        return projects;
    for (const std::string& name : names)
        projects.push_back(std::make_shared<KivVOProject>(name));
    return projects;
}

std::string KivVORepository::Version() const {
    TextBuffer buffer(100);
    SetStatus(Engine().AdamGetVersion(buffer.Data(), buffer.Capacity()), "Error AdamGetVersion");
    return buffer.Text();
}

std::string KivVORepository::DefaultProjectName() const {
    return m_defaultProjectName;
}

void KivVORepository::DefaultProjectName(const std::string& name) {
    m_defaultProjectName = name;
}

std::shared_ptr<KivVOProject> KivVORepository::ProjectFind(const std::string& name) {
    const std::string wanted = KivUpper(name);
    for (const std::string& entry : ProjectNameList())
        if (KivUpper(entry) == wanted)
            return std::make_shared<KivVOProject>(name);
    return nullptr;
}

std::shared_ptr<KivVOProject> KivVORepository::ProjectCreate(const std::string& name,
                                                             const std::string& directory) {
    SetStatus(Engine().PrjCreate(name.c_str(), directory.c_str(), 0), "Error PrjCreate");
    return Success() ? std::make_shared<KivVOProject>(name) : nullptr;
}

bool KivVORepository::ProjectDelete(const std::shared_ptr<KivVOProject>& project) {
    if (!project)
        return false;
    SetStatus(Engine().PrjDelete(project->Name().c_str(), 0), "Error PrjDelete");
    return Success();
}

bool KivVORepository::ProjectNameDelete(const std::string& name) {
    std::shared_ptr<KivVOProject> project = ProjectFind(name);
    return project ? ProjectDelete(project) : false;
}

bool KivVORepository::ProjectRemove(const std::shared_ptr<KivVOProject>& project) {
    if (!project)
        return false;
    SetStatus(Engine().PrjRemove(project->Name().c_str(), 0), "Error PrjRemove");
    return Success();
}

bool KivVORepository::ProjectNameRemove(const std::string& name) {
    std::shared_ptr<KivVOProject> project = ProjectFind(name);
    return project ? ProjectRemove(project) : false;
}
