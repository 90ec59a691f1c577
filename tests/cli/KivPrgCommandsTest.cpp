#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

using W = KivAefTestWriter;

json ListProject(const std::string& project) {
    CliRun r = Kivrepo({"list", "--project", project, "--source"});
    EXPECT_EQ(r.code, 0) << r.err;
    return r.code == 0 ? json::parse(r.out)["projects"][0] : json();
}

const json* FindApp(const json& project, const std::string& name) {
    for (const auto& app : project["applications"])
        if (app["name"] == name)
            return &app;
    return nullptr;
}

// Per module: the names and sources (trailing line ends aside) of its entities of types 1, 3, 4.
json SourceEntities(const json& app) {
    json modules = json::array();
    for (const auto& module : app["modules"]) {
        json entities = json::array();
        for (const auto& entity : module["entities"]) {
            const int type = entity["numType"];
            if (type != 1 && type != 3 && type != 4)
                continue;
            std::string source = entity["source"];
            while (!source.empty() && (source.back() == '\n' || source.back() == '\r'))
                source.pop_back();
            entities.push_back({entity["name"], source});
        }
        modules.push_back({module["name"], entities});
    }
    return modules;
}

} // namespace

class KivPrgCommandsTest : public KivCliHome {
protected:
    // "Base", a library, and "Shop" using it, with two modules and a non-source entity.
    void Fill() {
        const fs::path base = Scratch() / "base.aef";
        WriteFile(base, W::Aef().AppName("Base").AppInfo(1300000000, 1200000000, true).End());
        ASSERT_EQ(Kivrepo({"import-aef", base.string(), "Base"}).code, 0);
        W w = W::Aef();
        w.AppName("Shop").Text(0x0004, "Base").Text(0x0005, "STD.UDC").AppInfo(1300000000, 1200000000);
        w.Text(0x0122, "WIN.CH");
        w.Module("Main", 1100000000, 1000000000);
        w.Entity({"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\nRETURN \"\x93\"\r\n"});
        w.Entity({"ORDER:INIT", 3, 21, "METHOD Init() CLASS Order", "METHOD Init() CLASS Order\r\n"});
        w.Module("Util", 1100000000, 1000000000);
        w.Entity({"HELP", 3, 17, "FUNCTION Help()", "FUNCTION Help()\r\nRETURN NIL"});
        w.Entity({"PIC", 5, 0, "", "binary"});
        WriteFile(Scratch() / "shop.aef", w.End());
        ASSERT_EQ(Kivrepo({"import-aef", (Scratch() / "shop.aef").string(), "Shop"}).code, 0);
    }
};

TEST_F(KivPrgCommandsTest, RoundTripThroughAnotherRepository) {
    Fill();
    const json before = ListProject("Default");
    ASSERT_TRUE(FindApp(before, "Shop"));
    const json original = *FindApp(before, "Shop");
    CliRun r = Kivrepo({"export-prg", "Shop", (Scratch() / "prg").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    json doc = json::parse(r.out);
    EXPECT_EQ(doc["outcome"], "done");
    EXPECT_TRUE(fs::exists(Scratch() / "prg" / "Shop" / "Shop.KEA"));
    EXPECT_TRUE(fs::exists(Scratch() / "prg" / "Shop" / "Util.prg"));

    fs::create_directories(Scratch() / "home2");
    setenv("KIV_HOME", (Scratch() / "home2").c_str(), 1);
    const fs::path base = Scratch() / "base.aef";
    ASSERT_EQ(Kivrepo({"import-aef", base.string(), "Base"}).code, 0);
    r = Kivrepo({"import-prg", (Scratch() / "prg" / "Shop" / "Shop.KEA").string(), "--rename", "Store"});
    ASSERT_EQ(r.code, 0) << r.err;
    doc = json::parse(r.out);
    EXPECT_EQ(doc["application"], "Store");
    EXPECT_EQ(doc["modules"].size(), 2u);
    EXPECT_EQ(doc["udc"][0]["missing"], true);

    const json listed = ListProject("Default");
    const json* copy = FindApp(listed, "Store");
    ASSERT_TRUE(copy);
    for (const auto& module : (*copy)["modules"])
        EXPECT_NE(module["external"], "") << module["name"];
    EXPECT_EQ(SourceEntities(*copy), SourceEntities(original));
    EXPECT_EQ((*copy)["libraries"], original["libraries"]);
    EXPECT_EQ((*copy)["udc"], original["udc"]);
    EXPECT_EQ((*copy)["ch"], original["ch"]);
}

TEST_F(KivPrgCommandsTest, ImportRefusesTakenNamesAndMissingFiles) {
    Fill();
    ASSERT_EQ(Kivrepo({"export-prg", "Shop", (Scratch() / "prg").string()}).code, 0);
    const std::string kea = (Scratch() / "prg" / "Shop" / "shop.kea").string();
    CliRun r = Kivrepo({"import-prg", kea});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("already exist"), std::string::npos) << r.err;
    EXPECT_EQ(Kivrepo({"import-prg", kea, "--rename", "base"}).code, 1);
    EXPECT_EQ(Kivrepo({"import-prg", (Scratch() / "none.kea").string()}).code, 1);
    WriteFile(Scratch() / "bad.kea", "not an information file");
    r = Kivrepo({"import-prg", (Scratch() / "bad.kea").string(), "--rename", "Bad"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No application in"), std::string::npos) << r.err;
    EXPECT_EQ(Kivrepo({"export-prg", "Nothing", (Scratch() / "prg").string()}).code, 1);

    // Without one of the PRG files it lists, the import would make an empty application.
    for (const char* prg : {"Main.prg", "Util.prg"})
        fs::rename(Scratch() / "prg" / "Shop" / prg, Scratch() / prg);
    r = Kivrepo({"import-prg", kea, "--rename", "Copy"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No module file was found."), std::string::npos) << r.err;
    const json listed = ListProject("Default");
    EXPECT_FALSE(FindApp(listed, "Copy"));
    EXPECT_FALSE(FindApp(listed, "Bad"));
    fs::rename(Scratch() / "Util.prg", Scratch() / "prg" / "Shop" / "Util.prg");
    r = Kivrepo({"import-prg", kea, "--rename", "Copy"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.Doc()["modules"][0]["missing"], true);
    EXPECT_EQ(r.Doc()["modules"][1]["file"], (Scratch() / "prg" / "Shop" / "Util.prg").string());
}

TEST_F(KivPrgCommandsTest, SaveRegGroups) {
    const std::string file = (Scratch() / "ide.reg").string();
    for (const char* wrong : {"0", "10", "x", "1,,2", ""})
        EXPECT_EQ(Kivrepo({"save-reg", file, "--groups", wrong}).code, 2) << wrong;
    CliRun r = Kivrepo({"save-reg", file, "--groups", "3"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string text = ReadFile(file);
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\", 0), 0u) << text;
    EXPECT_NE(text.find("\"AEFPath\"="), std::string::npos);
    EXPECT_EQ(Kivrepo({"save-reg", file, "--groups", "all"}).code, 0);
}

TEST_F(KivPrgCommandsTest, ExportPathAndDeleteProject) {
    Fill();
    CliRun r = Kivrepo({"export-path", "D:\\NEW"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["changed"], 2);
    const json listed = ListProject("Default");
    ASSERT_TRUE(FindApp(listed, "Shop"));
    EXPECT_EQ((*FindApp(listed, "Shop"))["exportName"], "D:\\NEW\\Shop.AEF");

    ASSERT_EQ(Kivrepo({"create-project", "Archive", (Scratch() / "archive").string()}).code, 0);
    r = Kivrepo({"delete-project", "default"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Project to delete:"), std::string::npos) << r.err;
    r = Kivrepo({"delete-project", "default", "--yes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["current"], "Archive");
    r = Kivrepo({"list"});
    json projects = json::parse(r.out)["projects"];
    ASSERT_EQ(projects.size(), 1u);
    EXPECT_EQ(projects[0]["current"], true);
    r = Kivrepo({"delete-project", "Archive", "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("You can delete the last project."), std::string::npos) << r.err;
}
