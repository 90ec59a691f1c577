#include "KivRepositoryFixture.h"

#include "support/KivDateTime.h"

class KivVOModuleTest : public KivRepositoryTest {
protected:
    void SetUp() override {
        KivRepositoryTest::SetUp();
        m_app = Import("Shop",
                       {{"Main",
                         {{"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\nRETURN 1\r\n"},
                          {"ADD", 3, 17, "FUNCTION Add(a, b)", "FUNCTION Add(a, b)\r\nRETURN a + b\r\n"}}}});
        ASSERT_TRUE(m_app);
        m_module = m_app->FirstModule();
        ASSERT_TRUE(m_module);
    }

    std::shared_ptr<KivVOApplication> m_app;
    std::shared_ptr<KivVOModule> m_module;
};

TEST_F(KivVOModuleTest, PropertiesGoToTheEngineAndBack) {
    EXPECT_EQ(m_module->Name(), "Main");
    EXPECT_EQ(m_module->Owner(), m_app);
    EXPECT_EQ(m_module->ExportName("C:\\MEF\\MAIN.MEF"), "C:\\MEF\\MAIN.MEF");
    EXPECT_EQ(m_module->ExportName(), "C:\\MEF\\MAIN.MEF");
    m_module->FullPath("C:\\MEF\\OTHER.MEF");
    EXPECT_EQ(m_module->FullPath(), "C:\\MEF\\OTHER.MEF");
    EXPECT_EQ(m_module->DebugStatus(2), 2u);
    EXPECT_EQ(m_module->DebugStatus(), 2u);
    EXPECT_TRUE(m_module->OEM(true));
    EXPECT_TRUE(m_module->OEM());
    EXPECT_TRUE(m_module->IsVisible());
    EXPECT_EQ(m_module->CreateUnixTime(), KivGMTUnixTimeToLocalUnixTime(1000000000));
    EXPECT_EQ(m_module->LastBuildDate(),
              KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(1100000000)).first);
    EXPECT_EQ(m_module->LastBuildTime(),
              KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(1100000000)).second);
    EXPECT_TRUE(m_module->Success());
    EXPECT_EQ(m_module->ErrorString(), "");
}

TEST_F(KivVOModuleTest, ConstructionFindsTheOwnerByApplicationName) {
    KivVOModule named("SHOP", m_module->ID());
    ASSERT_TRUE(named.Owner());
    EXPECT_EQ(named.Owner()->Name(), "Shop");
    EXPECT_EQ(named.Name(), "Main");
    KivVOModule orphan("Nowhere", m_module->ID());
    EXPECT_EQ(orphan.Owner(), nullptr);
    EXPECT_EQ(KivVOModule(m_module->ID()).Owner(), nullptr);
}

TEST_F(KivVOModuleTest, EntitiesAreWalkedSortedAndFoundByType) {
    auto entities = m_module->EntityList();
    ASSERT_EQ(entities.size(), 2u);
    EXPECT_EQ(m_module->EntityCount(), entities.size());
    EXPECT_EQ(entities[0]->Name(), "ADD");
    EXPECT_EQ(std::static_pointer_cast<KivVOEntity>(entities[0])->Owner(), m_module);
    EXPECT_EQ(m_module->EntityNameList(), (std::vector<std::string>{"ADD", "START"}));

    EXPECT_TRUE(m_module->EntityFind("start"));
    EXPECT_TRUE(m_module->EntityFind("start", 3));
    EXPECT_FALSE(m_module->EntityFind("start", 1)) << "the name under another type";
    EXPECT_FALSE(m_module->EntityFind("stop"));
    EXPECT_TRUE(m_module->Success());
}

TEST_F(KivVOModuleTest, ExternalSourceJoinsTheSourcesInListOrder) {
    EXPECT_EQ(m_module->ExternalSource(), "FUNCTION Add(a, b)\r\nRETURN a + b\r\n\r\n"
                                          "FUNCTION Start()\r\nRETURN 1\r\n\r\n");
    auto empty = m_app->ModuleCreate("Empty");
    EXPECT_EQ(empty->ExternalSource(), "");
}

TEST_F(KivVOModuleTest, BindingToAPrgFileAndUnbinding) {
    EXPECT_FALSE(m_module->IsExternal());
    WriteFile(Scratch() / "main.prg", "FUNCTION Only()\r\nRETURN 2\r\n");
    EXPECT_EQ(m_module->ExternalFile(ScratchDos("main.prg")), ScratchDos("main.prg"));
    ASSERT_TRUE(m_module->Success()) << m_module->ErrorString();
    EXPECT_EQ(m_module->Changed(), 1u);
    EXPECT_TRUE(m_module->IsExternal());
    EXPECT_EQ(m_module->ExternalFile(), ScratchDos("main.prg"));
    EXPECT_EQ(m_module->EntityNameList(), std::vector<std::string>{"ONLY"});

    // The engine refuses an empty file name; an empty assignment unbinds through a null one.
    EXPECT_EQ(m_module->ExternalFile(""), "");
    EXPECT_TRUE(m_module->Success()) << m_module->ErrorString();
    EXPECT_FALSE(m_module->IsExternal());
    EXPECT_EQ(m_module->EntityNameList(), std::vector<std::string>{"ONLY"}) << "unbinding keeps the entities";
}

TEST_F(KivVOModuleTest, LongEntityNamesAreCutTo255Characters) {
    const std::string longName(300, 'L');
    auto app = Import("Long", {{"Mod", {{longName, 3, 17, "FUNCTION " + longName + "()", "RETURN\r\n"}}}});
    auto module = app->FirstModule();
    const std::vector<std::string> names = module->EntityNameList();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::string(255, 'L'));
    EXPECT_EQ(module->FirstEntity()->Name(), std::string(255, 'L'));
}
