#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"

#include <filesystem>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A library "Lib" with one module "Grüß" (the name in Windows-1252, as export files hold it).
std::string LibAef() {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("Lib").AppInfo(1300000000, 1200000000, true).Module("Gr\xFC\xDF", 1100000000, 1000000000);
    w.Entity({"HELP", 3, 17, "FUNCTION Help()", "FUNCTION Help()\r\nRETURN NIL\r\n"});
    return w.End();
}

// Runs commands from another working folder and comes back, whatever happens.
class WorkingFolder {
public:
    explicit WorkingFolder(const fs::path& folder) : m_before(fs::current_path()) {
        fs::create_directories(folder);
        fs::current_path(folder);
    }
    ~WorkingFolder() { fs::current_path(m_before); }

private:
    fs::path m_before;
};

} // namespace

using CliTest = KivCliHome;

TEST_F(CliTest, HomeShowsThePlatformHome) {
    CliRun r = Kivrepo({"home"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = r.Doc();
    EXPECT_EQ(doc["home"], Home().string());
    EXPECT_EQ(doc["driveC"], (Home() / "drive_c").string());
}

TEST_F(CliTest, DosPathTakesBothForms) {
    WriteFile(Scratch() / "Mixed" / "file.prg", "");
    CliRun r = Kivrepo({"dospath", Host("MIXED/File.PRG")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.Doc()["host"], Host("Mixed/file.prg"));

    r = Kivrepo({"dospath", "D:\\nowhere"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "The system cannot find the path specified.\n");
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Kivrepo({}).code, 2);
    EXPECT_EQ(Kivrepo({"no-such-command"}).code, 2);
    EXPECT_EQ(Kivrepo({"dospath"}).code, 2);
}

// Every command that takes a path, given relative ones as a person types them in a shell; the
// folders an export writes into are made when missing.
TEST_F(CliTest, PathsAreTakenFromTheWorkingFolder) {
    WriteFile(Scratch() / "work/in/lib.aef", LibAef());
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> steps{
        {{"create-project", "Rel", "dirs/rel"}, 0, "dirs/rel/kivproject.db"},
        {{"import-aef", "in/lib.aef", "Lib", "--project", "Rel"}, 0, ""},
        {{"export-aef", "Lib", "in/../nouveau/Caf\xC3\xA9.aef", "--project", "rel"}, 0, "nouveau/Caf\xC3\xA9.aef"},
        {{"inspect", "nouveau/Caf\xC3\xA9.aef"}, 0, ""},
        {{"dospath", "in\\lib.aef"}, 0, ""},
        {{"export-project", "out/prj", "--project", "Rel"}, 0, "out/prj/Rel/Rel.KPI"},
        {{"export-all", "out/all"}, 0, "out/all/Rel/Rel.log"},
        {{"export-app", "Lib", "out/app", "--project", "Rel"}, 0, "out/app/Lib/Lib.KAI"},
        {{"export-prg", "Lib", "out/prg", "--project", "Rel"}, 0, "out/prg/Lib/Lib.KEA"},
        {{"import-project", "out/prj/Rel/Rel.KPI", "--name", "Copy", "--path", "dirs/copy", "--create-path"},
         0,
         "dirs/copy/kivproject.db"},
        {{"import-app", "out/app/Lib/Lib.KAI", "--project", "Copy", "--rename", "Lib2"}, 0, ""},
        {{"import-prg", "out/prg/Lib/Lib.KEA", "--project", "Copy", "--rename", "Lib3"}, 0, ""},
        {{"export-path", "aef", "--project", "Copy"}, 0, ""},
        {{"save-reg", "reg/ide.reg", "--groups", "3"}, 0, "reg/ide.reg"},
    };
    std::vector<CliRun> runs;
    {
        WorkingFolder work(Scratch() / "work");
        for (const auto& step : steps)
            runs.push_back(Kivrepo(std::get<0>(step)));
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        const auto& [args, code, file] = steps[i];
        EXPECT_EQ(runs[i].code, code) << args[0] << ": " << runs[i].err;
        EXPECT_FALSE(runs[i].Doc().is_null()) << args[0] << " prints one JSON document";
        if (!file.empty()) {
            EXPECT_TRUE(fs::exists(Scratch() / "work" / file)) << args[0] << ": " << file;
        }
    }
    // What the repository keeps of a relative path is the full one.
    const auto copy = Kivrepo({"list", "--project", "Copy"}).Doc()["projects"][0];
    ASSERT_EQ(copy["applications"].size(), 3u);
    EXPECT_EQ(copy["dir"], ScratchDos("work\\dirs\\copy"));
    EXPECT_EQ(copy["applications"][2]["name"], "Lib3");
    EXPECT_EQ(copy["applications"][2]["modules"][0]["external"],
              ScratchDos("work\\out\\prg\\Lib\\Gr\xC3\xBC\xC3\x9F.prg"));
    EXPECT_EQ(copy["applications"][0]["exportName"], ScratchDos("work\\aef\\Lib.AEF"));
}

// Names typed in the terminal (UTF-8) are stored in the repository's Windows-1252 and shown in
// UTF-8 again; the export file holds the code page's bytes.
TEST_F(CliTest, NamesCrossTheTerminalInWindows1252) {
    WriteFile(Scratch() / "lib.aef", LibAef());
    CliRun r = Kivrepo({"create-project", "Caf\xC3\xA9", Host("cafe")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.Doc()["project"], "Caf\xC3\xA9");
    ASSERT_EQ(Kivrepo({"import-aef", Host("lib.aef"),
                       "B\xC3\xBC"
                       "cher \xE2\x82\xAC",
                       "--project", "Caf\xC3\xA9"})
                  .code,
              0);

    r = Kivrepo({"list", "--project", "Caf\xC3\xA9"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto project = r.Doc()["projects"][0];
    EXPECT_EQ(project["name"], "Caf\xC3\xA9");
    EXPECT_EQ(project["applications"][0]["name"], "B\xC3\xBC"
                                                  "cher \xE2\x82\xAC");
    EXPECT_EQ(project["applications"][0]["modules"][0]["name"], "Gr\xC3\xBC\xC3\x9F");

    r = Kivrepo({"export-aef",
                 "B\xC3\xBC"
                 "cher \xE2\x82\xAC",
                 Host("out.aef"), "--project", "Caf\xC3\xA9"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string aef = ReadFile(Scratch() / "out.aef");
    EXPECT_NE(aef.find("B\xFC"
                       "cher \x80"),
              std::string::npos);
    EXPECT_NE(aef.find("Gr\xFC\xDF"), std::string::npos);
    EXPECT_EQ(aef.find("\xC3"), std::string::npos) << "no UTF-8 byte reaches the file";
}

// A character Windows-1252 has no byte for makes the command line wrong; nothing is stored.
TEST_F(CliTest, UnmappableCharactersAreRefused) {
    WriteFile(Scratch() / "lib.aef", LibAef());
    CliRun r = Kivrepo({"create-project", "\xCE\xA9mega", Host("omega")});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("holds \"\xCE\xA9\" (U+03A9)"), std::string::npos) << r.err;
    r = Kivrepo({"import-aef", Host("lib.aef"),
                 "\xE6\x97\xA5"
                 "x"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("(U+65E5)"), std::string::npos) << r.err;
    r = Kivrepo({"list", "--project", "Caf\xE9"});
    EXPECT_EQ(r.code, 2) << "Windows-1252 bytes are not UTF-8";

    const auto projects = Kivrepo({"list"}).Doc()["projects"];
    ASSERT_EQ(projects.size(), 1u);
    EXPECT_TRUE(projects[0]["applications"].empty());
}
