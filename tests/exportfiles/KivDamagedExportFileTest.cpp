#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivMEFFile.h"

#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"

#include <functional>

// Every kind of damage, applied to an AEF and to a MEF, behind the first module's records: the
// readers stop there, say so, and keep what they read before.
namespace {

KivTestEntity Func(const std::string& name) {
    KivTestEntity e;
    e.name = name;
    e.prototype = "FUNCTION " + name + "()";
    e.source = "FUNCTION " + name + "()\r\n" + std::string(40, 'x') + "\r\n";
    return e;
}

struct Damage {
    const char* name;
    // Damages the stream; `at` is where the damaged part begins (the last entity's name record).
    std::function<std::string(std::string bytes, size_t at)> apply;
    // Only the end is missing: the last entity is whole.
    bool lastEntityWhole = false;
};

const Damage kDamages[] = {
    {"CutInsideARecord", [](std::string b, size_t at) { return b.substr(0, at + 20); }},
    {"CutInsideARecordHead", [](std::string b, size_t at) { return b.substr(0, at + 3); }},
    {"NoEndRecord", [](std::string b, size_t) { return b.substr(0, b.size() - 6); }, true},
    {"LengthPastTheEnd",
     [](std::string b, size_t at) {
         b.replace(at + 2, 4, KivAefTestWriter::U32Bytes(0xFFFFFFF0));
         return b;
     }},
    {"LengthOneTooLong",
     [](std::string b, size_t at) {
         b.replace(at + 2, 4, KivAefTestWriter::U32Bytes(static_cast<uint32_t>(b.size() - at - 6 + 1)));
         return b;
     }},
};

} // namespace

class DamagedExportFileTest : public KivTestHome, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedExportFileTest, AefKeepsWhatWasReadBefore) {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("App").Text(0x000D, "APP.EXE").Module("First", 0, 0).Entity(Func("A")).Entity(Func("B"));
    w.Module("Second", 0, 0).Entity(Func("C"));
    const size_t at = w.Bytes().size();
    w.Entity(Func("D"));
    WriteFile(Scratch() / "bad.aef", GetParam().apply(w.End(), at));

    KivAEFFile aef(ScratchDos("bad.aef"));
    EXPECT_TRUE(aef.IsValid());
    EXPECT_FALSE(aef.Success());
    EXPECT_EQ(aef.ErrorCode(), KivAEFFile::kDamaged);
    EXPECT_NE(aef.ErrorString().find("Damaged AEF file"), std::string::npos) << aef.ErrorString();
    EXPECT_EQ(aef.Name(), "App");
    EXPECT_EQ(aef.ExeName(), "APP.EXE");
    ASSERT_EQ(aef.ModuleNameList(), (std::vector<std::string>{"First", "Second"}));

    auto modules = aef.ModuleList();
    EXPECT_TRUE(modules[0]->Success());
    EXPECT_EQ(modules[0]->EntityNameList(), (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(modules[1]->Success());
    EXPECT_NE(modules[1]->ErrorString().find("Damaged module"), std::string::npos);
    const std::vector<std::string> second =
        GetParam().lastEntityWhole ? std::vector<std::string>{"C", "D"} : std::vector<std::string>{"C"};
    EXPECT_EQ(modules[1]->EntityNameList(), second);
    EXPECT_EQ(modules[1]->EntityList()[0]->Source(), "FUNCTION C()\r\n" + std::string(40, 'x') + "\r\n");

    // The whole first module can be written out; the damaged one gives no file.
    EXPECT_TRUE(aef.ExportModule("First", ScratchDos("first.mef")));
    EXPECT_FALSE(aef.ExportModule("Second", ScratchDos("second.mef")));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "second.mef"));
}

TEST_P(DamagedExportFileTest, MefKeepsWhatWasReadBefore) {
    KivAefTestWriter w = KivAefTestWriter::Mef();
    w.Module("Mod", 0, 0).Entity(Func("A")).Entity(Func("B"));
    const size_t at = w.Bytes().size();
    w.Entity(Func("C"));
    WriteFile(Scratch() / "bad.mef", GetParam().apply(w.End(), at));

    KivMEFFile mef(ScratchDos("bad.mef"));
    EXPECT_TRUE(mef.IsMEF());
    EXPECT_FALSE(mef.Success());
    EXPECT_EQ(mef.ErrorCode(), KivMEFFile::kDamaged);
    EXPECT_NE(mef.ErrorString().find("Damaged MEF file"), std::string::npos) << mef.ErrorString();
    EXPECT_EQ(mef.Name(), "Mod");
    const std::vector<std::string> names = GetParam().lastEntityWhole
                                               ? std::vector<std::string>{"A", "B", "C"}
                                               : std::vector<std::string>{"A", "B"};
    EXPECT_EQ(mef.EntityNameList(), names);
    EXPECT_FALSE(mef.ExportModule(ScratchDos("out.mef")));
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedExportFileTest, ::testing::ValuesIn(kDamages),
                         [](const auto& param) { return std::string(param.param.name); });

class TinyExportFileTest : public KivTestHome {};

TEST_F(TinyExportFileTest, IsRefused) {
    // Too short for a header, or a header whose length runs past the end.
    for (const std::string& bytes :
         {std::string(), std::string("\x01\x00", 2), KivAefTestWriter::Head(0x0001, 32) + "\x80\x02",
          KivAefTestWriter::Head(0x0001, 27) + "\x80"}) {
        WriteFile(Scratch() / "tiny", bytes);
        KivAEFFile aef(ScratchDos("tiny"));
        KivMEFFile mef(ScratchDos("tiny"));
        EXPECT_FALSE(aef.IsValid());
        EXPECT_FALSE(mef.IsMEF());
    }
}
