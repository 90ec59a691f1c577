#include "RepoExplorerFixture.h"

#include "engine/KivSqliteEngine.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <algorithm>
#include <cstring>

uint32_t KivShapingEngine::ModQueryAppearance(uint32_t modId, uint32_t* visible) {
    const uint32_t status = KivFaultEngine::ModQueryAppearance(modId, visible);
    if (status == 0 && visible && hiddenModules.count(modId))
        *visible = 0;
    return status;
}

uint32_t KivShapingEngine::EntQueryAppearance(uint32_t entId, uint32_t* visible) {
    const uint32_t status = KivFaultEngine::EntQueryAppearance(entId, visible);
    if (status == 0 && visible && hiddenEntities.count(entId))
        *visible = 0;
    return status;
}

uint32_t KivShapingEngine::ModQueryExtern(uint32_t modId, char* buffer, size_t capacity) {
    const uint32_t status = KivFaultEngine::ModQueryExtern(modId, buffer, capacity);
    if (status == 0 && buffer && capacity > 16 && externalModules.count(modId))
        std::strcpy(buffer, "C:\\SRC\\EXT.PRG");
    return status;
}

uint32_t KivShapingEngine::AppQuerySysLib(uint16_t appId, uint32_t* isSystemLibrary) {
    const uint32_t status = KivFaultEngine::AppQuerySysLib(appId, isSystemLibrary);
    if (status == 0 && isSystemLibrary && systemLibraries.count(appId))
        *isSystemLibrary = 1;
    return status;
}

void RepoExplorerTest::SetUp() {
    KivTestHome::SetUp();
    m_store = std::make_shared<KivSqliteEngine>();
    m_engine = std::make_shared<KivShapingEngine>(m_store);
    m_session = std::make_unique<KivRepositorySession>(m_engine);
    ASSERT_TRUE(m_session->Success()) << Repo().ErrorString();
}

void RepoExplorerTest::TearDown() {
    m_session.reset();
    KivTestHome::TearDown();
}

std::shared_ptr<KivVOApplication> RepoExplorerTest::Import(const std::string& project,
                                                           const KivTestApp& app) {
    if (!Repo().ProjectFind(project)) {
        EXPECT_TRUE(Repo().ProjectCreate(project, ScratchDos(project))) << Repo().ErrorString();
    }
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName(app.name).AppInfo(1300000000, 1200000000, app.library, app.dll);
    for (const auto& [module, entities] : app.modules) {
        w.Module(module, 1100000000, 1000000000);
        for (const KivTestEntity& entity : entities)
            w.Entity(entity);
    }
    const std::string file = project + "_" + app.name + ".aef";
    WriteFile(Scratch() / file, w.End());
    KivVOProject prj(project);
    EXPECT_TRUE(prj.ImportApplication(app.name, ScratchDos(file), 1, 0)) << prj.ErrorString();
    return prj.ApplicationFind(app.name);
}

uint32_t RepoExplorerTest::ModuleId(const std::string& project, const std::string& app,
                                    const std::string& module) {
    auto application = KivVOProject(project).ApplicationFind(app);
    if (!application)
        return 0;
    for (const auto& entry : application->ModuleList())
        if (entry->Name() == module)
            return std::static_pointer_cast<KivVOModule>(entry)->ID();
    return 0;
}

KivTestEntity KivEntity(const std::string& name, const std::string& prototype, const std::string& source,
                        uint16_t type) {
    KivTestEntity entity;
    entity.name = name;
    entity.type = type;
    entity.prototype = prototype;
    entity.source = source;
    return entity;
}
