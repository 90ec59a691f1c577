#include "KivEngineFixture.h"

#include "common/KivBrokenExportFiles.h"
#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivMEFFile.h"
#include "engine/KivEngineUtil.h"

#include <filesystem>

using kiv::engine::kBadFile;

// Each broken file through the three readers that take export files in: the AEF and MEF readers
// and the engine's import. They must agree: what a reader calls damaged or refuses, the engine
// does not import.
class KivBrokenExportFileTest : public KivEngineTest,
                                public ::testing::WithParamInterface<KivBrokenExportFile> {
protected:
    static void ExpectVerdict(const KivIDEBaseObject& reader, bool opened, KivVerdict verdict,
                              const std::string& damaged) {
        EXPECT_FALSE(reader.Success());
        EXPECT_EQ(opened, verdict == KivVerdict::Damaged);
        if (verdict == KivVerdict::Damaged) {
            EXPECT_EQ(reader.ErrorCode(), KivAEFFile::kDamaged);
            EXPECT_EQ(reader.ErrorString().rfind(damaged, 0), 0u) << reader.ErrorString();
        }
    }
};

TEST_P(KivBrokenExportFileTest, EveryReaderGivesItsVerdict) {
    const KivBrokenExportFile& file = GetParam();
    const uint16_t shop = NewApp("Shop");
    const uint32_t kept = NewModule(shop, "Kept");

    const std::string aefPath = ScratchFile("broken.aef", file.aef);
    {
        KivAEFFile aef(aefPath);
        ExpectVerdict(aef, aef.IsValid(), file.aefFile, "Damaged AEF file");
        if (file.aefFile == KivVerdict::Damaged) {
            EXPECT_EQ(aef.Name(), "App");
            EXPECT_EQ(aef.ExeName(), "APP.EXE");
            ASSERT_EQ(aef.ModuleNameList(), file.modules);
            const auto modules = aef.ModuleList();
            EXPECT_TRUE(modules[0]->Success());
            EXPECT_EQ(modules[0]->EntityNameList(), (std::vector<std::string>{"A", "B"}));
            EXPECT_EQ(modules[1]->Success(), file.secondWhole);
            EXPECT_EQ(modules[1]->EntityNameList(), file.second);
            EXPECT_EQ(modules[1]->EntityList()[0]->Source(), KivBrokenExportSource("C"));
            // A whole module can be written out; a damaged one gives no file.
            EXPECT_TRUE(aef.ExportModule("First", ScratchDos("first.mef")));
            EXPECT_EQ(aef.ExportModule("Second", ScratchDos("second.mef")), file.secondWhole);
            EXPECT_EQ(std::filesystem::exists(Scratch() / "second.mef"), file.secondWhole);
        }
    }
    uint32_t app = 77;
    uint32_t count = 77;
    EXPECT_EQ(E().AdamImportApp(aefPath.c_str(), "Shop", 1, 0, &app, &count), kBadFile);
    EXPECT_EQ(E().AdamImportApp(aefPath.c_str(), "", 0, 0, &app, &count), kBadFile);
    EXPECT_EQ(app, 77u);

    if (!file.mef.empty()) {
        const std::string mefPath = ScratchFile("broken.mef", file.mef);
        {
            KivMEFFile mef(mefPath);
            ExpectVerdict(mef, mef.IsMEF(), file.mefFile, "Damaged MEF file");
            if (file.mefFile == KivVerdict::Damaged) {
                EXPECT_EQ(mef.EntityNameList(), file.entities);
                EXPECT_FALSE(mef.ExportModule(ScratchDos("out.mef")));
            }
        }
        uint32_t module = 77;
        EXPECT_EQ(E().AdamImportMod(mefPath.c_str(), "Named", shop, &count, 1, 0, &module), kBadFile);
        EXPECT_EQ(module, 77u);
    }
    EXPECT_EQ(Apps(), std::vector<uint16_t>{shop});
    EXPECT_EQ(Modules(shop), std::vector<uint32_t>{kept});
}

INSTANTIATE_TEST_SUITE_P(Files, KivBrokenExportFileTest, ::testing::ValuesIn(KivBrokenExportFiles()),
                         [](const auto& param) { return std::string(param.param.what); });

// Another program cuts the file while the engine walks it: the walk reads zeros where the lost
// pages were, and the import throws what it read away instead of ending the process.
using KivInputFileTest = KivEngineTest;

TEST_F(KivInputFileTest, AFileCutWhileReadIsToldNotRead) {
    const std::filesystem::path path = Scratch() / "cut.aef";
    WriteFile(path, std::string(3 * 4096, 'x'));
    kiv::engine::KivInputFile input;
    ASSERT_EQ(input.Open(path), 0u);
    std::filesystem::resize_file(path, 100);
    const volatile char* bytes = input.Bytes().data();
    EXPECT_EQ(bytes[99], 'x');
    EXPECT_FALSE(input.Cut());
    EXPECT_EQ(bytes[2 * 4096], 0);
    EXPECT_TRUE(input.Cut());
}
