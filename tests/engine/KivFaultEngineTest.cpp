#include "KivEngineFixture.h"

#include "common/KivFaultEngine.h"
#include "engine/KivCurrentEngine.h"

#include <set>

using namespace kiv::engine;

class KivFaultEngineTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        m_real = std::make_shared<KivSqliteEngine>();
        m_fault = std::make_shared<KivFaultEngine>(m_real);
        ASSERT_EQ(m_fault->AdamInit(0, nullptr), 0u);
    }
    std::shared_ptr<KivSqliteEngine> m_real;
    std::shared_ptr<KivFaultEngine> m_fault;
};

TEST_F(KivFaultEngineTest, ForwardsToTheRealEngineAndCountsCalls) {
    uint16_t app = 0;
    ASSERT_EQ(m_fault->AppCreate("Through", &app), 0u);
    uint16_t found = 0;
    ASSERT_EQ(m_real->AppFind("Through", &found), 0u);
    EXPECT_EQ(found, app);
    char name[256];
    ASSERT_EQ(m_fault->AppQueryName(app, name, sizeof name), 0u);
    ASSERT_EQ(m_fault->AppQueryName(app, name, sizeof name), 0u);
    EXPECT_EQ(std::string(name), "Through");
    EXPECT_EQ(m_fault->Calls("AppQueryName"), 2u);
    EXPECT_EQ(m_fault->Calls("AppCreate"), 1u);
    EXPECT_EQ(m_fault->TotalCalls(), 4u) << "AdamInit counts too";
    m_fault->ResetCalls();
    EXPECT_EQ(m_fault->TotalCalls(), 0u);
    EXPECT_EQ(m_fault->Calls("NoSuchOperation"), 0u);
}

TEST_F(KivFaultEngineTest, ChosenOperationFailsWithTheChosenStatusWithoutReachingTheEngine) {
    ASSERT_TRUE(m_fault->FailOn("AppCreate", 1234));
    uint16_t app = 99;
    EXPECT_EQ(m_fault->AppCreate("Never", &app), 1234u);
    EXPECT_EQ(app, 99) << "out values are left alone";
    uint16_t found = 0;
    ASSERT_EQ(m_real->AppFind("Never", &found), 0u);
    EXPECT_EQ(found, 0) << "the real engine was not called";
    EXPECT_EQ(m_fault->Calls("AppCreate"), 1u);

    m_fault->Heal("AppCreate");
    EXPECT_EQ(m_fault->AppCreate("Now", &app), 0u);
    EXPECT_FALSE(m_fault->FailOn("AppCreat", 1));
}

TEST_F(KivFaultEngineTest, FailureCanWaitForSomeCallsToGoThrough) {
    uint16_t app = 0;
    ASSERT_EQ(m_fault->AppCreate("A", &app), 0u);
    ASSERT_EQ(m_fault->AppCreate("B", &app), 0u);
    ASSERT_TRUE(m_fault->FailOn("AdamGetNextApp", kStoreError, 1));
    uint16_t id = 0;
    ASSERT_EQ(m_fault->AdamGetFirstApp(&id), 0u);
    EXPECT_EQ(m_fault->AdamGetNextApp(&id), 0u);
    EXPECT_EQ(m_fault->AdamGetNextApp(&id), kStoreError);
    EXPECT_EQ(m_fault->AdamGetNextApp(&id), kStoreError) << "and stays failing";
    m_fault->HealAll();
    EXPECT_EQ(m_fault->AdamGetNextApp(&id), 0u);
}

TEST_F(KivFaultEngineTest, KnowsEveryOperationByName) {
    const std::vector<std::string>& ops = KivFaultEngine::Operations();
    EXPECT_EQ(ops.size(), 95u);
    EXPECT_EQ(std::set<std::string>(ops.begin(), ops.end()).size(), ops.size());
    for (const std::string& op : ops) {
        EXPECT_TRUE(m_fault->FailOn(op, 5)) << op;
    }
    m_fault->HealAll();
    EXPECT_EQ(ops.front(), "AdamInit");
    EXPECT_EQ(ops.back(), "EntSetAppearance");
}

TEST_F(KivFaultEngineTest, WithoutAnEngineEveryCallIsRefused) {
    // A fault engine around nothing, and what the process has while no engine is installed.
    KivFaultEngine fault;
    for (KivEngine* none : {static_cast<KivEngine*>(&fault), &KivGetEngine()}) {
        uint32_t created = 7;
        EXPECT_EQ(none->AdamInit(0, &created), kNoEngine);
        EXPECT_EQ(created, 7u);
        char buffer[10] = "kept";
        EXPECT_EQ(none->AdamGetVersion(buffer, sizeof buffer), kNoEngine);
        EXPECT_STREQ(buffer, "kept");
        EXPECT_EQ(none->AppSetSysLib(1, 1), kNoEngine);
    }
}

TEST_F(KivFaultEngineTest, ProcessWideEngineIsReplaceableAndRestored) {
    uint32_t created = 0;
    EXPECT_EQ(KivGetEngine().AdamInit(0, &created), kNoEngine) << "nothing installed yet";
    {
        KivScopedEngine scoped(m_fault);
        EXPECT_EQ(&KivGetEngine(), m_fault.get());
        char buffer[100];
        EXPECT_EQ(KivGetEngine().AdamQueryCurrentPrjName(buffer, sizeof buffer), 0u);
        {
            auto inner = std::make_shared<KivFaultEngine>();
            KivScopedEngine nested(inner);
            EXPECT_EQ(&KivGetEngine(), inner.get());
        }
        EXPECT_EQ(&KivGetEngine(), m_fault.get());
    }
    EXPECT_EQ(KivGetEngine().AdamExit(), kNoEngine);
    auto previous = KivSetEngine(m_real);
    EXPECT_EQ(previous, nullptr);
    EXPECT_EQ(KivSetEngine(nullptr), m_real);
}
