#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"

#include <filesystem>
#include <map>
#include <vector>

namespace fs = std::filesystem;

// Shop uses Tools and Base, Tools uses Base; all three in the current project.
class KivAppTransferCommandsTest : public KivCliHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        Add("Base", {}, true);
        Add("Tools", {"Base"}, true);
        Add("Shop", {"Tools", "Base"}, false);
    }

    void Add(const std::string& name, const std::vector<std::string>& libraries, bool library,
             const std::string& project = {}) {
        KivAefTestWriter w = KivAefTestWriter::Aef();
        w.AppName(name);
        for (const std::string& lib : libraries)
            w.Text(0x0004, lib);
        w.AppInfo(1300000000, 1200000000, library);
        w.Module(name + "Mod", 1100000000, 1000000000);
        w.Entity({name + "FN", 3, 17, "FUNCTION " + name + "Fn()", "FUNCTION " + name + "Fn()\r\n"});
        const fs::path file = Scratch() / (name + ".src.aef");
        WriteFile(file, w.End());
        std::vector<std::string> args{"import-aef", file.string(), name};
        if (!project.empty())
            args.insert(args.end(), {"--project", project});
        const CliRun run = Kivrepo(args);
        ASSERT_EQ(run.code, 0) << run.err;
    }

    // Application name -> its module names, in the project.
    std::map<std::string, std::vector<std::string>> Apps(const std::string& project) {
        const CliRun run = Kivrepo({"list", "--project", project});
        EXPECT_EQ(run.code, 0) << run.err;
        std::map<std::string, std::vector<std::string>> apps;
        const auto doc = run.Doc();
        for (const auto& app : doc["projects"][0]["applications"]) {
            auto& modules = apps[app["name"].get<std::string>()];
            for (const auto& module : app["modules"])
                modules.push_back(module["name"]);
        }
        return apps;
    }

    fs::path Out(const std::string& name) const { return Scratch() / "out" / "Shop" / name; }
};

TEST_F(KivAppTransferCommandsTest, ExportThenImportIntoAnotherProject) {
    CliRun run = Kivrepo({"export-app", "Shop", (Scratch() / "out").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Doc()["log"], Out("Shop.log").string());
    EXPECT_EQ(ReadFile(Out("Shop.KAI")), "[APP]\r\nName=Shop\r\nAEF=Shop.AEF\r\n\r\n"
                                         "[LIB001]\r\nName=Base\r\nAEF=Base.AEF\r\n\r\n"
                                         "[LIB002]\r\nName=Tools\r\nAEF=Tools.AEF\r\n\r\n");
    EXPECT_NE(ReadFile(Out("Shop.log")).find("Include DLLs: False\r\n"), std::string::npos);

    ASSERT_EQ(Kivrepo({"create-project", "Copy", (Scratch() / "copy").string()}).code, 0);
    run = Kivrepo({"import-app", Out("Shop.KAI").string(), "--project", "copy"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Doc()["application"], "Shop");
    const std::map<std::string, std::vector<std::string>> expected{
        {"Base", {"BaseMod"}}, {"Shop", {"ShopMod"}}, {"Tools", {"ToolsMod"}}};
    EXPECT_EQ(Apps("Copy"), expected);

    // Once more: the application exists, so only a free name lets it in.
    run = Kivrepo({"import-app", Out("Shop.KAI").string(), "--project", "Copy"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "Application already exist.\n");
    run = Kivrepo({"import-app", Out("Shop.KAI").string(), "--project", "Copy", "--rename", "Tools"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "Application already exist.\n");
    run = Kivrepo({"import-app", Out("Shop.KAI").string(), "--project", "Copy", "--rename", "Shop2"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Doc()["application"], "Shop2");
    EXPECT_EQ(Apps("Copy").at("Shop2"), std::vector<std::string>{"ShopMod"});
}

TEST_F(KivAppTransferCommandsTest, ExistingLibrariesFollowTheOption) {
    ASSERT_EQ(Kivrepo({"export-app", "Shop", (Scratch() / "out").string()}).code, 0);
    ASSERT_EQ(Kivrepo({"create-project", "Copy", (Scratch() / "copy").string()}).code, 0);
    // Base in the target holds another module; each option is tried on a fresh copy of it.
    for (const auto& [option, modules] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"keep", {"OtherMod"}}, {"merge", {"BaseMod", "OtherMod"}}, {"delete", {"BaseMod"}}}) {
        Add("Other", {}, true, "Copy");
        ASSERT_EQ(
            Kivrepo({"import-aef", (Scratch() / "Other.src.aef").string(), "Base", "--project", "Copy"}).code,
            0);
        const CliRun run = Kivrepo({"import-app", Out("Shop.KAI").string(), "--project", "Copy", "--rename",
                                    "Shop_" + option, "--existing", option});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(Apps("Copy").at("Base"), modules) << option;
    }
    EXPECT_EQ(Kivrepo({"import-app", Out("Shop.KAI").string(), "--existing", "drop"}).code, 2);
}

TEST_F(KivAppTransferCommandsTest, FailuresEndWithStatusOne) {
    // A folder where Base's AEF should go: its export fails.
    fs::create_directories(Out("Base.AEF"));
    CliRun run = Kivrepo({"export-app", "Shop", (Scratch() / "out").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "failed (1 error)\n");
    EXPECT_NE(ReadFile(Out("Shop.log")).find("Library : Tools"), std::string::npos);

    run = Kivrepo({"export-app", "Shop", (Scratch() / "out").string(), "--abort-on-error"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "aborted (1 error)\n");
    EXPECT_EQ(run.Doc()["log"], Out("Shop.log").string());
    EXPECT_EQ(ReadFile(Out("Shop.log")).find("Library : Tools"), std::string::npos);

    // A library import that fails is answered as the window presets it: abort.
    fs::remove_all(Out("Base.AEF"));
    ASSERT_EQ(Kivrepo({"export-app", "Shop", (Scratch() / "out").string()}).code, 0);
    WriteFile(Out("Tools.AEF"), "not an export file");
    ASSERT_EQ(Kivrepo({"create-project", "Copy", (Scratch() / "copy").string()}).code, 0);
    run = Kivrepo({"import-app", Out("Shop.KAI").string(), "--project", "Copy"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(
        run.err,
        "Tools: Library Import Error.Abort Operation ? Yes\naborted: Library Import Error. (1 error)\n");
    EXPECT_EQ(Apps("Copy").size(), 1u);

    WriteFile(Scratch() / "file", "x");
    run = Kivrepo({"export-app", "Shop", (Scratch() / "file").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.Doc()["outcome"], "failed");
    EXPECT_NE(run.err.find("Cannot create the folder"), std::string::npos) << run.err;

    EXPECT_EQ(Kivrepo({"export-app", "Nope", (Scratch() / "out").string()}).err,
              "Application not found: Nope\n");
    run = Kivrepo({"import-app", (Scratch() / "none.kai").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(fs::exists(Scratch() / "none.kai"));
    // A file that names no application imports nothing and says so.
    WriteFile(Scratch() / "bad.kai", "not an information file");
    run = Kivrepo({"import-app", (Scratch() / "bad.kai").string(), "--project", "Copy", "--rename", "Bad"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "No application in " + (Scratch() / "bad.kai").string() + "\n");
    EXPECT_EQ(Apps("Copy").size(), 1u);
}
