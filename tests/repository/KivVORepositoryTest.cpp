#include "KivRepositoryFixture.h"

#include "engine/KivCurrentEngine.h"
#include "engine/KivEngineStatus.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string CurrentProjectOnDisk() {
    KivSqliteEngine engine;
    uint32_t created = 0;
    if (engine.AdamInit(0, &created) != 0)
        return "(cannot open)";
    char name[100] = {};
    engine.AdamQueryCurrentPrjName(name, sizeof name);
    return name;
}

// An engine whose catalogue is empty: the first project name is already the end.
class EmptyCatalogueEngine : public KivFaultEngine {
public:
    using KivFaultEngine::KivFaultEngine;
    uint32_t PrjGetFirst(uint32_t handle, char* buffer, size_t capacity) override {
        KivFaultEngine::PrjGetFirst(handle, buffer, capacity);
        buffer[0] = '\0';
        return 0;
    }
};

} // namespace

// Start and end of the engine-owning object, without a session in place beforehand.
class KivRepositoryLifecycleTest : public KivTestHome {
protected:
    std::shared_ptr<KivFaultEngine> NewEngine() {
        return std::make_shared<KivFaultEngine>(std::make_shared<KivSqliteEngine>());
    }
};

TEST_F(KivRepositoryLifecycleTest, StartRegistersTheOwnerAndTheEndRestoresTheDefaultProjectOnce) {
    auto engine = NewEngine();
    {
        KivRepositorySession session(engine);
        ASSERT_TRUE(session.Success());
        auto repo = session.Repository();
        EXPECT_EQ(KivGetRepoObject(), repo);
        EXPECT_TRUE(repo->OwnsEngine());
        EXPECT_EQ(repo->DefaultProjectName(), "Default");
        EXPECT_EQ(repo->Name().rfind("Kiv Repository Engine", 0), 0u) << repo->Name();
        EXPECT_EQ(repo->Name(), repo->Version());

        // A second owner neither opens the engine again nor takes the registration.
        auto second = KivVORepository::Create(true);
        EXPECT_FALSE(second->OwnsEngine());
        EXPECT_TRUE(second->Success());
        EXPECT_EQ(KivGetRepoObject(), repo);
        second.reset();
        EXPECT_EQ(engine->Calls("AdamInit"), 1u);
        EXPECT_EQ(engine->Calls("AdamExit"), 0u);

        ASSERT_TRUE(repo->ProjectCreate("Other", ScratchDos("other")));
        EXPECT_EQ(repo->CurrentProjectName("Other"), "Other");
        engine->ResetCalls();
        KivFreeRepoObject();
        EXPECT_EQ(KivGetRepoObject(), nullptr);
        repo->Destroy();
        EXPECT_EQ(engine->Calls("PrjSelect"), 1u);
        EXPECT_EQ(engine->Calls("AdamExit"), 1u);
    }
    EXPECT_EQ(engine->TotalCalls(), engine->Calls("PrjSelect") + engine->Calls("AdamExit"));
    EXPECT_EQ(engine->Calls("AdamExit"), 1u) << "the session's end finds the object destroyed";
    EXPECT_EQ(CurrentProjectOnDisk(), "Default");
}

TEST_F(KivRepositoryLifecycleTest, FailedStartIsNotRegisteredAndNeverClosesTheEngine) {
    auto engine = NewEngine();
    engine->FailOn("AdamInit", kiv::engine::kAlreadyOpen);
    {
        KivRepositorySession session(engine);
        EXPECT_FALSE(session.Success());
        EXPECT_EQ(session.Repository()->ErrorString(), "Error AdamInit");
        EXPECT_EQ(session.Repository()->ErrorCode(), kiv::engine::kAlreadyOpen);
        EXPECT_EQ(KivGetRepoObject(), nullptr);
        EXPECT_EQ(engine->Calls("AdamGetVersion"), 0u);
    }
    EXPECT_EQ(engine->Calls("AdamExit"), 0u);
    EXPECT_EQ(engine->Calls("PrjSelect"), 0u);
}

TEST_F(KivRepositoryLifecycleTest, ANonOwningInstanceNeverTouchesTheSession) {
    auto engine = NewEngine();
    KivRepositorySession session(engine);
    ASSERT_TRUE(session.Success());
    engine->ResetCalls();
    {
        auto reader = KivVORepository::Create(false);
        EXPECT_EQ(reader->DefaultProjectName(), "Default");
        reader->CurrentProjectName("Default");
    }
    EXPECT_EQ(engine->Calls("AdamInit"), 0u);
    EXPECT_EQ(engine->Calls("AdamExit"), 0u);
    EXPECT_EQ(engine->Calls("PrjSelect"), 1u) << "only the explicit selection";
}

namespace {

std::shared_ptr<KivFaultEngine> g_exitEngine;
std::filesystem::path g_exitRoot;

// Registered before the repository's own handler, so it runs after it.
void ReportAfterExit() {
    std::fprintf(stderr, "AdamExit=%u PrjSelect=%u current=%s\n", g_exitEngine->Calls("AdamExit"),
                 g_exitEngine->Calls("PrjSelect"), CurrentProjectOnDisk().c_str());
    std::error_code ec;
    std::filesystem::remove_all(g_exitRoot, ec);
}

} // namespace

TEST_F(KivRepositoryLifecycleTest, ProcessExitRestoresTheDefaultProjectAndClosesTheEngineOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            g_exitRoot = Home().parent_path();
            g_exitEngine = NewEngine();
            std::atexit(ReportAfterExit);
            KivSetEngine(g_exitEngine);
            auto repo = KivVORepository::Create(true);
            repo->ProjectCreate("Other", ScratchDos("other"));
            repo->CurrentProjectName("Other");
            g_exitEngine->ResetCalls();
            repo.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "AdamExit=1 PrjSelect=1 current=Default");
}

TEST_F(KivRepositoryTest, CatalogueWalkOpensAndClosesOneEnumeration) {
    ASSERT_TRUE(Repo().ProjectCreate("beta", ScratchDos("b")));
    ASSERT_TRUE(Repo().ProjectCreate("Alpha", ScratchDos("a")));
    Fault().ResetCalls();
    EXPECT_EQ(Repo().ProjectNameList(), (std::vector<std::string>{"Alpha", "Default", "beta"}));
    EXPECT_FALSE(Repo().Enumerating());
    EXPECT_EQ(Fault().Calls("PrjCatCreateEnum"), 1u);
    EXPECT_EQ(Fault().Calls("PrjCatDestroyEnum"), 1u);

    auto projects = Repo().ProjectList();
    ASSERT_EQ(projects.size(), 3u);
    EXPECT_EQ(projects[0]->Name(), "Alpha");
    EXPECT_EQ(projects[2]->Name(), "beta");

    // A walk left early keeps its enumeration until the object is destroyed.
    EXPECT_FALSE(Repo().FirstProjectName().empty());
    EXPECT_TRUE(Repo().Enumerating());
    const uint32_t handle = Repo().Enumerator();
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(Repo().Enumerator(), handle);
    Fault().ResetCalls();
    KivFreeRepoObject();
    EXPECT_EQ(Fault().Calls("PrjCatDestroyEnum"), 1u);
}

TEST_F(KivRepositoryTest, EmptyCatalogueGivesNoNamesAndClosesTheEnumeration) {
    auto engine = std::make_shared<EmptyCatalogueEngine>(m_store);
    KivScopedEngine scoped(engine);
    EXPECT_TRUE(Repo().ProjectNameList().empty());
    EXPECT_TRUE(Repo().Success());
    EXPECT_FALSE(Repo().Enumerating());
    EXPECT_EQ(engine->Calls("PrjCatDestroyEnum"), 1u);
    EXPECT_TRUE(Repo().ProjectList().empty());
}

TEST_F(KivRepositoryTest, ProjectFindIgnoresCaseButNotTheRestOfTheName) {
    ASSERT_TRUE(Repo().ProjectCreate("Sales2024", ScratchDos("s")));
    auto found = Repo().ProjectFind("SALES2024");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Name(), "SALES2024") << "the name as given";
    EXPECT_FALSE(Repo().ProjectFind("Sales"));
    EXPECT_FALSE(Repo().ProjectFind("Sales20245"));

    // The found project re-selects itself before each step of its walk: the walk goes on.
    ASSERT_TRUE(Repo().ProjectCreate("shop", ScratchDos("shop")));
    auto shop = Repo().ProjectFind("shop");
    for (const char* name : {"Stock", "Billing", "Ledger"})
        ASSERT_TRUE(shop->ApplicationCreate(name)) << name;
    auto upper = Repo().ProjectFind("SHOP");
    EXPECT_EQ(upper->ApplicationNameList(), (std::vector<std::string>{"Billing", "Ledger", "Stock"}));
    EXPECT_EQ(upper->ApplicationList().size(), 3u);
    EXPECT_TRUE(upper->Success());
}

TEST_F(KivRepositoryTest, ProjectsAreCreatedRemovedAndDeleted) {
    auto created = Repo().ProjectCreate("Temp", ScratchDos("temp"));
    ASSERT_TRUE(created);
    EXPECT_EQ(created->Name(), "Temp");
    EXPECT_EQ(created->Dir(), ScratchDos("temp"));
    EXPECT_FALSE(Repo().ProjectCreate("temp", ScratchDos("temp2")));
    EXPECT_EQ(Repo().ErrorString(), "Error PrjCreate");

    EXPECT_TRUE(Repo().ProjectNameRemove("TEMP"));
    EXPECT_FALSE(Repo().ProjectFind("Temp"));
    EXPECT_TRUE(std::filesystem::exists(Scratch() / "temp" / "kivproject.db")) << "removing keeps the data";

    ASSERT_TRUE(Repo().ProjectCreate("Temp", ScratchDos("temp")));
    EXPECT_TRUE(Repo().ProjectDelete(Repo().ProjectFind("Temp")));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "temp" / "kivproject.db"));

    Fault().ResetCalls();
    EXPECT_FALSE(Repo().ProjectNameDelete("Nowhere"));
    EXPECT_FALSE(Repo().ProjectNameRemove("Nowhere"));
    EXPECT_FALSE(Repo().ProjectDelete(nullptr));
    EXPECT_EQ(Fault().Calls("PrjDelete") + Fault().Calls("PrjRemove"), 0u);
}

TEST_F(KivRepositoryTest, CurrentProjectFollowsSelection) {
    ASSERT_TRUE(Repo().ProjectCreate("Other", ScratchDos("o")));
    EXPECT_EQ(Repo().CurrentProject(std::make_shared<KivVOProject>("other"))->Name(), "other");
    EXPECT_EQ(Repo().CurrentProjectName(), "Other");
    EXPECT_EQ(Repo().CurrentProject()->Name(), "Other");
    EXPECT_EQ(Repo().CurrentProjectName("Nowhere"), "");
    EXPECT_EQ(Repo().ErrorString(), "Error PrjSelect");
    EXPECT_EQ(Repo().CurrentProjectName(), "Other");
    EXPECT_EQ(Repo().DefaultProjectName(), "Default");
}
