#pragma once

#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"
#include "common/KivFaultEngine.h"
#include "engine/KivSqliteEngine.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <memory>
#include <string>
#include <vector>

struct KivTestModule {
    std::string name;
    std::vector<KivTestEntity> entities;
    uint32_t created = 1000000000;
    uint32_t built = 1100000000;
};

// A started repository per test: the SQLite engine in the test's own platform home, seen through
// a KivFaultEngine so that a test can count calls and make any operation fail.
class KivRepositoryTest : public KivTestHome {
protected:
    void SetUp() override;
    void TearDown() override;

    KivFaultEngine& Fault() { return *m_fault; }
    // The engine underneath, for what the model has no operation for.
    KivSqliteEngine& Store() { return *m_store; }
    KivVORepository& Repo() { return *m_session->Repository(); }

    // Imports an application with these modules into the current project.
    std::shared_ptr<KivVOApplication> Import(const std::string& appName,
                                             const std::vector<KivTestModule>& modules);
    // The entities of a module in list order, as repository entities.
    std::vector<std::shared_ptr<KivVOEntity>> Entities(const KivVOModule& module);

    std::shared_ptr<KivSqliteEngine> m_store;
    std::shared_ptr<KivFaultEngine> m_fault;
    std::unique_ptr<KivRepositorySession> m_session;
};
