#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"
#include "support/KivRecordStream.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace {

using W = KivAefTestWriter;

std::vector<std::pair<uint16_t, std::string>> Records(const std::string& bytes) {
    std::vector<std::pair<uint16_t, std::string>> records;
    KivRecordReader reader(bytes);
    KivRecord record;
    while (reader.Next(record))
        records.emplace_back(record.tag, std::string(record.data));
    return records;
}

std::string KivLowerName(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

} // namespace

class KivProjectCommandsTest : public KivCliHome {
protected:
    // A project "Shop" in the scratch folder with a library Base and an application Shop using it.
    void MakeShop() {
        ASSERT_EQ(Kivrepo({"create-project", "Shop", Host("dirs/shop")}).code, 0);
        W base = W::Aef();
        base.AppName("Base").AppInfo(1300000000, 1200000000, true).Module("Core", 1100000000, 1000000000);
        base.Entity({"HELPER", 3, 17, "FUNCTION Helper()", "FUNCTION Helper()\r\n\t// \x80\r\n"});
        WriteFile(Scratch() / "base.aef", base.End());
        W shop = W::Aef();
        shop.AppName("Shop").Text(0x000D, "C:\\OUT\\SHOP.EXE").Text(0x0004, "Base");
        shop.AppInfo(1300000000, 1200000000).Module("Main", 1100000000, 1000000000);
        shop.Entity({"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\n\tRETURN Helper()\r\n"});
        WriteFile(Scratch() / "shop.aef", shop.End());
        for (const char* app : {"Base", "Shop"}) {
            CliRun r = Kivrepo({"import-aef", Host(KivLowerName(app) + ".aef"), app, "--project", "Shop"});
            ASSERT_EQ(r.code, 0) << r.err;
        }
    }
    void NewHome(const std::string& name) {
        std::filesystem::create_directories(Scratch() / name);
        setenv("KIV_HOME", Host(name).c_str(), 1);
    }
};

// export-project, import-project into another repository under another name, export-project
// again: both exports hold the same records.
TEST_F(KivProjectCommandsTest, RoundTripThroughTheCommandLine) {
    MakeShop();
    CliRun r = Kivrepo({"export-project", Host("one"), "--project", "shop"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\n  \"project\": \"Shop\",\n  \"exported\": 2,\n  \"outcome\": \"done\",\n  \"log\": \"" +
                  Host("one/Shop/Shop.log") +
                  "\",\n  \"logDos\": " + nlohmann::json(ScratchDos("one\\Shop\\Shop.log")).dump() + "\n}\n");
    EXPECT_EQ(r.err, "");
    const std::string kpi = ReadFile(Scratch() / "one/Shop/Shop.KPI");
    EXPECT_EQ(kpi, "[PRJ]\r\nName=Shop\r\nPath=" + ScratchDos("dirs\\shop") +
                       "\r\n\r\n[APP001]\r\nName=Base\r\nAEF=" + ScratchDos("one\\Shop\\Base.AEF") +
                       "\r\n\r\n[APP002]\r\nName=Shop\r\nAEF=" + ScratchDos("one\\Shop\\Shop.AEF") +
                       "\r\n\r\n");

    NewHome("home2");
    r = Kivrepo({"import-project", Host("one/Shop/Shop.KPI"), "--name", "Copy", "--path", Host("dirs/copy")});
    EXPECT_EQ(r.code, 1) << "a missing folder is made only with --create-path";
    EXPECT_NE(r.err.find("The path does not exist"), std::string::npos) << r.err;
    r = Kivrepo({"import-project", Host("one/Shop/Shop.KPI"), "--name", "Copy", "--path", Host("dirs/copy"),
                 "--create-path"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.Doc()["project"], "Copy");
    EXPECT_EQ(r.Doc()["folder"], Host("dirs/copy"));
    EXPECT_EQ(r.Doc()["imported"], 2);

    r = Kivrepo({"export-project", Host("two"), "--project", "Copy"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* file : {"Base.AEF", "Shop.AEF"}) {
        const auto first = Records(ReadFile(Scratch() / "one/Shop" / file));
        EXPECT_EQ(first, Records(ReadFile(Scratch() / "two/Copy" / file))) << file;
        EXPECT_GT(first.size(), 4u);
    }
}

TEST_F(KivProjectCommandsTest, ChecksOfTheImportDialogEndWithItsMessage) {
    MakeShop();
    ASSERT_EQ(Kivrepo({"export-project", Host("out"), "--project", "Shop"}).code, 0);
    const std::string kpi = Host("out/Shop/Shop.KPI");

    CliRun r = Kivrepo({"import-project", kpi});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: The Project already exist.\n");
    // The folder holds the project's data: the question's preset answer stops the import.
    r = Kivrepo({"import-project", kpi, "--name", "Copy"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Warning: The path is not Empty ! Abort Operation ? Yes\n");
    WriteFile(Scratch() / "file", "x");
    r = Kivrepo({"import-project", kpi, "--name", "Copy", "--path", Host("file/sub"), "--create-path"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: Path Creation Error !!\n");
    r = Kivrepo({"import-project", Host("out/Shop/None.KPI")});
    EXPECT_EQ(r.code, 1);

    // A missing AEF file is named, and its import fails.
    std::filesystem::remove(Scratch() / "out/Shop/Base.AEF");
    r = Kivrepo({"import-project", kpi, "--name", "Copy", "--path", Host("dirs/copy"), "--create-path"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Missing: Base"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("failed: An error occured when Importing. (1 error)\nBase: Error AdamImportApp"),
              std::string::npos)
        << r.err;
}

TEST_F(KivProjectCommandsTest, ExportFailuresAndExportAll) {
    MakeShop();
    WriteFile(Scratch() / "file", "x");
    CliRun r = Kivrepo({"export-project", Host("file"), "--project", "Shop"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.Doc()["outcome"], "failed");
    EXPECT_NE(r.err.find("failed: The folder does not exist"), std::string::npos) << r.err;
    r = Kivrepo({"export-project", Host("missing"), "--project", "Nope"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Project not found: Nope\n");

    // An AEF that cannot be written: logged and failed, or aborted with --abort-on-error.
    std::filesystem::create_directories(Scratch() / "full/Shop");
    std::filesystem::create_symlink("/dev/full", Scratch() / "full/Shop/Base.AEF");
    r = Kivrepo({"export-project", Host("full"), "--project", "Shop"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "failed (1 error)\n");
    EXPECT_TRUE(std::filesystem::exists(Scratch() / "full/Shop/Shop.KPI"));
    std::filesystem::remove(Scratch() / "full/Shop/Shop.KPI");
    std::filesystem::remove(Scratch() / "full/Shop/Shop.AEF");
    r = Kivrepo({"export-project", Host("full"), "--project", "Shop", "--abort-on-error"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "aborted (1 error)\n");
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "full/Shop/Shop.KPI"));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "full/Shop/Shop.AEF"));

    r = Kivrepo({"export-all", Host("all/base")});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto projects = r.Doc()["projects"];
    ASSERT_EQ(projects.size(), 2u);
    EXPECT_EQ(projects[0]["log"], Host("all/base/Default/Default.log"));
    EXPECT_EQ(projects[1]["logDos"], ScratchDos("all\\base\\Shop\\Shop.log"));
    r = Kivrepo({"export-all", Host("full"), "--abort-on-error"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "aborted: Operation Aborted. (1 error)\n");
}
