#include "repository/KivVOProject.h"

#include "engine/KivEngine.h"
#include "repository/KivRepoUtil.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVORepository.h"

#include <algorithm>

using kiv::repo::Engine;
using kiv::repo::TextBuffer;

KivVOProject::KivVOProject() {
    m_name = KivVORepository::Create(false)->CurrentProjectName();
}

KivVOProject::KivVOProject(std::string name) : KivIDEBaseObject(std::move(name)) {}

std::shared_ptr<KivVOProject> KivVOProject::Self() {
    if (std::shared_ptr<KivVOProject> self = weak_from_this().lock())
        return self;
    return std::make_shared<KivVOProject>(*this);
}

std::shared_ptr<KivVOApplication> KivVOProject::Application(uint16_t appId) {
    return appId != 0 ? std::make_shared<KivVOApplication>(Self(), appId) : nullptr;
}

std::string KivVOProject::ApplicationName(uint16_t appId) {
    if (appId == 0)
        return {};
    TextBuffer buffer(256);
    Engine().AppQueryName(appId, buffer.Data(), buffer.Capacity());
    return buffer.Text();
}

std::shared_ptr<KivVOApplication> KivVOProject::ApplicationFind(const std::string& name) {
    _CheckActive();
    uint16_t appId = 0;
    SetStatus(Engine().AppFind(name.c_str(), &appId), "Error AppFind");
    return Application(appId);
}

std::vector<std::shared_ptr<KivVOApplication>> KivVOProject::ApplicationList() {
    std::vector<std::shared_ptr<KivVOApplication>> applications;
    for (auto app = FirstApplication(); app && Success(); app = NextApplication())
        applications.push_back(app);
    KivSortByName(applications);
    return applications;
}

std::vector<std::string> KivVOProject::ApplicationNameList() {
    std::vector<std::string> names;
    for (std::string name = FirstApplicationName(); !name.empty() && Success(); name = NextApplicationName())
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

std::string KivVOProject::Description() const {
    TextBuffer buffer(100);
    SetStatus(Engine().PrjQueryDescription(m_name.c_str(), buffer.Data(), buffer.Capacity(), 0),
              "Error PrjQueryDescription");
    return buffer.Text();
}

std::string KivVOProject::Dir() const {
    TextBuffer buffer(100);
    SetStatus(Engine().PrjQueryDir(m_name.c_str(), buffer.Data(), buffer.Capacity(), 0), "Error PrjQueryDir");
    return buffer.Text();
}

std::shared_ptr<KivVOApplication> KivVOProject::FirstApplication() {
    _CheckActive();
    uint16_t appId = 0;
    SetStatus(Engine().AdamGetFirstApp(&appId), "Error AdamGetFirstApp");
    return Application(appId);
}

std::string KivVOProject::FirstApplicationName() {
    _CheckActive();
    uint16_t appId = 0;
    SetStatus(Engine().AdamGetFirstApp(&appId), "Error AdamGetFirstApp");
    return ApplicationName(appId);
}

bool KivVOProject::Selected() const {
    TextBuffer buffer(100);
    SetStatus(Engine().AdamQueryCurrentPrjName(buffer.Data(), buffer.Capacity()), "Error PrjSelect");
    return buffer.Text() == m_name;
}

bool KivVOProject::Selected(bool select) {
    if (select) {
        SetStatus(Engine().PrjSelect(m_name.c_str()), "Error PrjSelect");
    } else if (std::shared_ptr<KivVORepository> repository = KivGetRepoObject()) {
        repository->CurrentProjectName(repository->DefaultProjectName());
    }
    return select;
}

std::string KivVOProject::Keywords() const {
    TextBuffer buffer(100);
    SetStatus(Engine().PrjQueryKeywords(m_name.c_str(), buffer.Data(), buffer.Capacity(), 0),
              "Error PrjQueryKeywords");
    return buffer.Text();
}

std::string KivVOProject::Keywords(const std::string& keywords) {
    // The IDE reports a failed write under the query's name; scripts match that text.
    SetStatus(Engine().PrjSetKeywords(m_name.c_str(), keywords.c_str(), 0), "Error PrjQueryKeywords");
    return keywords;
}

bool KivVOProject::Locked() const {
    uint32_t locked = 0;
    SetStatus(Engine().PrjQueryLock(m_name.c_str(), &locked, 0), "Error PrjQueryLock");
    return locked != 0;
}

std::shared_ptr<KivVOApplication> KivVOProject::NextApplication() {
    _CheckActive();
    uint16_t appId = 0;
    SetStatus(Engine().AdamGetNextApp(&appId), "Error AdamGetNextApp");
    return Application(appId);
}

std::string KivVOProject::NextApplicationName() {
    _CheckActive();
    uint16_t appId = 0;
    SetStatus(Engine().AdamGetNextApp(&appId), "Error AdamGetNextApp");
    return ApplicationName(appId);
}

std::shared_ptr<KivVOApplication> KivVOProject::ApplicationCreate(const std::string& name) {
    _CheckActive();
    uint16_t appId = 0;
    SetStatus(Engine().AppCreate(name.c_str(), &appId), "Error AppCreate");
    return Application(appId);
}

bool KivVOProject::ApplicationNameDelete(const std::string& name) {
    std::shared_ptr<KivVOApplication> application = ApplicationFind(name);
    return application ? ApplicationDelete(application) : false;
}

bool KivVOProject::ApplicationDelete(const std::shared_ptr<KivVOApplication>& application) {
    _CheckActive();
    if (!application)
        return false;
    SetStatus(Engine().AppDeleteAID(application->ID()), "Error AppDeleteAID");
    return Success();
}

bool KivVOProject::ImportApplication(const std::string& applicationName, const std::string& aefFile,
                                     uint32_t replace, uint32_t reserved) {
    _CheckActive();
    uint32_t appId = 0;
    uint32_t modules = 0;
    SetStatus(
        Engine().AdamImportApp(aefFile.c_str(), applicationName.c_str(), replace, reserved, &appId, &modules),
        "Error AdamImportApp");
    return Success();
}

bool KivVOProject::ExportApplication(const std::string& applicationName, const std::string& fileName) {
    std::shared_ptr<KivVOApplication> application = ApplicationFind(applicationName);
    return application ? application->ExportToAEF(fileName) : false;
}

void KivVOProject::_CheckActive() {
    if (!Selected())
        Selected(true);
}
