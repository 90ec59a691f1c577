#include "explorer/transfer/KivAppExport.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/transfer/KivTransferFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Shop uses Tools, Base and the system library VOSYS; Tools uses Base. Shop has a recorded
// export name, Tools one in another folder, Base none.
class KivAppExportTest : public KivTransferTest {
protected:
    void SetUp() override {
        KivTransferTest::SetUp();
        Lib("Base");
        Lib("Tools", {"Base"})->FullPath("Z:\\elsewhere\\tools.aef");
        Lib("VOSYS");
        MakeSystemLibrary("VOSYS");
        m_shop = App("Shop", {"Tools", "VOSYS", "Base"});
        m_shop->FullPath("C:\\OUT\\SHOP.AEF");
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        KivTransferTest::TearDown();
    }

    KivTransferResult Export(KivAppExportOptions options = {}) {
        if (options.folder.empty())
            options.folder = "  " + ScratchDos("out") + " ";
        return KivExportApp(*m_shop, options, m_progress);
    }
    fs::path Out(const std::string& name = {}) const { return Scratch() / "out" / "Shop" / name; }
    std::string Dos(const std::string& name) const { return ScratchDos("out") + "\\Shop\\" + name; }

    // The log lines of one exported application or library.
    std::string Names(const std::string& aef) const {
        return "   Exp Name : " + aef + "\r\n   Kiv Name : " + Dos(aef) + "\r\n";
    }
    static std::string Head(bool dlls = false) {
        return std::string("Exporting Application and Implicants.\r\nApplication : Shop\r\nInclude DLLs: ") +
               (dlls ? "True" : "False") + "\r\n";
    }

    static constexpr const char* kAppBlock = "[APP]\r\nName=Shop\r\nAEF=SHOP.AEF\r\n\r\n";
    static constexpr const char* kBaseBlock = "[LIB001]\r\nName=Base\r\nAEF=Base.AEF\r\n\r\n";
    static constexpr const char* kToolsBlock = "[LIB002]\r\nName=Tools\r\nAEF=tools.aef\r\n\r\n";
    static constexpr const char* kError = "--->Error : Cannot Export to AEF\r\n";

    std::shared_ptr<KivVOApplication> m_shop;
    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
    KivRecordingProgress m_progress;
};

TEST_F(KivAppExportTest, WritesTheApplicationItsLibrariesTheKaiAndTheLog) {
    const KivTransferResult result = Export();
    EXPECT_EQ(result.outcome, KivTransferOutcome::Done);
    EXPECT_EQ(result.errors, 0);
    EXPECT_EQ(result.logPath, Dos("Shop.log"));

    EXPECT_EQ(ReadFile(Out("Shop.KAI")), std::string(kAppBlock) + kBaseBlock + kToolsBlock);
    EXPECT_EQ(ReadFile(Out("Shop.log")), Head() + Names("SHOP.AEF") + "\r\nLibrary : Base\r\n" +
                                             Names("Base.AEF") + "\r\nLibrary : Tools\r\n" +
                                             Names("tools.aef"));
    for (const char* aef : {"SHOP.AEF", "Base.AEF", "tools.aef"})
        EXPECT_GT(fs::file_size(Out(aef)), 0u) << aef;
    EXPECT_FALSE(fs::exists(Out("VOSYS.AEF")));

    EXPECT_EQ(m_progress.caption, "Exporting Application : Shop");
    EXPECT_EQ(m_progress.label, "Application :");
    EXPECT_EQ(m_progress.maximum, 3u);
    EXPECT_EQ(m_progress.positions, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(m_progress.texts, (std::vector<std::string>{"Shop", "Base", "Tools"}));
    EXPECT_TRUE(m_prompt->boxes.empty());
}

TEST_F(KivAppExportTest, ApplicationWithoutLibrariesAndDllForm) {
    m_shop = App("Lone");
    KivAppExportOptions options;
    options.folder = ScratchDos("out");
    options.includeDlls = true;
    EXPECT_EQ(KivExportApp(*m_shop, options, m_progress).outcome, KivTransferOutcome::Done);
    const fs::path folder = Scratch() / "out" / "Lone";
    EXPECT_EQ(ReadFile(folder / "Lone.KAI"), "[APP]\r\nName=Lone\r\nAEF=Lone.AEF\r\n\r\n");
    EXPECT_EQ(ReadFile(folder / "Lone.log"),
              "Exporting Application and Implicants.\r\nApplication : Lone\r\nInclude DLLs: True\r\n"
              "   Exp Name : Lone.AEF\r\n   Kiv Name : " +
                  ScratchDos("out") + "\\Lone\\Lone.AEF\r\n");
    EXPECT_EQ(m_progress.minimum, 1u);
    EXPECT_EQ(m_progress.maximum, 1u);
    EXPECT_EQ(m_progress.questions, 0);
}

TEST_F(KivAppExportTest, FailedExportsAreLoggedAndAbortOnErrorStops) {
    // Shop goes through; every export after it fails.
    ASSERT_TRUE(Fault().FailOn("AdamExportApp", 5, 1));
    KivTransferResult result = Export();
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.errors, 2);
    // A library that could not be written is still listed.
    EXPECT_EQ(ReadFile(Out("Shop.KAI")), std::string(kAppBlock) + kBaseBlock + kToolsBlock);
    EXPECT_EQ(ReadFile(Out("Shop.log")), Head() + Names("SHOP.AEF") + "\r\nLibrary : Base\r\n" +
                                             Names("Base.AEF") + kError + "\r\nLibrary : Tools\r\n" +
                                             Names("tools.aef") + kError);

    KivAppExportOptions abort;
    abort.abortOnError = true;
    Fault().HealAll();
    ASSERT_TRUE(Fault().FailOn("AdamExportApp", 5, 1));
    result = Export(abort);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Aborted);
    EXPECT_EQ(result.errors, 1);
    EXPECT_EQ(ReadFile(Out("Shop.KAI")), std::string(kAppBlock) + kBaseBlock);
    EXPECT_EQ(ReadFile(Out("Shop.log")),
              Head() + Names("SHOP.AEF") + "\r\nLibrary : Base\r\n" + Names("Base.AEF") + kError);

    // When the application itself fails, no library is tried.
    Fault().HealAll();
    Fault().ResetCalls();
    ASSERT_TRUE(Fault().FailOn("AdamExportApp", 5));
    result = Export(abort);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Aborted);
    EXPECT_EQ(Fault().Calls("AdamExportApp"), 1u);
    EXPECT_EQ(ReadFile(Out("Shop.KAI")), kAppBlock);
    EXPECT_EQ(ReadFile(Out("Shop.log")), Head() + Names("SHOP.AEF") + kError);
}

TEST_F(KivAppExportTest, CancelStopsBeforeTheNextLibrary) {
    m_progress.cancelAt = 2;
    const KivTransferResult result = Export();
    EXPECT_EQ(result.outcome, KivTransferOutcome::Cancelled);
    EXPECT_EQ(ReadFile(Out("Shop.KAI")), std::string(kAppBlock) + kBaseBlock);
    EXPECT_EQ(ReadFile(Out("Shop.log")),
              Head() + Names("SHOP.AEF") + "\r\nLibrary : Base\r\n" + Names("Base.AEF"));
    EXPECT_FALSE(fs::exists(Out("tools.aef")));
    EXPECT_EQ(result.logPath, Dos("Shop.log"));
}

TEST_F(KivAppExportTest, RefusesSystemLibrariesAndInvalidApplications) {
    auto system = KivVOProject().ApplicationFind("VOSYS");
    KivAppExportOptions options;
    options.folder = ScratchDos("out");
    KivTransferResult result = KivExportApp(*system, options, m_progress);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_TRUE(m_prompt->boxes.empty()) << "the caller shows the box";
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.notices[0].text, "You can't export a System Library !");
    EXPECT_EQ(result.notices[0].caption, "Error");
    EXPECT_EQ(result.notices[0].style, KivBox::Ok | KivBox::IconExclamation);

    KivVOApplication none;
    result = KivExportApp(none, options, m_progress);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_TRUE(result.notices.empty());
    EXPECT_FALSE(fs::exists(Scratch() / "out"));
}

TEST_F(KivAppExportTest, NamesStayInsideTheTargetFolderAndNeverCollide) {
    // A name that climbs out of the folder, export names that climb out or name a folder only,
    // two libraries recording the same file name and one recording the name of the .KAI.
    Lib("One")->FullPath("Z:\\a\\LIB.AEF");
    Lib("Two")->FullPath("Z:\\b\\lib.aef");
    Lib("Three")->FullPath("C:\\OUT\\");
    Lib("Four")->FullPath("Z:\\x\\.._.._evil_1.kai");
    auto app = App("..\\..\\Evil:1", {"One", "Two", "Three", "Four"});
    app->FullPath("..\\..\\Evil.aef");
    KivAppExportOptions options;
    options.folder = ScratchDos("out");
    EXPECT_EQ(KivExportApp(*app, options, m_progress).outcome, KivTransferOutcome::Done);

    for (const auto& entry : fs::directory_iterator(Scratch()))
        EXPECT_TRUE(entry.path().filename() == "out" || entry.path().extension() == ".aef") << entry.path();
    const fs::path folder = Scratch() / "out" / ".._.._Evil_1";
    ASSERT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(Scratch() / "out"), fs::directory_iterator()), 1);
    EXPECT_EQ(ReadFile(folder / ".._.._Evil_1.KAI"),
              "[APP]\r\nName=..\\..\\Evil:1\r\nAEF=Evil.aef\r\n\r\n"
              "[LIB001]\r\nName=One\r\nAEF=LIB.AEF\r\n\r\n"
              "[LIB002]\r\nName=Two\r\nAEF=lib_2.aef\r\n\r\n"
              "[LIB003]\r\nName=Three\r\nAEF=Three.AEF\r\n\r\n"
              "[LIB004]\r\nName=Four\r\nAEF=.._.._evil_1_2.kai\r\n\r\n");
    for (const char* file :
         {"Evil.aef", "LIB.AEF", "lib_2.aef", "Three.AEF", ".._.._evil_1_2.kai", ".._.._Evil_1.log"})
        EXPECT_TRUE(fs::is_regular_file(folder / file)) << file;
}

TEST_F(KivAppExportTest, WriteFailuresEndTheRunAsFailed) {
    KivAppExportOptions options;
    options.folder = ScratchDos("out");

    // The .KAI on a full disk: logged, and the run is not done.
    fs::create_directories(Out());
    fs::create_symlink("/dev/full", Out("Shop.KAI"));
    KivTransferResult result = Export(options);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.errors, 1);
    const std::string log = ReadFile(Out("Shop.log"));
    EXPECT_NE(log.find("--->Error : Cannot Write " + Dos("Shop.KAI") + "\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Library : Tools"), std::string::npos);

    // The log itself on a full disk: nothing to log into, the message says why.
    fs::remove(Out("Shop.KAI"));
    fs::remove(Out("Shop.log"));
    fs::create_symlink("/dev/full", Out("Shop.log"));
    result = Export(options);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.message, "Cannot write the log " + Dos("Shop.log") + ": Disk Full");

    // A regular file in the way of the folder.
    WriteFile(Scratch() / "file", "x");
    options.folder = ScratchDos("file");
    result = Export(options);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_TRUE(result.logPath.empty());
    EXPECT_EQ(ReadFile(Scratch() / "file"), "x");
}

TEST_F(KivAppExportTest, AefThatDoesNotFitIsLoggedAsFailed) {
    // Base gets a source too big for the file-size limit the child runs under; the log and the
    // .KAI still fit.
    m_shop = App("Big", {"Base"});
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("Base").AppInfo(1300000000, 1200000000, true).Module("Huge", 1, 1);
    w.Entity({"HUGEFN", 3, 17, "FUNCTION HugeFn()", std::string(20000, 'x')});
    WriteFile(Scratch() / "huge.aef", w.End());
    ASSERT_TRUE(KivVOProject().ImportApplication("Base", ScratchDos("huge.aef"), 1, 0));

    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{8000, 8000};
        setrlimit(RLIMIT_FSIZE, &limit);
        KivAppExportOptions options;
        options.folder = ScratchDos("out");
        KivSilentProgress silent;
        const KivTransferResult result = KivExportApp(*m_shop, options, silent);
        _exit(result.outcome == KivTransferOutcome::Failed && result.errors == 1 ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string log = ReadFile(Scratch() / "out" / "Big" / "Big.log");
    EXPECT_NE(log.find("Library : Base\r\n   Exp Name : Base.AEF\r\n   Kiv Name : " + ScratchDos("out") +
                       "\\Big\\Base.AEF\r\n--->Error : Cannot Export to AEF\r\n"),
              std::string::npos)
        << log;
}
