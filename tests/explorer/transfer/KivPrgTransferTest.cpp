#include "KivRepositoryFixture.h"
#include "KivTransferTestUtil.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/transfer/KivKeaPlan.h"
#include "explorer/transfer/KivPrgExport.h"
#include "explorer/transfer/KivPrgImport.h"

#include <csignal>
#include <filesystem>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

KivTestEntity Ent(const std::string& name, uint16_t type, const std::string& source) {
    KivTestEntity e;
    e.name = name;
    e.type = type;
    e.source = source;
    return e;
}

std::set<std::string> FilesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

class KivPrgExportTest : public KivRepositoryTest {
protected:
    void SetUp() override {
        KivRepositoryTest::SetUp();
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        KivRepositoryTest::TearDown();
    }

    // "Shop": Alpha with two source entities (types 1 and 3) and one of type 5, Beta with only
    // a type 2 entity, Gamma without entities; two libraries, two UDCs and one CH.
    std::shared_ptr<KivVOApplication> Shop() {
        Import("LibA", {{"LibAMod", {Ent("LA", 3, "FUNCTION LA()\r\nRETURN 0")}}});
        Import("LibB", {{"LibBMod", {Ent("LB", 3, "FUNCTION LB()\r\nRETURN 0")}}});
        auto app = Import("Shop", {{"Alpha",
                                    {Ent("A1", 3, "FUNCTION A1()\r\nRETURN 1"),
                                     Ent("A2", 1, "DEFINE A2 := 2"), Ent("ZZ", 5, "resource bytes")}},
                                   {"Beta", {Ent("B1", 2, "not source")}},
                                   {"Gamma", {}}});
        EXPECT_TRUE(app);
        app->LibraryNameList(std::vector<std::string>{"LibA", "LibB"});
        app->UDCNameList(std::vector<std::string>{"STD.UDC", "MY.UDC"});
        app->CHNameList(std::vector<std::string>{"WIN.CH"});
        app->Description("The shop");
        app->FullPath("C:\\AEF\\SHOP.AEF");
        app->ExeName("C:\\OUT\\SHOP.EXE");
        app->GroupName("Sales");
        app->Debug(true);
        return app;
    }

    fs::path Out(const std::string& name = {}) const { return Scratch() / "out" / "Shop" / name; }

    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(KivPrgExportTest, WritesTheKeaPrgFilesAndLogByteForByte) {
    auto app = Shop();
    KivCountingProgress progress;
    KivTransferResult result = KivPrgExport().Run(*app, "  " + ScratchDos("out") + "  ", progress);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Done) << result.message;
    EXPECT_EQ(result.logPath, ScratchDos("out\\Shop\\Shop.log"));

    EXPECT_EQ(ReadFile(Out("Shop.KEA")),
              "[APP]\r\nName=Shop\r\nLib=.F.\r\nDLL=.F.\r\nDesc=The shop\r\n"
              "Exp=C:\\AEF\\SHOP.AEF\r\nExe=C:\\OUT\\SHOP.EXE\r\nGroup=Sales\r\n"
              "Debug=.T.\r\nLibraries=LibA,LibB\r\nUDC=STD.UDC,MY.UDC\r\nCH=WIN.CH\r\n\r\n"
              "[Module001]\r\nName=Alpha\r\nPRG=Alpha.Prg\r\n\r\n"
              "[Module002]\r\nName=Beta\r\nPRG=Beta.Prg\r\n\r\n"
              "[Module003]\r\nName=Gamma\r\nPRG=Gamma.Prg\r\n\r\n");
    // Entities come in list order (by name): A1 then A2; ZZ is of another type.
    EXPECT_EQ(ReadFile(Out("Alpha.prg")), "FUNCTION A1()\r\nRETURN 1\r\nDEFINE A2 := 2\r\n");
    EXPECT_EQ(ReadFile(Out("Beta.prg")), "");
    EXPECT_EQ(ReadFile(Out("Gamma.prg")), "");
    EXPECT_EQ(ReadFile(Out("Shop.log")), "Exporting Application has external modules.\r\n"
                                         "Application : Shop\r\nModule Count: 3\r\n\r\n"
                                         "   Module 001 : Alpha\r\n   Entities Found : 3\r\n"
                                         "   Entities Saved : 2\r\n-->Missing Entities:1\r\n\r\n"
                                         "   Module 002 : Beta\r\n   Entities Found : 1\r\n"
                                         "   Entities Saved : 0\r\n-->Missing Entities:1\r\n\r\n"
                                         "   Module 003 : Gamma\r\n   Entities Found : 0\r\n"
                                         "   Entities Saved : 0\r\n\r\n");
    EXPECT_EQ(FilesIn(Out()),
              (std::set<std::string>{"Shop.KEA", "Shop.log", "Alpha.prg", "Beta.prg", "Gamma.prg"}));
    EXPECT_EQ(progress.ranges, (std::vector<std::string>{"0:1-3", "1:1-3", "1:1-1", "1:1-0"}));
    EXPECT_TRUE(m_prompt->boxes.empty());
}

TEST_F(KivPrgExportTest, EmptyListsAndAnExistingOutputAreRewritten) {
    auto app = Import("Bare", {{"Only", {Ent("F", 3, "FUNCTION F()")}}});
    fs::create_directories(Scratch() / "out" / "Bare");
    WriteFile(Scratch() / "out" / "Bare" / "Bare.KEA", std::string(5000, 'x'));
    KivCountingProgress progress;
    ASSERT_TRUE(KivPrgExport().Run(*app, ScratchDos("out"), progress).Done());
    const std::string kea = ReadFile(Scratch() / "out" / "Bare" / "Bare.KEA");
    EXPECT_NE(kea.find("\r\nLibraries=\r\nUDC=\r\nCH=\r\n\r\n[Module001]\r\n"), std::string::npos) << kea;
    EXPECT_LT(kea.size(), 500u);
}

TEST_F(KivPrgExportTest, CancelLeavesExactlyWhatWasFinished) {
    // Questions: 1 module Alpha, 2-4 its entities, 5 module Beta, 6 Beta's entity.
    struct Case {
        int cancelAt;
        std::string keaEnd;
        std::string logEnd;
        std::set<std::string> files;
    };
    const std::vector<Case> cases = {
        {6,
         "[Module002]\r\nName=Beta\r\nPRG=Beta.Prg\r\n\r\n",
         "   Module 002 : Beta\r\n   Entities Found : 1\r\n",
         {"Shop.KEA", "Shop.log", "Alpha.prg"}},
        {5,
         "[Module001]\r\nName=Alpha\r\nPRG=Alpha.Prg\r\n\r\n",
         "   Entities Saved : 2\r\n-->Missing Entities:1\r\n\r\n",
         {"Shop.KEA", "Shop.log", "Alpha.prg"}},
        {1, "CH=WIN.CH\r\n\r\n", "Module Count: 3\r\n\r\n", {"Shop.KEA", "Shop.log"}},
    };
    auto app = Shop();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cancelAt);
        fs::remove_all(Scratch() / "out");
        KivCountingProgress progress(c.cancelAt);
        EXPECT_EQ(KivPrgExport().Run(*app, ScratchDos("out"), progress).outcome,
                  KivTransferOutcome::Cancelled);
        const std::string kea = ReadFile(Out("Shop.KEA"));
        const std::string log = ReadFile(Out("Shop.log"));
        EXPECT_TRUE(kea.ends_with(c.keaEnd)) << kea;
        EXPECT_TRUE(log.ends_with(c.logEnd)) << log;
        EXPECT_EQ(FilesIn(Out()), c.files);
    }
}

TEST_F(KivPrgExportTest, SystemLibraryOrNoApplicationIsRefused) {
    auto app = Import("Sys", {{"M", {}}});
    std::vector<KivNotice> refusal;
    EXPECT_TRUE(KivPrgExport::CanExport(app.get(), refusal));
    ASSERT_EQ(Store().AppSetSysLib(app->ID(), 1), 0u);
    EXPECT_FALSE(KivPrgExport::CanExport(app.get(), refusal));
    EXPECT_FALSE(KivPrgExport::CanExport(nullptr, refusal));
    KivVOApplication invalid(uint16_t{999});
    EXPECT_FALSE(KivPrgExport::CanExport(&invalid, refusal));
    EXPECT_TRUE(m_prompt->boxes.empty()) << "the caller shows the box";
    ASSERT_EQ(refusal.size(), 1u);
    EXPECT_EQ(refusal[0].text, "You can't export a System Library !");
    EXPECT_EQ(refusal[0].caption, "Error");
    EXPECT_EQ(refusal[0].style, KivBox::Ok | KivBox::IconStop);
}

TEST_F(KivPrgExportTest, NamesBecomeSafeUniqueFilesThatThePrgEntriesName) {
    auto app = Import("My.App", {{"a:b", {Ent("F", 3, "FUNCTION F()")}},
                                 {"a_b", {Ent("G", 3, "FUNCTION G()")}},
                                 {"..", {Ent("H", 3, "FUNCTION H()")}},
                                 {"CON", {Ent("I", 3, "FUNCTION I()")}}});
    KivCountingProgress progress;
    ASSERT_TRUE(KivPrgExport().Run(*app, ScratchDos("out"), progress).Done());
    const fs::path folder = Scratch() / "out" / "My.App";
    std::set<std::string> files = FilesIn(folder);
    EXPECT_TRUE(files.count("My.App.KEA") && files.count("My.App.log"));
    const std::string kea = ReadFile(folder / "My.App.KEA");
    std::set<std::string> named;
    for (size_t at = kea.find("PRG="); at != std::string::npos; at = kea.find("PRG=", at + 1)) {
        const std::string value = kea.substr(at + 4, kea.find('\r', at) - at - 4);
        ASSERT_TRUE(value.ends_with(".Prg")) << value;
        named.insert(value.substr(0, value.size() - 4) + ".prg");
    }
    EXPECT_EQ(named.size(), 4u);
    for (const std::string& name : named)
        EXPECT_TRUE(files.count(name)) << name;
    EXPECT_EQ(files.size(), 6u);
    EXPECT_EQ(FilesIn(Scratch() / "out"), (std::set<std::string>{"My.App"}));
}

TEST_F(KivPrgExportTest, WriteFailuresEndFailedAndAreLogged) {
    auto app = Import("Big", {{"Huge", {Ent("F", 3, "FUNCTION F()\r\n" + std::string(20000, '*'))}}});
    // A regular file in the way of the output folder: nothing can be written at all.
    WriteFile(Scratch() / "blocker", "x");
    KivCountingProgress progress;
    KivTransferResult blocked = KivPrgExport().Run(*app, ScratchDos("blocker\\sub"), progress);
    EXPECT_EQ(blocked.outcome, KivTransferOutcome::Failed);
    EXPECT_TRUE(blocked.logPath.empty());
    EXPECT_FALSE(blocked.message.empty());

    // A folder where the PRG file should go.
    fs::create_directories(Scratch() / "out1" / "Big" / "Huge.prg");
    KivTransferResult inTheWay = KivPrgExport().Run(*app, ScratchDos("out1"), progress);
    EXPECT_EQ(inTheWay.outcome, KivTransferOutcome::Failed);
    EXPECT_NE(ReadFile(Scratch() / "out1" / "Big" / "Big.log").find("-->Error writing "), std::string::npos);

    // A file-size limit that the PRG file passes while the log and the .KEA stay below it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        KivSilentProgress silent;
        KivTransferResult r = KivPrgExport().Run(*app, ScratchDos("out2"), silent);
        _exit(r.outcome == KivTransferOutcome::Failed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a cut PRG file was reported as done";
    EXPECT_NE(ReadFile(Scratch() / "out2" / "Big" / "Big.log").find("-->Error writing "), std::string::npos);
}

namespace {

struct SourceEntity {
    std::string name;
    std::string source;
    bool operator==(const SourceEntity&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const SourceEntity& e) {
        return out << e.name << ": " << ::testing::PrintToString(e.source);
    }
};

// A module read back from its PRG file ends each entity with the line end the file gave it.
std::string WithoutLineEnds(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// The entities of a module that an export as PRG carries: types 1, 3 and 4, in list order.
std::vector<SourceEntity> SourceEntities(const KivModuleAbstract& module) {
    std::vector<SourceEntity> list;
    for (const auto& entity : module.EntityList()) {
        const auto* vo = dynamic_cast<const KivVOEntity*>(entity.get());
        const uint32_t type = vo ? vo->NumType() : 0;
        if (type == 1 || type == 3 || type == 4)
            list.push_back({entity->Name(), WithoutLineEnds(entity->Source())});
    }
    return list;
}

} // namespace

class KivPrgImportTest : public KivPrgExportTest {
protected:
    // Asks through the scripted prompt, as the window and kivrepo ask through theirs.
    KivMessageQuestion m_question;
    KivKeaPlan Plan() {
        KivVOProject project;
        return KivKeaPlan::Read(ScratchDos("out\\Shop\\Shop.KEA"), project, ScratchDos("bin"));
    }
    void ExportShop() {
        auto app = Shop();
        KivSilentProgress progress;
        ASSERT_TRUE(KivPrgExport().Run(*app, ScratchDos("out"), progress).Done());
    }
};

TEST_F(KivPrgImportTest, CreatesExternalModulesBoundToTheFiles) {
    ExportShop();
    KivKeaPlan plan = Plan();
    ASSERT_FALSE(plan.CanImport());
    ASSERT_TRUE(plan.Rename("Shop2"));
    KivCountingProgress progress;
    KivVOProject project;
    KivPrgImport import;
    KivTransferResult result = import.Run(plan, project, progress, m_question);
    ASSERT_EQ(result.outcome, KivTransferOutcome::Done) << result.message;
    auto created = project.ApplicationFind("Shop2");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->ModuleNameList(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    for (const auto& module : created->ModuleList()) {
        EXPECT_TRUE(module->IsExternal()) << module->Name();
        EXPECT_EQ(module->ExternalFile(), ScratchDos("out\\Shop\\" + module->Name() + ".prg"));
    }
    EXPECT_EQ(created->LibraryNameList(), (std::vector<std::string>{"LibA", "LibB"}));
    EXPECT_EQ(created->UDCNameList(), (std::vector<std::string>{"STD.UDC", "MY.UDC"}));
    EXPECT_EQ(created->CHNameList(), (std::vector<std::string>{"WIN.CH"}));
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"0:Alpha", "0:Beta", "0:Gamma"}));
    EXPECT_EQ(progress.ranges, (std::vector<std::string>{"0:1-3"}));
}

TEST_F(KivPrgImportTest, MissingModulesAreLeftOutAndFailuresAsk) {
    ExportShop();
    fs::remove(Out("Beta.prg"));
    KivKeaPlan plan = Plan();
    ASSERT_TRUE(plan.Rename("Shop2"));
    ASSERT_TRUE(plan.modules[1].missing);
    // Alpha's file goes away after the summary: binding it fails. No goes on with Gamma.
    fs::remove(Out("Alpha.prg"));
    m_prompt->boxAnswers = {KivBox::IdNo};
    KivVOProject project;
    KivSilentProgress progress;
    KivTransferResult result = KivPrgImport().Run(plan, project, progress, m_question);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.errors, 1);
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Module Create Error.\r\nAbort Operation ?");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Alpha");
    EXPECT_EQ(project.ApplicationFind("Shop2")->ModuleNameList(), std::vector<std::string>{"Gamma"});

    // Yes stops there; the application stays with what was made before.
    WriteFile(Out("Beta.prg"), "FUNCTION B()\r\n");
    plan = Plan();
    ASSERT_TRUE(plan.Rename("Shop3"));
    fs::remove(Out("Beta.prg"));
    m_prompt->boxAnswers = {KivBox::IdYes};
    EXPECT_EQ(KivPrgImport().Run(plan, project, progress, m_question).outcome, KivTransferOutcome::Aborted);
    EXPECT_TRUE(project.ApplicationFind("Shop3")->ModuleNameList().empty());
}

TEST_F(KivPrgImportTest, CancelAndCreateFailure) {
    ExportShop();
    KivKeaPlan plan = Plan();
    ASSERT_TRUE(plan.Rename("Shop2"));
    KivVOProject project;
    KivCountingProgress cancelFirst(1);
    EXPECT_EQ(KivPrgImport().Run(plan, project, cancelFirst, m_question).outcome,
              KivTransferOutcome::Cancelled);
    EXPECT_EQ(project.ApplicationFind("Shop2")->ModuleNameList(), std::vector<std::string>{"Alpha"});

    ASSERT_TRUE(plan.Rename("Shop3"));
    Fault().FailOn("AppCreate", 1);
    KivSilentProgress progress;
    KivPrgImport import;
    const KivTransferResult failed = import.Run(plan, project, progress, m_question);
    EXPECT_EQ(failed.outcome, KivTransferOutcome::Failed);
    EXPECT_FALSE(import.Application());
    EXPECT_TRUE(m_prompt->boxes.empty()) << "the caller shows the box";
    ASSERT_EQ(failed.notices.size(), 1u);
    EXPECT_EQ(failed.notices[0].text, "Application Create Error.\r\nOperation Aborted !");
    EXPECT_EQ(failed.notices[0].caption, "Shop3");
    EXPECT_EQ(failed.notices[0].style, KivBox::Ok | KivBox::IconStop);
}

TEST_F(KivPrgImportTest, RoundTripIntoANewRepository) {
    auto original = Shop();
    KivSilentProgress progress;
    ASSERT_TRUE(KivPrgExport().Run(*original, ScratchDos("out"), progress).Done());
    std::vector<std::vector<SourceEntity>> expected;
    for (const auto& module : original->ModuleList())
        expected.push_back(SourceEntities(*module));
    const auto libraries = original->LibraryNameList();
    const auto udcs = original->UDCNameList();
    const auto chs = original->CHNameList();
    original.reset();

    // A second repository in a home of its own.
    m_session.reset();
    fs::create_directories(Scratch() / "home2");
    setenv("KIV_HOME", (Scratch() / "home2").c_str(), 1);
    m_store = std::make_shared<KivSqliteEngine>();
    m_fault = std::make_shared<KivFaultEngine>(m_store);
    m_session = std::make_unique<KivRepositorySession>(m_fault);
    ASSERT_TRUE(m_session->Success());
    Import("LibA", {{"LibAMod", {}}});
    Import("LibB", {{"LibBMod", {}}});

    KivKeaPlan plan = Plan();
    ASSERT_TRUE(plan.CanImport());
    ASSERT_TRUE(plan.Rename("Store"));
    KivVOProject project;
    KivPrgImport import;
    ASSERT_TRUE(import.Run(plan, project, progress, m_question).Done());
    auto copy = project.ApplicationFind("Store");
    ASSERT_TRUE(copy);
    const auto modules = copy->ModuleList();
    ASSERT_EQ(modules.size(), expected.size());
    for (size_t i = 0; i < modules.size(); ++i) {
        EXPECT_TRUE(modules[i]->IsExternal());
        EXPECT_EQ(SourceEntities(*modules[i]), expected[i]) << modules[i]->Name();
    }
    EXPECT_EQ(copy->LibraryNameList(), libraries);
    EXPECT_EQ(copy->UDCNameList(), udcs);
    EXPECT_EQ(copy->CHNameList(), chs);
}
