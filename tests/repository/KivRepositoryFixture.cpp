#include "KivRepositoryFixture.h"

void KivRepositoryTest::SetUp() {
    KivTestHome::SetUp();
    m_store = std::make_shared<KivSqliteEngine>();
    m_fault = std::make_shared<KivFaultEngine>(m_store);
    m_session = std::make_unique<KivRepositorySession>(m_fault);
    ASSERT_TRUE(m_session->Success()) << Repo().ErrorString();
}

void KivRepositoryTest::TearDown() {
    m_fault->HealAll();
    m_session.reset();
    KivTestHome::TearDown();
}

std::shared_ptr<KivVOApplication> KivRepositoryTest::Import(const std::string& appName,
                                                            const std::vector<KivTestModule>& modules) {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName(appName).AppInfo(1300000000, 1200000000);
    for (const KivTestModule& module : modules) {
        w.Module(module.name, module.built, module.created);
        for (const KivTestEntity& entity : module.entities)
            w.Entity(entity);
    }
    const std::string file = appName + ".aef";
    WriteFile(Scratch() / file, w.End());
    KivVOProject project;
    EXPECT_TRUE(project.ImportApplication(appName, ScratchDos(file), 1, 0)) << project.ErrorString();
    return project.ApplicationFind(appName);
}

std::vector<std::shared_ptr<KivVOEntity>> KivRepositoryTest::Entities(const KivVOModule& module) {
    std::vector<std::shared_ptr<KivVOEntity>> entities;
    for (const auto& entity : module.EntityList())
        entities.push_back(std::dynamic_pointer_cast<KivVOEntity>(entity));
    return entities;
}
