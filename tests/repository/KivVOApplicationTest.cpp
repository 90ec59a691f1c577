#include "KivRepositoryFixture.h"

#include "support/KivDateTime.h"

#include <cstdlib>
#include <functional>

class KivVOApplicationTest : public KivRepositoryTest {
protected:
    void SetUp() override {
        KivRepositoryTest::SetUp();
        m_project = std::make_shared<KivVOProject>();
        m_app = m_project->ApplicationCreate("Shop");
        ASSERT_TRUE(m_app);
    }

    std::shared_ptr<KivVOProject> m_project;
    std::shared_ptr<KivVOApplication> m_app;
};

TEST_F(KivVOApplicationTest, PropertiesGoToTheEngineAndBack) {
    EXPECT_TRUE(m_app->IsValid());
    EXPECT_EQ(m_app->ExeName("C:\\OUT\\SHOP.EXE"), "C:\\OUT\\SHOP.EXE");
    EXPECT_EQ(m_app->ExeName(), "C:\\OUT\\SHOP.EXE");
    m_app->GroupName("Sales");
    EXPECT_EQ(m_app->GroupName(), "Sales");
    m_app->FullPath("C:\\AEF\\SHOP.AEF");
    EXPECT_EQ(m_app->FullPath(), "C:\\AEF\\SHOP.AEF");
    m_app->Description("Line one\r\nLine \x93two\x94");
    EXPECT_EQ(m_app->Description(), "Line one\r\nLine \x93two\x94");
    EXPECT_FALSE(m_app->Debug());
    EXPECT_TRUE(m_app->Debug(true));
    EXPECT_TRUE(m_app->Debug());
    EXPECT_TRUE(m_app->Success());
    EXPECT_EQ(m_app->ErrorString(), "");
}

TEST_F(KivVOApplicationTest, KindFollowsTheLibraryFlags) {
    struct Kind {
        uint32_t library, dll, system;
        bool isApplication;
    };
    for (const Kind& k :
         {Kind{0, 0, 0, true}, Kind{1, 0, 0, false}, Kind{0, 1, 0, false}, Kind{1, 0, 1, false}}) {
        ASSERT_EQ(Store().AppSetLib(m_app->ID(), k.library, k.dll), 0u);
        ASSERT_EQ(Store().AppSetSysLib(m_app->ID(), k.system), 0u);
        EXPECT_EQ(m_app->IsLibrary(), k.library != 0);
        EXPECT_EQ(m_app->IsDLL(), k.dll != 0);
        EXPECT_EQ(m_app->IsSystemLibrary(), k.system != 0);
        EXPECT_EQ(m_app->IsApplication(), k.isApplication);
    }
}

TEST_F(KivVOApplicationTest, TimesAreShownInLocalTime) {
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    auto app = Import("Timed", {});
    // Built 1300000000 = 2011-03-13 07:06:40 GMT, created 1200000000 = 2008-01-10 21:20:00 GMT.
    EXPECT_EQ(app->LastBuildUnixTime(), 1300000000u + 3600);
    EXPECT_EQ(app->LastBuildDate(), KivDate::FromYMD(2011, 3, 13));
    EXPECT_EQ(app->LastBuildTime(), "08:06:40");
    EXPECT_EQ(app->CreateDate(), KivDate::FromYMD(2008, 1, 10));
    EXPECT_EQ(app->CreateTime(), "22:20:00");
    if (previous)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
}

TEST_F(KivVOApplicationTest, ConstructionPicksItsOwner) {
    ASSERT_TRUE(Repo().ProjectCreate("Other", ScratchDos("o")));
    KivVOApplication byName("Other", 0);
    EXPECT_EQ(byName.Owner()->Name(), "Other");
    EXPECT_EQ(Repo().CurrentProjectName(), "Other") << "a project name makes that project current";
    EXPECT_FALSE(byName.IsValid());

    Repo().CurrentProjectName("Default");
    KivVOApplication byId(m_app->ID());
    EXPECT_EQ(byId.Name(), "Shop");
    EXPECT_EQ(byId.Owner()->Name(), "Default") << "no owner: the current project";
    KivVOApplication nullOwner(std::shared_ptr<KivVOProject>(), m_app->ID());
    EXPECT_EQ(nullOwner.Owner()->Name(), "Default");

    KivVOApplication unknown(m_project, 999);
    EXPECT_FALSE(unknown.IsValid());
    EXPECT_EQ(unknown.ID(), 0);
    EXPECT_EQ(unknown.ErrorString(), "Error AppQueryName");
}

TEST_F(KivVOApplicationTest, ModulesAreCreatedListedFoundAndDeleted) {
    for (const char* name : {"Zeta", "Alpha", "Mid"})
        ASSERT_TRUE(m_app->ModuleCreate(name)) << name;
    EXPECT_EQ(m_app->ModuleNameList(), (std::vector<std::string>{"Alpha", "Mid", "Zeta"}));
    auto modules = m_app->ModuleList();
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(m_app->ModuleCount(), modules.size());
    EXPECT_EQ(modules[0]->Name(), "Alpha");
    EXPECT_EQ(std::static_pointer_cast<KivVOModule>(modules[0])->Owner(), m_app);

    auto found = m_app->ModuleFind("mid");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Name(), "Mid");
    EXPECT_TRUE(m_app->ExportModule("Mid", ScratchDos("mid.mef")));
    EXPECT_TRUE(std::filesystem::exists(Scratch() / "mid.mef"));
    EXPECT_FALSE(m_app->ExportModule("Nowhere", ScratchDos("no.mef")));

    Fault().ResetCalls();
    EXPECT_FALSE(m_app->ModuleNameDelete("Nowhere"));
    EXPECT_EQ(Fault().Calls("ModDelete"), 0u);
    EXPECT_TRUE(m_app->ModuleNameDelete("ZETA"));
    EXPECT_TRUE(m_app->ModuleDelete(std::static_pointer_cast<KivVOModule>(found)));
    EXPECT_EQ(m_app->ModuleNameList(), std::vector<std::string>{"Alpha"});
}

TEST_F(KivVOApplicationTest, ExportsFlushesAndImportsModules) {
    ASSERT_TRUE(m_app->ModuleCreate("Main"));
    EXPECT_TRUE(m_app->ExportToAEF(ScratchDos("shop.aef")));
    EXPECT_TRUE(m_app->ExportToAEF_DLL(ScratchDos("shopdll.aef")));
    EXPECT_NE(ReadFile(Scratch() / "shop.aef"), ReadFile(Scratch() / "shopdll.aef"));
    EXPECT_TRUE(m_app->Flush());

    WriteFile(Scratch() / "tools.prg", "FUNCTION Tool()\r\nRETURN 1\r\n");
    auto module = m_app->ImportModule(ScratchDos("tools.prg"), "Tools", 0, 0);
    ASSERT_TRUE(module) << m_app->ErrorString();
    EXPECT_EQ(module->Name(), "Tools");
    EXPECT_EQ(module->EntityNameList(), std::vector<std::string>{"TOOL"});
}

TEST_F(KivVOApplicationTest, LibrariesAreOtherApplicationsOfTheCurrentProject) {
    ASSERT_TRUE(m_project->ApplicationCreate("Base"));
    ASSERT_TRUE(m_project->ApplicationCreate("Gui"));
    m_app->LibraryNameList({"Gui", "Base"});
    auto libraries = m_app->LibraryList();
    ASSERT_EQ(libraries.size(), 2u);
    EXPECT_EQ(libraries[0]->Name(), "Gui");
    EXPECT_NE(libraries[0]->Owner(), m_project) << "a new object for the current project";
    EXPECT_EQ(libraries[0]->Owner()->Name(), "Default");

    // Assigning objects matches them as objects: fresh ones are removed and added again.
    Fault().ResetCalls();
    m_app->LibraryList({libraries[1], libraries[0]});
    EXPECT_EQ(m_app->LibraryNameList(), (std::vector<std::string>{"Base", "Gui"}));
    EXPECT_EQ(Fault().Calls("AppDelSPath"), 2u);
    EXPECT_EQ(Fault().Calls("AppAddSPath"), 2u);

    // A name the project does not know is left out.
    m_app->LibraryNameList({"Ghost", "Gui"});
    EXPECT_EQ(m_app->LibraryNameList(), std::vector<std::string>{"Gui"});
}

// The three ordered lists share the rewrite: deletions, additions, then one move per entry.
struct ListRewrite {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> after;
    uint32_t deletes, adds;
};

class KivListRewriteTest : public KivVOApplicationTest, public ::testing::WithParamInterface<ListRewrite> {
protected:
    struct Kind {
        const char* del;
        const char* add;
        const char* move;
        std::function<std::vector<std::string>(KivVOApplication&)> read;
        std::function<void(KivVOApplication&, const std::vector<std::string>&)> write;
    };
    std::vector<Kind> Kinds() {
        return {
            {"AppDelSPath", "AppAddSPath", "AppMoveSPath",
             [](KivVOApplication& a) { return a.LibraryNameList(); },
             [](KivVOApplication& a, const std::vector<std::string>& v) { a.LibraryNameList(v); }},
            {"AppDelUDC", "AppAddUDC", "AppMoveUDC", [](KivVOApplication& a) { return a.UDCNameList(); },
             [](KivVOApplication& a, const std::vector<std::string>& v) { a.UDCNameList(v); }},
            {"AppDelCH", "AppAddCH", "AppMoveCH", [](KivVOApplication& a) { return a.CHNameList(); },
             [](KivVOApplication& a, const std::vector<std::string>& v) { a.CHNameList(v); }},
        };
    }
};

TEST_P(KivListRewriteTest, FinalOrderInTheEngineIsTheNewList) {
    const ListRewrite& c = GetParam();
    for (const char* name : {"A", "B", "C", "D"})
        ASSERT_TRUE(m_project->ApplicationCreate(name));
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.move);
        kind.write(*m_app, c.before);
        ASSERT_EQ(kind.read(*m_app), c.before);
        Fault().ResetCalls();
        const uint32_t status = m_app->ErrorCode();
        kind.write(*m_app, c.after);
        EXPECT_EQ(Fault().Calls(kind.del), c.deletes);
        EXPECT_EQ(Fault().Calls(kind.add), c.adds);
        EXPECT_EQ(Fault().Calls(kind.move), c.after.size());
        EXPECT_EQ(m_app->ErrorCode(), status);
        EXPECT_EQ(kind.read(*m_app), c.after);
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, KivListRewriteTest,
                         ::testing::Values(ListRewrite{"Same", {"A", "B", "C"}, {"A", "B", "C"}, 0, 0},
                                           ListRewrite{"Emptied", {"A", "B", "C"}, {}, 3, 0},
                                           ListRewrite{"Filled", {}, {"C", "A"}, 0, 2},
                                           ListRewrite{"Reordered", {"A", "B", "C"}, {"C", "A", "B"}, 0, 0},
                                           ListRewrite{"Mixed", {"A", "B", "C"}, {"D", "C", "A"}, 1, 1}),
                         [](const auto& param) { return std::string(param.param.name); });
