#include "explorer/transfer/KivAppImport.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/transfer/KivAppExport.h"
#include "explorer/transfer/KivTransferFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// Shop (using Tools and Base, Tools using Base) exported from the first project; the tests import
// it into the project "Copy".
class KivAppImportTest : public KivTransferTest {
protected:
    void SetUp() override {
        KivTransferTest::SetUp();
        Lib("Base");
        Lib("Tools", {"Base"});
        auto shop = App("Shop", {"Tools", "Base"});
        for (const char* name : {"Base", "Tools", "Shop"})
            m_exported[name] = Content(*KivVOProject().ApplicationFind(name));
        KivAppExportOptions options;
        options.folder = ScratchDos("out");
        KivSilentProgress silent;
        ASSERT_EQ(KivExportApp(*shop, options, silent).outcome, KivTransferOutcome::Done);
        m_kai = ScratchDos("out\\Shop\\Shop.KAI");

        ASSERT_TRUE(Repo().ProjectCreate("Copy", ScratchDos("copy"))) << Repo().ErrorString();
        Repo().CurrentProjectName("Copy");
        m_project = Repo().CurrentProject();
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        KivTransferTest::TearDown();
    }

    // An application of the target project with a module of its own.
    void Existing(const std::string& name) {
        Import(name, {{"Old" + name, {{"OLDFN", 3, 17, "FUNCTION OldFn()", "FUNCTION OldFn()\r\n"}}}});
    }
    std::vector<std::string> Now(const std::string& name) {
        auto app = m_project->ApplicationFind(name);
        return app ? Content(*app) : std::vector<std::string>{"(missing)"};
    }
    KivTransferResult Run(const KivAppImportPlan& plan,
                          KivExistingChoice choice = KivExistingChoice::Delete) {
        KivMessageQuestion question;
        return KivRunAppImport(plan, choice, *m_project, m_progress, question);
    }

    std::map<std::string, std::vector<std::string>> m_exported;
    std::string m_kai;
    std::shared_ptr<KivVOProject> m_project;
    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
    KivRecordingProgress m_progress;
};

TEST_F(KivAppImportTest, ImportsLibrariesInFileOrderThenTheApplication) {
    const KivAppImportPlan plan = KivPlanAppImport(m_kai, *m_project);
    EXPECT_EQ(plan.fileAppName, "Shop");
    EXPECT_EQ(plan.appName, "Shop");
    EXPECT_EQ(plan.appAef, ScratchDos("out\\Shop\\Shop.AEF"));
    EXPECT_FALSE(plan.appExists);
    EXPECT_TRUE(plan.CanImport());
    EXPECT_TRUE(plan.allPresent);
    EXPECT_FALSE(plan.anyExists);
    EXPECT_EQ(plan.firstMissing, -1);
    ASSERT_EQ(plan.libraries.size(), 2u);
    EXPECT_EQ(plan.libraries[0].section, "LIB001");
    EXPECT_EQ(plan.libraries[0].name, "Base");
    EXPECT_EQ(plan.libraries[0].state, KivAppImportLibrary::New);
    EXPECT_EQ(plan.libraries[1].name, "Tools");

    const KivTransferResult result = Run(plan);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Done);
    EXPECT_EQ(result.errors, 0);
    for (const char* name : {"Base", "Tools", "Shop"})
        EXPECT_EQ(Now(name), m_exported[name]) << name;
    EXPECT_EQ(m_project->ApplicationFind("Shop")->LibraryNameList(),
              (std::vector<std::string>{"Tools", "Base"}));
    EXPECT_TRUE(m_project->ApplicationFind("Base")->IsLibrary());
    EXPECT_EQ(m_progress.caption, "Importing Shop");
    EXPECT_EQ(m_progress.label, "Library :");
    EXPECT_EQ(m_progress.maximum, 3u);
    EXPECT_EQ(m_progress.texts, (std::vector<std::string>{"Base", "Tools"}));
    EXPECT_TRUE(m_prompt->boxes.empty());
}

TEST_F(KivAppImportTest, ExistingLibrariesAreDeletedKeptOrMerged) {
    struct Case {
        KivExistingChoice choice;
        std::vector<std::string> base;
    };
    const std::vector<std::string> old{"OldBase:OLDFN=FUNCTION OldFn()\r\n"};
    std::vector<std::string> merged = m_exported["Base"];
    merged.insert(merged.begin(), old.begin(), old.end());
    std::sort(merged.begin(), merged.end());
    for (const Case& c : {Case{KivExistingChoice::Delete, m_exported["Base"]},
                          Case{KivExistingChoice::Keep, old}, Case{KivExistingChoice::Merge, merged}}) {
        Existing("Base");
        m_project->ApplicationNameDelete("Shop");
        const KivAppImportPlan plan = KivPlanAppImport(m_kai, *m_project);
        EXPECT_TRUE(plan.anyExists);
        EXPECT_EQ(plan.libraries[0].state, KivAppImportLibrary::Existing);
        EXPECT_EQ(plan.libraries[1].state, KivAppImportLibrary::New);
        EXPECT_EQ(Run(plan, c.choice).outcome, KivTransferOutcome::Done);
        std::vector<std::string> base = Now("Base");
        std::sort(base.begin(), base.end());
        EXPECT_EQ(base, c.base) << static_cast<char>(c.choice);
        EXPECT_EQ(Now("Shop"), m_exported["Shop"]);
        m_project->ApplicationNameDelete("Tools");
    }
}

TEST_F(KivAppImportTest, ExistingApplicationNeedsAFreeName) {
    Existing("Shop");
    KivAppImportPlan plan = KivPlanAppImport(m_kai, *m_project);
    EXPECT_TRUE(plan.appExists);
    EXPECT_EQ(plan.existing, (std::vector<std::string>{"Shop"}));
    EXPECT_FALSE(plan.CanImport());
    EXPECT_EQ(Run(plan).outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(m_project->ApplicationNameList(), (std::vector<std::string>{"Shop"}));

    // The same name, the same name in other case (the repository would replace the application)
    // and an empty name change nothing.
    for (const char* name : {"Shop", "SHOP", ""}) {
        EXPECT_FALSE(plan.Rename(name)) << name;
        EXPECT_EQ(plan.appName, "Shop");
        EXPECT_FALSE(plan.CanImport());
    }
    EXPECT_TRUE(plan.Rename("Shop2"));
    EXPECT_TRUE(plan.CanImport());
    EXPECT_EQ(Run(plan).outcome, KivTransferOutcome::Done);
    EXPECT_EQ(Now("Shop"), (std::vector<std::string>{"OldShop:OLDFN=FUNCTION OldFn()\r\n"}));
    EXPECT_EQ(Now("Shop2"), m_exported["Shop"]);
    EXPECT_EQ(m_progress.caption, "Importing Shop2");
}

TEST_F(KivAppImportTest, MissingLibraryFilesAreSkipped) {
    Existing("Tools");
    fs::remove(Scratch() / "out" / "Shop" / "Tools.AEF");
    const KivAppImportPlan plan = KivPlanAppImport(m_kai, *m_project);
    EXPECT_FALSE(plan.allPresent);
    EXPECT_EQ(plan.firstMissing, 1);
    // An existing library whose file is missing counts as missing, whatever the choice.
    EXPECT_EQ(plan.libraries[1].state, KivAppImportLibrary::Missing);
    EXPECT_FALSE(plan.anyExists);
    EXPECT_EQ(Run(plan).outcome, KivTransferOutcome::Done);
    EXPECT_EQ(Now("Tools"), (std::vector<std::string>{"OldTools:OLDFN=FUNCTION OldFn()\r\n"}));
    EXPECT_EQ(Now("Shop"), m_exported["Shop"]);
    EXPECT_TRUE(m_prompt->boxes.empty());
}

TEST_F(KivAppImportTest, FailedImportsAskOrAlert) {
    // Yes to the question stops before the application; what came in stays.
    ASSERT_TRUE(Fault().FailOn("AdamImportApp", 5, 1));
    m_prompt->boxAnswers = {KivBox::IdYes};
    KivTransferResult result = Run(KivPlanAppImport(m_kai, *m_project));
    EXPECT_EQ(result.outcome, KivTransferOutcome::Aborted);
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Library Import Error.Abort Operation ?");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Tools");
    EXPECT_TRUE(result.notices.empty());
    EXPECT_EQ(m_project->ApplicationNameList(), (std::vector<std::string>{"Base"}));

    // No goes on: the application is tried, and fails as well.
    m_prompt->boxes.clear();
    m_prompt->boxAnswers = {KivBox::IdNo};
    m_project->ApplicationNameDelete("Base");
    Fault().HealAll();
    ASSERT_TRUE(Fault().FailOn("AdamImportApp", 5, 1));
    result = Run(KivPlanAppImport(m_kai, *m_project));
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.errors, 2);
    EXPECT_EQ(m_prompt->boxes.size(), 1u) << "only the question: the run shows no box itself";
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.notices[0].text, "Application Import Error.");
    EXPECT_EQ(result.notices[0].caption, "Shop");
    EXPECT_EQ(result.notices[0].style, KivBox::Ok | KivBox::IconExclamation);

    // A missing application file is found only by the import itself.
    Fault().HealAll();
    m_prompt->boxes.clear();
    fs::remove(Scratch() / "out" / "Shop" / "Shop.AEF");
    result = Run(KivPlanAppImport(m_kai, *m_project));
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.message, "Application Import Error.");
    EXPECT_TRUE(m_prompt->boxes.empty());
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.notices[0].text, "Application Import Error.");
}

TEST_F(KivAppImportTest, CancelSkipsTheApplication) {
    m_progress.cancelAt = 2;
    const KivTransferResult result = Run(KivPlanAppImport(m_kai, *m_project));
    EXPECT_EQ(result.outcome, KivTransferOutcome::Cancelled);
    EXPECT_EQ(m_project->ApplicationNameList(), (std::vector<std::string>{"Base"}));
}

TEST_F(KivAppImportTest, ReadsHandWrittenFilesLeniently) {
    // Sections and keys in any case, folders in AEF values ignored, a library without a file.
    WriteFile(Scratch() / "out" / "Shop" / "hand.kai", "[app]\r\nname=Shop\r\naef=Z:\\elsewhere\\Shop.AEF\r\n"
                                                       "[Extra]\r\nNAME=Base\r\nAEF=..\\..\\Base.AEF\r\n"
                                                       "[LIB009]\r\nName=Ghost\r\nAEF=ghost.aef\r\n"
                                                       "[LIB010]\r\nName=Nameless\r\nAEF=\r\n");
    const KivAppImportPlan plan = KivPlanAppImport(ScratchDos("out\\Shop\\hand.kai"), *m_project);
    EXPECT_EQ(plan.appName, "Shop");
    EXPECT_EQ(plan.appAef, ScratchDos("out\\Shop\\Shop.AEF"));
    ASSERT_EQ(plan.libraries.size(), 3u);
    EXPECT_EQ(plan.libraries[0].section, "Extra");
    EXPECT_EQ(plan.libraries[0].aef, ScratchDos("out\\Shop\\Base.AEF"));
    EXPECT_EQ(plan.libraries[0].state, KivAppImportLibrary::New);
    EXPECT_EQ(plan.libraries[1].state, KivAppImportLibrary::Missing);
    EXPECT_EQ(plan.libraries[2].state, KivAppImportLibrary::Missing);
    EXPECT_EQ(plan.firstMissing, 1);
    EXPECT_EQ(Run(plan).outcome, KivTransferOutcome::Done);
    EXPECT_EQ(m_project->ApplicationNameList(), (std::vector<std::string>{"Base", "Shop"}));
}
