#include "cli/KivCli.h"
#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"
#include "support/KivRecordStream.h"

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

using W = KivAefTestWriter;

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

CliResult Kivrepo(std::vector<std::string> args) {
    std::vector<const char*> argv{"kivrepo"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int code = KivRunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

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

class KivProjectCommandsTest : public KivTestHome {
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
            CliResult r = Kivrepo({"import-aef", Host(KivLowerName(app) + ".aef"), app, "--project", "Shop"});
            ASSERT_EQ(r.code, 0) << r.err;
        }
    }
    std::string Host(const std::string& relative) const { return (Scratch() / relative).string(); }
    void NewHome(const std::string& name) {
        std::filesystem::create_directories(Scratch() / name);
        setenv("KIV_HOME", Host(name).c_str(), 1);
    }
};

// export-project, import-project into another repository under another name, export-project
// again: both exports hold the same records.
TEST_F(KivProjectCommandsTest, RoundTripThroughTheCommandLine) {
    MakeShop();
    std::filesystem::create_directories(Scratch() / "one");
    CliResult r = Kivrepo({"export-project", Host("one"), "--project", "shop"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, ScratchDos("one\\Shop\\Shop.log") + "\n");
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
    EXPECT_EQ(r.out, "Project Copy: 2 applications imported\n");

    std::filesystem::create_directories(Scratch() / "two");
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
    std::filesystem::create_directories(Scratch() / "out");
    ASSERT_EQ(Kivrepo({"export-project", Host("out"), "--project", "Shop"}).code, 0);
    const std::string kpi = Host("out/Shop/Shop.KPI");

    CliResult r = Kivrepo({"import-project", kpi});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: The Project already exist.\n");
    // The folder holds the project's data: the question's preset answer stops the import.
    r = Kivrepo({"import-project", kpi, "--name", "Copy"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Warning: The path is not Empty ! Abort Operation ?\n");
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
    EXPECT_NE(r.err.find("An error occured when Importing.\nBase: Error AdamImportApp"), std::string::npos)
        << r.err;
}

TEST_F(KivProjectCommandsTest, ExportFailuresAndExportAll) {
    MakeShop();
    CliResult r = Kivrepo({"export-project", Host("missing"), "--project", "Shop"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("failed: The folder does not exist"), std::string::npos) << r.err;
    r = Kivrepo({"export-project", Host("missing"), "--project", "Nope"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Project not found: Nope\n");

    // An AEF that cannot be written: logged and failed, or aborted with --abort-on-error.
    std::filesystem::create_directories(Scratch() / "full/Shop");
    std::filesystem::create_symlink("/dev/full", Scratch() / "full/Shop/Base.AEF");
    r = Kivrepo({"export-project", Host("full"), "--project", "Shop"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "failed: 1 error, see the log\n");
    EXPECT_TRUE(std::filesystem::exists(Scratch() / "full/Shop/Shop.KPI"));
    std::filesystem::remove(Scratch() / "full/Shop/Shop.KPI");
    std::filesystem::remove(Scratch() / "full/Shop/Shop.AEF");
    r = Kivrepo({"export-project", Host("full"), "--project", "Shop", "--abort-on-error"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "aborted: 1 error, see the log\n");
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "full/Shop/Shop.KPI"));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "full/Shop/Shop.AEF"));

    r = Kivrepo({"export-all", Host("all/base")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, ScratchDos("all\\base\\Default\\Default.log") + "\n" +
                         ScratchDos("all\\base\\Shop\\Shop.log") + "\n");
    r = Kivrepo({"export-all", Host("full"), "--abort-on-error"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "aborted: Operation Aborted.\n");
}

// Paths relative to the working folder, as a person types them in a shell.
TEST_F(KivProjectCommandsTest, RelativePathsAreTakenFromTheWorkingFolder) {
    MakeShop();
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(Scratch());
    std::filesystem::create_directories("rel");
    CliResult exported = Kivrepo({"export-project", "rel", "--project", "Shop"});
    NewHome("home2");
    CliResult imported =
        Kivrepo({"import-project", "rel/Shop/Shop.KPI", "--name", "Copy", "--path", "copy", "--create-path"});
    std::filesystem::current_path(before);
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(exported.out, ScratchDos("rel\\Shop\\Shop.log") + "\n");
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(imported.out, "Project Copy: 2 applications imported\n");
    EXPECT_TRUE(std::filesystem::exists(Scratch() / "copy/kivproject.db"));
}
