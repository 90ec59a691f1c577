#pragma once

#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"
#include "common/KivFaultEngine.h"
#include "repository/KivRepositorySession.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

class KivSqliteEngine;
class KivVOApplication;

// The SQLite engine seen through a fault engine that can also hide modules and entities, make
// modules external and applications system libraries: states an AEF import cannot give.
class KivShapingEngine final : public KivFaultEngine {
public:
    using KivFaultEngine::KivFaultEngine;

    std::set<uint32_t> hiddenModules;
    std::set<uint32_t> hiddenEntities;
    std::set<uint32_t> externalModules;
    std::set<uint16_t> systemLibraries;

    uint32_t ModQueryAppearance(uint32_t modId, uint32_t* visible) override;
    uint32_t EntQueryAppearance(uint32_t entId, uint32_t* visible) override;
    uint32_t ModQueryExtern(uint32_t modId, char* buffer, size_t capacity) override;
    uint32_t AppQuerySysLib(uint16_t appId, uint32_t* isSystemLibrary) override;
};

struct KivTestApp {
    std::string name;
    bool library = false;
    bool dll = false;
    // Module names with their entities.
    std::vector<std::pair<std::string, std::vector<KivTestEntity>>> modules;
};

// A started repository in the test's own platform home, to be filled through the model before the
// explorer is made.
class RepoExplorerTest : public KivTestHome {
protected:
    void SetUp() override;
    void TearDown() override;

    KivShapingEngine& Engine() { return *m_engine; }
    KivVORepository& Repo() { return *m_session->Repository(); }

    // Creates the project when it is missing and imports the application into it.
    std::shared_ptr<KivVOApplication> Import(const std::string& project, const KivTestApp& app);
    // The engine ID of a module of an application, 0 when there is none.
    uint32_t ModuleId(const std::string& project, const std::string& app, const std::string& module);

    std::shared_ptr<KivSqliteEngine> m_store;
    std::shared_ptr<KivShapingEngine> m_engine;
    std::unique_ptr<KivRepositorySession> m_session;
};

// An entity with the usual times, of engine type 3 unless told.
KivTestEntity KivEntity(const std::string& name, const std::string& prototype, const std::string& source,
                        uint16_t type = 3);
