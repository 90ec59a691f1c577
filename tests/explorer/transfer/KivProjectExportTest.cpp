#include "KivProjectTransferFixture.h"

#include "explorer/transfer/KivProjectExport.h"
#include "support/KivPathUtil.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class KivProjectExportTest : public KivProjectTransferTest {
protected:
    // The head of the log of the project Shop, and the lines of its applications.
    std::string AppLines(int number, const std::string& name, const std::string& expName,
                         const std::string& file) {
        char head[32];
        std::snprintf(head, sizeof head, "   Application%03d : ", number);
        return head + name + "\r\n   Exp Name : " + expName +
               "\r\n   Kiv Name : " + ScratchDos("out\\Shop\\" + file) + "\r\n";
    }
    std::string Kpi(const std::vector<std::pair<std::string, std::string>>& apps) {
        std::string text = "[PRJ]\r\nName=Shop\r\nPath=" + ScratchDos("dirs\\Shop") + "\r\n\r\n";
        int n = 0;
        for (const auto& [name, file] : apps) {
            char head[16];
            std::snprintf(head, sizeof head, "[APP%03d]", ++n);
            text += head + std::string("\r\nName=") + name + "\r\nAEF=" + ScratchDos("out\\Shop\\" + file) +
                    "\r\n\r\n";
        }
        return text;
    }
    std::filesystem::path Out(const std::string& relative = {}) const { return Scratch() / "out" / relative; }
};

TEST_F(KivProjectExportTest, WritesEveryApplicationTheLogAndTheInformationFile) {
    auto project = BuildShop();
    std::filesystem::create_directories(Out());
    KivRecordingProgress progress;
    KivProjectExport run(project, progress);
    KivTransferResult result = run.Run(ScratchDos("out"), false);

    EXPECT_EQ(result.outcome, KivTransferOutcome::Done) << result.message;
    EXPECT_EQ(result.errors, 0);
    EXPECT_TRUE(run.WentThrough());
    EXPECT_EQ(run.Exported(), 4);
    EXPECT_EQ(run.Skipped(), 1);
    EXPECT_EQ(result.logPath, ScratchDos("out\\Shop\\Shop.log"));
    EXPECT_EQ(run.KpiPath(), ScratchDos("out\\Shop\\Shop.KPI"));

    const std::string log = "Exporting Project .\r\nProject : Shop\r\nApplication Count: 5\r\n\r\n" +
                            AppLines(1, "Base", "Base.AEF", "Base.AEF") + "\r\n" +
                            AppLines(2, "Reports", "Reports.AEF", "Reports.AEF") + "\r\n" +
                            AppLines(3, "Shop", "Shop.AEF", "Shop.AEF") + "\r\n" +
                            AppLines(4, "Tools", "D:\\Old\\Export\\TOOLS_V2.AEF", "TOOLS_V2.AEF") + "\r\n" +
                            AppLines(5, "Win32", "Win32.AEF", "Win32.AEF") +
                            "-->Skipping : System Library\r\n\r\n";
    EXPECT_EQ(ReadFile(Out("Shop/Shop.log")), log);
    // Libraries first, each before its users; the system library nowhere; the library of no
    // project is not seen by the engine's search-path walk and so is not listed either.
    EXPECT_EQ(ReadFile(Out("Shop/Shop.KPI")), Kpi({{"Base", "Base.AEF"},
                                                   {"Reports", "Reports.AEF"},
                                                   {"Shop", "Shop.AEF"},
                                                   {"Tools", "TOOLS_V2.AEF"}}));
    for (const char* file : {"Base.AEF", "Reports.AEF", "Shop.AEF", "TOOLS_V2.AEF"})
        EXPECT_TRUE(std::filesystem::is_regular_file(Out(std::string("Shop/") + file))) << file;
    EXPECT_FALSE(std::filesystem::exists(Out("Shop/Win32.AEF")));
    // The search path entry of the absent library is kept in the AEF all the same.
    bool outside = false;
    for (const auto& [tag, data] : Records(ReadFile(Out("Shop/Reports.AEF"))))
        outside = outside || (tag == 0x0004 && data.starts_with("Outside"));
    EXPECT_TRUE(outside);

    EXPECT_EQ(progress.caption, "Exporting Project : Shop");
    EXPECT_EQ(progress.label, "Application :");
    EXPECT_EQ(progress.minimum, 1u);
    EXPECT_EQ(progress.maximum, 5u);
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"Base", "Reports", "Shop", "Tools", "Win32"}));
}

TEST_F(KivProjectExportTest, AnEmptyProjectGivesTheHeadLinesAndTheProjectBlock) {
    auto project = MakeProject("Shop");
    std::filesystem::create_directories(Out());
    KivRecordingProgress progress;
    KivTransferResult result = KivProjectExport(project, progress).Run(ScratchDos("out"), false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Done);
    EXPECT_EQ(ReadFile(Out("Shop/Shop.log")),
              "Exporting Project .\r\nProject : Shop\r\nApplication Count: 0\r\n\r\n");
    EXPECT_EQ(ReadFile(Out("Shop/Shop.KPI")), Kpi({}));
}

TEST_F(KivProjectExportTest, AMissingOrUnmakableFolderWritesNothing) {
    auto project = BuildShop();
    KivRecordingProgress progress;
    KivProjectExport missing(project, progress);
    KivTransferResult result = missing.Run(ScratchDos("nowhere"), false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_FALSE(missing.WentThrough());
    EXPECT_EQ(result.logPath, "");
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "nowhere"));

    // A file where the project folder should be.
    std::filesystem::create_directories(Out());
    WriteFile(Out("Shop"), "in the way");
    KivProjectExport blocked(project, progress);
    result = blocked.Run(ScratchDos("out"), false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_FALSE(blocked.WentThrough());
    EXPECT_EQ(ReadFile(Out("Shop")), "in the way");

    result = KivProjectExport(project, progress).Run("D:\\unmapped", false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
}

TEST_F(KivProjectExportTest, CancelStopsBeforeTheNextApplicationAndWritesNoInformationFile) {
    auto project = BuildShop();
    std::filesystem::create_directories(Out());
    KivRecordingProgress progress;
    progress.cancelAt = 3; // noticed at Shop
    KivProjectExport run(project, progress);
    KivTransferResult result = run.Run(ScratchDos("out"), false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Cancelled);
    EXPECT_FALSE(run.WentThrough());
    EXPECT_EQ(ReadFile(Out("Shop/Shop.log")),
              "Exporting Project .\r\nProject : Shop\r\nApplication Count: 5\r\n\r\n" +
                  AppLines(1, "Base", "Base.AEF", "Base.AEF") + "\r\n" +
                  AppLines(2, "Reports", "Reports.AEF", "Reports.AEF") + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(Out("Shop/Shop.KPI")));
    EXPECT_TRUE(std::filesystem::exists(Out("Shop/Reports.AEF"))) << "files written before a stop stay";
    EXPECT_FALSE(std::filesystem::exists(Out("Shop/Shop.AEF")));
}

TEST_F(KivProjectExportTest, AFailedExportIsLoggedAndAbortOnErrorStopsThere) {
    auto project = BuildShop();
    std::filesystem::create_directories(Out());
    KivRecordingProgress progress;
    const std::string head = "Exporting Project .\r\nProject : Shop\r\nApplication Count: 5\r\n\r\n";

    // Without "Abort On Error" the run goes on, lists the failed application and is not Done.
    Fault().FailOn("AdamExportApp", 112, 1); // the second export: disk full
    KivProjectExport goOn(project, progress);
    KivTransferResult result = goOn.Run(ScratchDos("out"), false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.errors, 3) << "every export after the first fails";
    EXPECT_TRUE(goOn.WentThrough()) << "Export All goes on with the next project";
    const std::string error = "-->Error : Cannot Export to AEF\r\n";
    EXPECT_EQ(ReadFile(Out("Shop/Shop.log")),
              head + AppLines(1, "Base", "Base.AEF", "Base.AEF") + "\r\n" +
                  AppLines(2, "Reports", "Reports.AEF", "Reports.AEF") + error + "\r\n" +
                  AppLines(3, "Shop", "Shop.AEF", "Shop.AEF") + error + "\r\n" +
                  AppLines(4, "Tools", "D:\\Old\\Export\\TOOLS_V2.AEF", "TOOLS_V2.AEF") + error + "\r\n" +
                  AppLines(5, "Win32", "Win32.AEF", "Win32.AEF") + "-->Skipping : System Library\r\n\r\n");
    EXPECT_TRUE(std::filesystem::exists(Out("Shop/Shop.KPI")));

    // With it the log ends at the error line, and there is no information file.
    Fault().HealAll();
    std::filesystem::remove_all(Out("Shop"));
    Fault().FailOn("AdamExportApp", 112, 1);
    KivProjectExport stop(project, progress);
    result = stop.Run(ScratchDos("out"), true);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Aborted);
    EXPECT_FALSE(stop.WentThrough());
    EXPECT_EQ(ReadFile(Out("Shop/Shop.log")), head + AppLines(1, "Base", "Base.AEF", "Base.AEF") + "\r\n" +
                                                  AppLines(2, "Reports", "Reports.AEF", "Reports.AEF") +
                                                  "-->Error : Cannot Export to AEF\r\n");
    EXPECT_FALSE(std::filesystem::exists(Out("Shop/Shop.KPI")));
}

TEST_F(KivProjectExportTest, NamesAreMappedToSafeFileNamesThatStayInTheFolder) {
    auto project = MakeProject("../Up:Prj");
    auto a = AddApp(*project, {"Dots", {}, false, "", "", {}, {}, {{"M", {}}}});
    a->FullPath("..\\..\\..\\evil.aef");
    auto b = AddApp(*project, {"CON", {}, false, "", "", {}, {}, {{"M", {}}}});
    auto c = AddApp(*project, {"Same", {}, false, "", "", {}, {}, {{"M", {}}}});
    c->FullPath("C:\\elsewhere\\EVIL.AEF"); // the same file name as Dots: must not overwrite it
    auto d = AddApp(*project, {"Log", {}, false, "", "", {}, {}, {{"M", {}}}});
    d->FullPath("C:\\x\\.._Up_Prj.KPI"); // the information file's own name
    std::filesystem::create_directories(Out());
    KivRecordingProgress progress;
    KivProjectExport run(project, progress);
    KivTransferResult result = run.Run(ScratchDos("out"), false);
    ASSERT_EQ(result.outcome, KivTransferOutcome::Done) << result.message;

    EXPECT_EQ(run.ProjectFolder(), ScratchDos("out\\.._Up_Prj"));
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Scratch() / "out"))
        files.push_back(std::filesystem::relative(entry.path(), Scratch() / "out").string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files,
              (std::vector<std::string>{".._Up_Prj", ".._Up_Prj/.._Up_Prj.KPI", ".._Up_Prj/.._Up_Prj.log",
                                        ".._Up_Prj/.._Up_Prj_2.KPI", ".._Up_Prj/EVIL_2.AEF",
                                        ".._Up_Prj/_CON.AEF", ".._Up_Prj/evil.aef"}));
    const std::string kpi = ReadFile(Out(".._Up_Prj/.._Up_Prj.KPI"));
    EXPECT_NE(kpi.find("Name=../Up:Prj\r\n"), std::string::npos) << "values are written raw";
    EXPECT_NE(kpi.find("AEF=" + ScratchDos("out\\.._Up_Prj\\EVIL_2.AEF")), std::string::npos);
}

// Writes that fail: the log says so where it still can, and the run is never Done.
TEST_F(KivProjectExportTest, AFullDiskIsReportedAsFailure) {
    auto project = BuildShop();
    std::filesystem::create_directories(Out("Shop"));
    std::filesystem::create_symlink("/dev/full", Out("Shop/Shop.KPI"));
    std::filesystem::create_symlink("/dev/full", Out("Shop/Tools.AEF"));
    auto tools = project->ApplicationFind("Tools");
    tools->FullPath("");
    KivRecordingProgress progress;
    KivProjectExport run(project, progress);
    KivTransferResult result = run.Run(ScratchDos("out"), false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_FALSE(run.WentThrough()) << "without its information file the folder cannot be imported";
    EXPECT_EQ(result.errors, 2);
    const std::string log = ReadFile(Out("Shop/Shop.log"));
    EXPECT_NE(log.find("   Kiv Name : " + ScratchDos("out\\Shop\\Tools.AEF") +
                       "\r\n-->Error : Cannot Export to AEF\r\n"),
              std::string::npos);
    EXPECT_NE(log.find("-->Error : Cannot write " + ScratchDos("out\\Shop\\Shop.KPI")), std::string::npos)
        << log;
    EXPECT_NE(result.message.find("Shop.KPI"), std::string::npos);

    // The log itself on a full disk.
    std::filesystem::remove_all(Out("Shop"));
    std::filesystem::create_directories(Out("Shop"));
    std::filesystem::create_symlink("/dev/full", Out("Shop/Shop.log"));
    KivProjectExport quiet(project, progress);
    result = quiet.Run(ScratchDos("out"), false);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_NE(result.message.find("Shop.log"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(Out("Shop/Shop.KPI")));
}

// A file-size limit makes every write past it fail, as a full disk does, for the AEF files, the
// log and the information file alike.
TEST_F(KivProjectExportTest, AFileSizeLimitInAChildProcessFailsTheRun) {
    auto project = BuildShop();
    std::filesystem::create_directories(Out());
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{300, 300};
        setrlimit(RLIMIT_FSIZE, &limit);
        KivSilentProgress progress;
        KivTransferResult result = KivProjectExport(project, progress).Run(ScratchDos("out"), false);
        _exit(result.outcome == KivTransferOutcome::Failed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the run must be reported as failed";
    EXPECT_FALSE(std::filesystem::exists(Out("Shop/Shop.KPI"))) << "no partial information file";
}

TEST_F(KivProjectExportTest, ExportAllGoesThroughEveryProjectAndStopsAtOneThatDoesNot) {
    BuildShop();
    auto other = MakeProject("Other");
    AddApp(*other, {"Lone", {}, false, "", "", {}, {}, {{"M", {}}}});
    KivRecordingProgress progress;
    std::vector<KivTransferResult> each;
    KivTransferResult result = KivExportAllProjects(Repo(), ScratchDos("all\\base"), false, progress, &each);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Done) << result.message;
    ASSERT_EQ(each.size(), 3u);
    for (const char* file : {"Default/Default.KPI", "Other/Lone.AEF", "Other/Other.KPI", "Shop/Shop.KPI"})
        EXPECT_TRUE(std::filesystem::exists(Scratch() / "all/base" / file)) << file;
    EXPECT_EQ(Repo().CurrentProjectName(), "Shop") << "the last project exported stays selected";

    // A failed application does not stop the others; Cancel does, with "Operation Aborted.".
    Fault().FailOn("AdamExportApp", 112);
    each.clear();
    result = KivExportAllProjects(Repo(), ScratchDos("all\\failing"), false, progress, &each);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(each.size(), 3u);
    EXPECT_EQ(result.message, "");
    Fault().HealAll();

    progress.questions = 0;
    progress.cancelAt = 1; // Other, the second project, has one application
    each.clear();
    result = KivExportAllProjects(Repo(), ScratchDos("all\\cancel"), false, progress, &each);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Cancelled);
    EXPECT_EQ(result.message, "Operation Aborted.");
    EXPECT_EQ(each.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "all/cancel/Shop"));
}
