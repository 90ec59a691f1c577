#include "explorer/transfer/KivKeaPlan.h"
#include "KivRepositoryFixture.h"

#include <filesystem>

namespace fs = std::filesystem;

// A .KEA in Scratch()/kea with its PRG files, checked against a project that has the application
// "Shop" and the library "LibA", and a bin folder holding STD.UDC and WIN.CH.
class KivKeaPlanTest : public KivRepositoryTest {
protected:
    void SetUp() override {
        KivRepositoryTest::SetUp();
        Import("Shop", {{"M", {}}});
        Import("LibA", {{"L", {}}});
        fs::create_directories(Scratch() / "kea");
        fs::create_directories(Scratch() / "bin");
        WriteFile(Scratch() / "bin" / "STD.UDC", "#command x");
        WriteFile(Scratch() / "bin" / "win.ch", "#define x 1");
        WriteFile(Scratch() / "kea" / "alpha.prg", "FUNCTION A()");
        WriteFile(Scratch() / "kea" / "Beta.prg", "FUNCTION B()");
    }

    KivKeaPlan Plan(const std::string& name, const std::string& libraries, const std::string& udc,
                    const std::string& ch, const std::string& modules) {
        WriteFile(Scratch() / "kea" / "App.KEA",
                  "[APP]\r\nName=" + name + "\r\nLib=.F.\r\nLibraries=" + libraries + "\r\nUDC=" + udc +
                      "\r\nCH=" + ch + "\r\n\r\n" + modules);
        KivVOProject project;
        return KivKeaPlan::Read(ScratchDos("kea\\App.KEA"), project, ScratchDos("bin"));
    }

    static std::string Module(int n, const std::string& name, const std::string& prg) {
        return "[Module00" + std::to_string(n) + "]\r\nName=" + name + "\r\nPRG=" + prg + "\r\n\r\n";
    }
};

TEST_F(KivKeaPlanTest, EverythingFoundWhereverTheEntriesPoint) {
    // PRG entries name another folder and another letter case: the file beside the .KEA counts.
    // A name the .KEA holds in Windows-1252 is the host's UTF-8 name, or a file named in its bytes.
    WriteFile(Scratch() / "kea" / "D\xC3\xA4tes.prg", "FUNCTION D()");
    WriteFile(Scratch() / "kea" / "alt\xE9.prg", "FUNCTION E()");
    KivKeaPlan plan = Plan("NewShop", "LibA", "STD.UDC," + ScratchDos("bin\\std.udc"), "WIN.CH",
                           Module(1, "Alpha", "C:\\OLD\\Alpha.Prg") + Module(2, "Beta", "Beta.Prg") +
                               Module(3, "D\xE4tes", "D\xE4tes.Prg") + Module(4, "Alt\xE9", "Alt\xE9.Prg"));
    EXPECT_EQ(plan.cAppName, "NewShop");
    EXPECT_FALSE(plan.appExists);
    EXPECT_TRUE(plan.aExisting.empty());
    EXPECT_TRUE(plan.CanImport());
    ASSERT_EQ(plan.modules.size(), 4u);
    EXPECT_EQ(plan.modules[0].id, "Module001");
    EXPECT_EQ(plan.modules[0].label, "Alpha");
    EXPECT_EQ(plan.modules[0].file, ScratchDos("kea\\alpha.prg"));
    EXPECT_EQ(plan.modules[1].file, ScratchDos("kea\\Beta.prg"));
    EXPECT_EQ(plan.modules[2].file, ScratchDos("kea\\D\xE4tes.prg"));
    EXPECT_EQ(plan.modules[3].file, ScratchDos("kea\\alt\xE9.prg"));
    EXPECT_EQ(plan.ModulesToCreate(), 4u);
    ASSERT_EQ(plan.udcs.size(), 2u);
    EXPECT_EQ(plan.udcs[1].id, "UDC002");
    EXPECT_FALSE(plan.udcs[0].missing);
    EXPECT_FALSE(plan.udcs[1].missing);
    EXPECT_EQ(plan.chs.at(0).id, "CH001");
    EXPECT_EQ(plan.libraries.at(0).id, "Lib001");
    using G = KivKeaPlan::Group;
    EXPECT_EQ(plan.AppInfo(), "Application is Ok.");
    EXPECT_EQ(plan.Info(G::Modules), "All Modules are Ok.");
    EXPECT_EQ(plan.Info(G::Libraries), "All Libraries are Ok.");
    EXPECT_EQ(plan.Info(G::UDC), "All UDCs are Ok.");
    EXPECT_EQ(plan.Info(G::CH), "All CH are Ok.");
    EXPECT_EQ(plan.SelectGroup(), G::None);
}

TEST_F(KivKeaPlanTest, MissingItemsWarnAndTheFirstIsSelected) {
    using G = KivKeaPlan::Group;
    const std::string twoModules = Module(1, "Alpha", "Alpha.Prg") + Module(2, "Gone", "Gone.Prg");
    KivKeaPlan plan = Plan("NewShop", "LibA,NoLib", "STD.UDC,NONE.UDC", "WIN.CH,NO.CH", twoModules);
    EXPECT_TRUE(plan.CanImport());
    EXPECT_TRUE(plan.modules[1].missing);
    EXPECT_EQ(plan.ModulesToCreate(), 1u);
    EXPECT_EQ(plan.Info(G::Modules), "At least one module is missing.");
    EXPECT_EQ(plan.Info(G::Libraries), "At least one library is missing.");
    EXPECT_EQ(plan.Info(G::UDC), "At least one UDC is missing.");
    EXPECT_EQ(plan.Info(G::CH), "At least one CH is missing.");
    EXPECT_EQ(plan.Status(G::CH), KivKeaStatus::Warning);
    EXPECT_EQ(plan.SelectGroup(), G::Modules);
    EXPECT_EQ(plan.SelectIndex(), 1u);
    // The lists are taken over as listed, missing names included.
    EXPECT_EQ(plan.libraryNames, (std::vector<std::string>{"LibA", "NoLib"}));

    const std::string oneModule = Module(1, "Alpha", "Alpha.Prg");
    EXPECT_EQ(Plan("N", "NoLib", "NONE.UDC", "NO.CH", oneModule).SelectGroup(), G::Libraries);
    EXPECT_EQ(Plan("N", "", "NONE.UDC", "NO.CH", oneModule).SelectGroup(), G::UDC);
    KivKeaPlan chOnly = Plan("N", "", "", "WIN.CH,NO.CH", oneModule);
    EXPECT_EQ(chOnly.SelectGroup(), G::CH);
    EXPECT_EQ(chOnly.SelectIndex(), 1u);
    EXPECT_TRUE(chOnly.libraries.empty());
    EXPECT_EQ(chOnly.Info(G::Libraries), "All Libraries are Ok.");
}

TEST_F(KivKeaPlanTest, EntriesCannotReachOutsideTheFolder) {
    WriteFile(Scratch() / "secret.prg", "FUNCTION S()");
    KivKeaPlan plan = Plan("N", "", "", "",
                           Module(1, "S", "..\\secret.prg") + Module(2, "T", "../secret.prg") +
                               Module(3, "U", "..") + Module(4, "", "Alpha.Prg"));
    for (const KivKeaItem& item : plan.modules)
        EXPECT_TRUE(item.missing) << item.id;
    WriteFile(Scratch() / "kea" / "secret.prg", "FUNCTION S()");
    KivKeaPlan again = Plan("N", "", "", "", Module(1, "S", "..\\secret.prg"));
    EXPECT_EQ(again.modules.at(0).file, ScratchDos("kea\\secret.prg"));
}

TEST_F(KivKeaPlanTest, ExistingApplicationNeedsAFreeName) {
    KivKeaPlan plan = Plan("Shop", "", "", "", Module(1, "Alpha", "Alpha.Prg"));
    EXPECT_TRUE(plan.appExists);
    EXPECT_FALSE(plan.CanImport());
    EXPECT_EQ(plan.AppStatus(), KivKeaStatus::No);
    EXPECT_EQ(plan.AppInfo(), "Application already exist.");
    EXPECT_EQ(plan.aExisting, (std::vector<std::string>{"LibA", "Shop"}));
    EXPECT_EQ(plan.SelectGroup(), KivKeaPlan::Group::Application);

    for (const char* refused : {"Shop", "LIBA", "", "   "}) {
        EXPECT_FALSE(plan.Rename(refused)) << refused;
        EXPECT_EQ(plan.cAppName, "Shop");
        EXPECT_FALSE(plan.CanImport());
    }
    EXPECT_TRUE(plan.Rename("Shop2"));
    EXPECT_EQ(plan.cAppName, "Shop2");
    EXPECT_TRUE(plan.CanImport());
    EXPECT_EQ(plan.AppInfo(), "Application is Ok.");
    EXPECT_EQ(plan.SelectGroup(), KivKeaPlan::Group::None);
}
