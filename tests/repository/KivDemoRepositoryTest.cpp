#include "KivRepositoryFixture.h"

#include "engine/KivEngineStatus.h"
#include "platform/KivDosPath.h"
#include "repository/KivDemoRepository.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

struct Counts {
    size_t apps = 0;
    size_t modules = 0;
    size_t entities = 0;
    bool operator==(const Counts&) const = default;
};

} // namespace

class KivDemoRepositoryTest : public KivRepositoryTest {
protected:
    // A copy of the checkout's samples, free to be broken.
    fs::path CopySamples() {
        const fs::path copy = Scratch() / "samples";
        fs::copy(KIV_SAMPLES_DIR, copy, fs::copy_options::recursive);
        return copy;
    }
    // Replaces the first match of the pattern in the copy's demo.ini.
    void EditManifest(const fs::path& samples, const std::string& pattern, const std::string& replacement) {
        const fs::path file = samples / "demo.ini";
        const std::string text = ReadFile(file);
        const std::string edited = std::regex_replace(text, std::regex(pattern), replacement,
                                                      std::regex_constants::format_first_only);
        ASSERT_NE(edited, text) << pattern;
        WriteFile(file, edited);
    }
    std::string Dos(const fs::path& path) { return kiv::dospath::FromHost(path); }

    Counts Count() {
        Counts counts;
        const std::string current = Repo().CurrentProjectName();
        for (const auto& project : Repo().ProjectList())
            for (const auto& app : project->ApplicationList()) {
                ++counts.apps;
                for (const auto& module : app->ModuleList()) {
                    ++counts.modules;
                    counts.entities += static_cast<KivVOModule&>(*module).EntityCount();
                }
            }
        Repo().CurrentProjectName(current);
        return counts;
    }
};

TEST_F(KivDemoRepositoryTest, FillsAnEmptyRepositoryWithEveryKindOfNodeAndEntity) {
    ASSERT_TRUE(KivDemoRepositoryIsEmpty());
    const KivDemoLoad load = KivLoadDemoRepository(Dos(KIV_SAMPLES_DIR));
    ASSERT_TRUE(load.success) << load.error;
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.project, "Warehouse");
    EXPECT_EQ(Repo().CurrentProjectName(), "Warehouse") << "the explorer opens on the demo";
    EXPECT_FALSE(KivDemoRepositoryIsEmpty());
    EXPECT_EQ(Repo().CurrentProjectName(), "Warehouse") << "asking leaves the current project alone";

    KivVOProject project("Warehouse");
    EXPECT_EQ(project.Description(), "Stock keeping for the central warehouse");
    EXPECT_EQ(project.Keywords(), "stock,ledger,demo");

    std::map<std::string, std::string> kinds;
    for (const auto& app : project.ApplicationList()) {
        std::string kind = app->IsApplication()     ? "Executable"
                           : app->IsSystemLibrary() ? "System Library"
                           : app->IsDLL()           ? "DLL"
                           : app->IsLibrary()       ? "Library"
                                                    : "Unknown";
        kinds[app->Name()] = kind;
    }
    EXPECT_EQ(kinds, (std::map<std::string, std::string>{{"Common Lib", "Library"},
                                                         {"Inventory", "Executable"},
                                                         {"Inventory Hooks", "DLL"},
                                                         {"Ledger Lib", "Library"},
                                                         {"System Classes", "System Library"}}));
    auto ledger = project.ApplicationFind("Ledger Lib");
    ASSERT_TRUE(ledger);
    EXPECT_EQ(ledger->LibraryNameList(), std::vector<std::string>{"Common Lib"});
    auto inventory = project.ApplicationFind("Inventory");
    ASSERT_TRUE(inventory);
    EXPECT_EQ(inventory->LibraryNameList(),
              (std::vector<std::string>{"System Classes", "Common Lib", "Ledger Lib", "Inventory Hooks"}));
    EXPECT_EQ(inventory->ExeName(), "C:\\WAREHOUSE\\BIN\\INVENTORY.EXE");
    EXPECT_EQ(inventory->FullPath(), "C:\\WAREHOUSE\\AEF\\INVENTORY.AEF");
    EXPECT_EQ(inventory->GroupName(), "Programs");
    EXPECT_TRUE(inventory->Debug());
    EXPECT_EQ(inventory->ModuleNameList(), (std::vector<std::string>{"Reports", "Start", "Stock Window"}));

    std::set<std::string> types;
    std::set<std::string> hidden;
    std::vector<std::string> external;
    for (const auto& app : project.ApplicationList())
        for (const auto& item : app->ModuleList()) {
            auto& module = static_cast<KivVOModule&>(*item);
            EXPECT_TRUE(module.IsVisible()) << module.Name();
            if (module.IsExternal())
                external.push_back(app->Name() + "/" + module.Name() + " " + module.ExternalFile());
            for (const auto& entity : Entities(module)) {
                types.insert(entity->Type().Name());
                if (!entity->IsVisible())
                    hidden.insert(entity->Name());
            }
        }
    EXPECT_EQ(types,
              (std::set<std::string>{"ACCESS", "ASSIGN", "CLASS", "DEFINE", "FUNCTION", "GLOBAL", "METHOD",
                                     "PROCEDURE", "RESOURCE", "STRUCTURE", "TEXTBLOCK", "UNION"}));
    EXPECT_EQ(hidden, (std::set<std::string>{"ACCOUNT:AUDIT", "PADNUMBER", "RESETPERIODS"}));
    ASSERT_EQ(external.size(), 1u);
    const std::string bound = Dos(fs::path(KIV_SAMPLES_DIR) / "prg" / "InventoryReports.prg");
    EXPECT_EQ(external[0], "Inventory/Reports " + bound) << "bound by a path that works from any folder";
    // In CR LF lines, as the IDE writes them: a MEF of the module carries the file's text, and
    // its readers part the entities at CR LF.
    const std::string text = ReadFile(fs::path(KIV_SAMPLES_DIR) / "prg" / "InventoryReports.prg");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
}

TEST_F(KivDemoRepositoryTest, ASecondLoadSeesTheFilledRepositoryAndAddsNothing) {
    const fs::path samples = CopySamples();
    ASSERT_TRUE(KivLoadDemoRepository(Dos(samples)).loaded);
    const Counts first = Count();
    EXPECT_EQ(first.apps, 5u);
    EXPECT_EQ(first.modules, 10u);

    const KivDemoLoad again = KivLoadDemoRepository(Dos(samples));
    EXPECT_TRUE(again.success) << again.error;
    EXPECT_FALSE(again.loaded);
    EXPECT_EQ(Count(), first);

    // A repository holding any application of its own counts as filled, too.
    for (const auto& app : KivVOProject("Warehouse").ApplicationList())
        ASSERT_TRUE(KivVOProject("Warehouse").ApplicationDelete(app));
    ASSERT_TRUE(Repo().CurrentProjectName("Default").size());
    ASSERT_TRUE(Repo().ProjectNameDelete("Warehouse"));
    ASSERT_TRUE(KivVOProject("Default").ApplicationCreate("Mine"));
    EXPECT_FALSE(KivDemoRepositoryIsEmpty());
    EXPECT_FALSE(KivLoadDemoRepository(Dos(samples)).loaded);
    EXPECT_EQ(Repo().ProjectNameList(), std::vector<std::string>{"Default"});
}

TEST_F(KivDemoRepositoryTest, ReusesAnEmptyProjectAndHidesModules) {
    const fs::path samples = Scratch() / "small";
    WriteFile(samples / "demo.ini", "[Project001]\r\nName=default\r\nDir=C:\\ELSEWHERE\r\n"
                                    "[APP001]\r\nProject=Default\r\nName=Tool\r\nKind=executable\r\n"
                                    "[Module001]\r\nProject=DEFAULT\r\nApplication=tool\r\nName=Old\r\n"
                                    "File=old.prg\r\nVisible=.f.\r\n");
    WriteFile(samples / "old.prg", "FUNCTION Old()\r\n\tRETURN NIL\r\n");
    const KivDemoLoad load = KivLoadDemoRepository(Dos(samples));
    ASSERT_TRUE(load.success) << load.error;
    EXPECT_EQ(load.project, "Default") << "as the catalogue spells it";
    EXPECT_EQ(Repo().ProjectNameList(), std::vector<std::string>{"Default"});
    auto app = KivVOProject("Default").ApplicationFind("Tool");
    ASSERT_TRUE(app);
    auto module = app->FirstModule();
    ASSERT_TRUE(module);
    EXPECT_FALSE(module->IsVisible());
    EXPECT_FALSE(module->IsExternal());
    EXPECT_EQ(module->EntityNameList(), std::vector<std::string>{"OLD"});
}

struct BrokenCase {
    const char* name;
    const char* pattern; // in demo.ini; empty: the case breaks the folder itself
    const char* replacement;
    const char* error;
};

class KivDemoBrokenTest : public KivDemoRepositoryTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(KivDemoBrokenTest, SaysWhatIsWrongAndChangesNothing) {
    const BrokenCase& c = GetParam();
    const fs::path samples = CopySamples();
    std::string dir = Dos(samples);
    const std::string name = c.name;
    if (name == "NoFolder")
        dir = Dos(Scratch() / "nothing");
    else if (name == "UnmappedDrive")
        dir = "D:\\samples";
    else if (name == "NoManifest")
        fs::remove(samples / "demo.ini");
    else if (name == "ManifestIsAFolder") {
        fs::remove(samples / "demo.ini");
        fs::create_directory(samples / "demo.ini");
    } else if (name == "MissingPrg")
        fs::remove(samples / "prg" / "LedgerPostings.prg");
    else if (name == "PrgWithoutEntities")
        WriteFile(samples / "prg" / "CommonTypes.prg", "// nothing here\r\n");
    else
        EditManifest(samples, c.pattern, c.replacement);

    const std::vector<std::string> projects = Repo().ProjectNameList();
    const KivDemoLoad load = KivLoadDemoRepository(dir);
    EXPECT_FALSE(load.success);
    EXPECT_FALSE(load.loaded);
    EXPECT_NE(load.error.find(c.error), std::string::npos) << load.error;
    EXPECT_TRUE(KivDemoRepositoryIsEmpty());
    EXPECT_EQ(Repo().ProjectNameList(), projects);
    EXPECT_EQ(Repo().CurrentProjectName(), "Default");
}

INSTANTIATE_TEST_SUITE_P(
    Folders, KivDemoBrokenTest,
    ::testing::Values(
        BrokenCase{"NoFolder", "", "", "demo.ini: The system cannot find the"},
        BrokenCase{"UnmappedDrive", "", "", "D:\\samples is not on a mapped drive"},
        BrokenCase{"NoManifest", "", "", "demo.ini: The system cannot find the file specified."},
        BrokenCase{"ManifestIsAFolder", "", "", "Cannot read"},
        BrokenCase{"MissingPrg", "", "", "[Module006]: Cannot read"},
        BrokenCase{"PrgWithoutEntities", "", "", "CommonTypes.prg holds no entity"},
        BrokenCase{"UnknownKind", "Kind=DLL", "Kind=Driver", "[APP004]: Kind must be"},
        BrokenCase{"UnknownLibrary", "Libraries=Common Lib\r?\n", "Libraries=Common Lib,Printing\n",
                   "[APP003]: Libraries names Printing"},
        BrokenCase{"OwnLibrary", "Libraries=Common Lib\r?\n", "Libraries=Ledger Lib\n",
                   "[APP003]: Libraries names Ledger Lib"},
        BrokenCase{"UnknownHidden", "Hidden=PADNUMBER", "Hidden=PADNUMBER,NOSUCH", "Hidden names NOSUCH"},
        BrokenCase{"BadLogical", "External=.T.", "External=yes", "[Module010]: External must be .T. or .F."},
        BrokenCase{"AppOfNoProject", "Project=Warehouse\r?\nName=Inventory\r?\n",
                   "Project=Shop\nName=Inventory\n", "[APP005]: the project Shop has no section"},
        BrokenCase{"ModuleOfNoApp", "Application=Inventory Hooks", "Application=Hooks",
                   "[Module007]: the application Hooks of project Warehouse"},
        BrokenCase{"TwiceTheSameApp", "Name=Common Lib", "Name=System Classes",
                   "[APP002]: the application System Classes is named twice"},
        BrokenCase{"TwiceTheSameModule", "Name=Types", "Name=strings", "the module strings is named twice"},
        BrokenCase{"ModuleNameIsAPath", "Name=Types", "Name=A\\\\B", "a module name holds no"},
        BrokenCase{"FileOutsideTheFolder", "File=prg\\\\CommonTypes.prg", "File=C:\\\\CommonTypes.prg",
                   "File must name a file below"},
        BrokenCase{"MissingName", "Name=Ledger Lib", "Title=Ledger Lib", "[APP003]: Name is missing"},
        BrokenCase{"StraySection", "\\[Module010\\]", "[Extras]\nx=1\n[Module010]",
                   "[Extras]: is no section of a demo manifest"}),
    [](const ::testing::TestParamInfo<BrokenCase>& p) { return std::string(p.param.name); });

TEST_F(KivDemoRepositoryTest, AFailureHalfWayTakesAwayWhatWasMade) {
    const fs::path samples = CopySamples();
    // Fail the seventh module: projects, applications and six modules exist by then.
    ASSERT_TRUE(Fault().FailOn("AdamImportMod", kiv::engine::kStoreError, 6));
    const KivDemoLoad load = KivLoadDemoRepository(Dos(samples));
    EXPECT_FALSE(load.success);
    EXPECT_NE(load.error.find("Error AdamImportMod"), std::string::npos) << load.error;
    EXPECT_NE(load.error.find("Exports"), std::string::npos) << "names the module: " << load.error;
    Fault().HealAll();
    EXPECT_TRUE(KivDemoRepositoryIsEmpty());
    EXPECT_EQ(Repo().ProjectNameList(), std::vector<std::string>{"Default"});
    EXPECT_EQ(Repo().CurrentProjectName(), "Default");
    EXPECT_FALSE(fs::exists(Home() / "drive_c" / "KIVREPO" / "WAREHOUSE" / "kivproject.db"));

    const KivDemoLoad retry = KivLoadDemoRepository(Dos(samples));
    EXPECT_TRUE(retry.loaded) << retry.error;
}

TEST_F(KivDemoRepositoryTest, AFolderHoldingAnotherProjectsDataIsLeftToIt) {
    // Someone's project, taken out of the catalogue but with its data still in the demo's folder.
    ASSERT_TRUE(Repo().ProjectCreate("Old", "C:\\KIVREPO\\WAREHOUSE"));
    ASSERT_TRUE(KivVOProject("Old").ApplicationCreate("Keep"));
    ASSERT_TRUE(Repo().CurrentProjectName("Default").size());
    ASSERT_TRUE(Repo().ProjectNameRemove("Old"));
    ASSERT_TRUE(KivDemoRepositoryIsEmpty());

    const KivDemoLoad load = KivLoadDemoRepository(Dos(KIV_SAMPLES_DIR));
    EXPECT_FALSE(load.success);
    EXPECT_NE(load.error.find("C:\\KIVREPO\\WAREHOUSE holds the data of a project"), std::string::npos)
        << load.error;
    EXPECT_EQ(Repo().ProjectNameList(), std::vector<std::string>{"Default"});
    EXPECT_TRUE(fs::exists(Home() / "drive_c" / "KIVREPO" / "WAREHOUSE" / "kivproject.db"))
        << "its data stays";
}
