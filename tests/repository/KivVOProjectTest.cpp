#include "KivRepositoryFixture.h"

class KivVOProjectTest : public KivRepositoryTest {};

TEST_F(KivVOProjectTest, ReadsItsPropertiesFromTheEngine) {
    KivVOProject project;
    EXPECT_EQ(project.Name(), "Default") << "without a name: the current project";
    EXPECT_EQ(project.Dir(), KivSqliteEngine::kDefaultProjectDir);
    EXPECT_EQ(project.Description(), "Default project");
    EXPECT_FALSE(project.Locked());
    EXPECT_EQ(project.Keywords("orders, stock"), "orders, stock");
    EXPECT_EQ(project.Keywords(), "orders, stock");
    ASSERT_EQ(Store().PrjSetLock("Default", 1), 0u);
    EXPECT_TRUE(project.Locked());
    EXPECT_TRUE(project.Success());
    EXPECT_EQ(project.ErrorString(), "");
}

TEST_F(KivVOProjectTest, SelectedComparesNamesExactlyAndReselectsBeforeApplicationCalls) {
    KivVOProject exact("Default");
    KivVOProject lower("default");
    EXPECT_TRUE(exact.Selected());
    EXPECT_FALSE(lower.Selected());

    Fault().ResetCalls();
    exact.ApplicationNameList();
    EXPECT_EQ(Fault().Calls("PrjSelect"), 0u);
    lower.ApplicationNameList();
    EXPECT_EQ(Fault().Calls("PrjSelect"), 1u);
    EXPECT_TRUE(lower.Success());
}

TEST_F(KivVOProjectTest, DeselectingReturnsToTheProjectOfTheStart) {
    ASSERT_TRUE(Repo().ProjectCreate("Other", ScratchDos("o")));
    KivVOProject other("Other");
    EXPECT_TRUE(other.Selected(true));
    EXPECT_EQ(Repo().CurrentProjectName(), "Other");
    EXPECT_FALSE(other.Selected(false));
    EXPECT_EQ(Repo().CurrentProjectName(), "Default");

    // Application operations act on their own project, whatever is current.
    ASSERT_TRUE(other.ApplicationCreate("OnlyThere"));
    EXPECT_EQ(other.ApplicationNameList(), std::vector<std::string>{"OnlyThere"});
    EXPECT_TRUE(KivVOProject("Default").ApplicationNameList().empty());
}

TEST_F(KivVOProjectTest, AnEmptyProjectWalksToNothing) {
    KivVOProject project;
    EXPECT_EQ(project.FirstApplication(), nullptr);
    EXPECT_EQ(project.FirstApplicationName(), "");
    EXPECT_TRUE(project.ApplicationList().empty());
    EXPECT_TRUE(project.ApplicationNameList().empty());
    EXPECT_TRUE(project.Success());
}

TEST_F(KivVOProjectTest, CreatesFindsListsAndDeletesApplications) {
    auto project = std::make_shared<KivVOProject>();
    for (const char* name : {"Stock", "Billing", "Ledger"})
        ASSERT_TRUE(project->ApplicationCreate(name)) << name;
    EXPECT_FALSE(project->ApplicationCreate("stock"));
    EXPECT_EQ(project->ErrorString(), "Error AppCreate");

    auto list = project->ApplicationList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->Name(), "Billing");
    EXPECT_EQ(list[2]->Name(), "Stock");
    EXPECT_EQ(list[0]->Owner(), project) << "a shared project owns its applications itself";
    EXPECT_EQ(project->ApplicationNameList(), (std::vector<std::string>{"Billing", "Ledger", "Stock"}));

    auto found = project->ApplicationFind("LEDGER");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Name(), "Ledger");
    EXPECT_FALSE(project->ApplicationFind("Ledge"));

    EXPECT_TRUE(project->ApplicationDelete(found));
    EXPECT_FALSE(project->ApplicationNameDelete("Ledger"));
    EXPECT_TRUE(project->ApplicationNameDelete("billing"));
    EXPECT_EQ(project->ApplicationNameList(), std::vector<std::string>{"Stock"});
}

TEST_F(KivVOProjectTest, ImportsAndExportsApplications) {
    auto app = Import("Shop",
                      {{"Main", {{"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\nRETURN 1\r\n"}}}});
    ASSERT_TRUE(app);
    KivVOProject project;
    EXPECT_FALSE(project.ExportApplication("Nowhere", ScratchDos("none.aef")));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "none.aef"));
    EXPECT_TRUE(project.ExportApplication("shop", ScratchDos("shop2.aef")));

    // Merging keeps the application and adds the file's modules; replacing starts afresh.
    ASSERT_TRUE(app->ModuleCreate("Extra"));
    EXPECT_TRUE(project.ImportApplication("Shop", ScratchDos("shop2.aef"), 0, 0));
    EXPECT_EQ(project.ApplicationFind("Shop")->ModuleNameList(), (std::vector<std::string>{"Extra", "Main"}));
    EXPECT_TRUE(project.ImportApplication("Shop", ScratchDos("shop2.aef"), 1, 0));
    EXPECT_EQ(project.ApplicationFind("Shop")->ModuleNameList(), std::vector<std::string>{"Main"});

    EXPECT_FALSE(project.ImportApplication("Shop", ScratchDos("missing.aef"), 1, 0));
    EXPECT_EQ(project.ErrorString(), "Error AdamImportApp");
}
