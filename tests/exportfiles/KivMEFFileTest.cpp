#include "exportfiles/KivMEFFile.h"
#include "exportfiles/KivEntityAbstract.h"

#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"
#include "support/KivDateTime.h"

namespace {

KivTestEntity Entity(const std::string& name, const std::string& prototype, const std::string& source) {
    KivTestEntity e;
    e.name = name;
    e.prototype = prototype;
    e.source = source;
    return e;
}

} // namespace

class MEFFileTest : public KivTestHome {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteFile(Scratch() / name, bytes);
        return ScratchDos(name);
    }
};

TEST_F(MEFFileTest, ReadsTheModuleAndItsEntities) {
    KivAefTestWriter w = KivAefTestWriter::Mef();
    w.Module("Win", 1700000000, 1600000000);
    KivTestEntity init =
        Entity("MYWIN:INIT", "METHOD\tInit(oOwner) CLASS MyWin", "METHOD Init(oOwner) CLASS MyWin\r\n");
    init.created = 1000000000;
    init.built = 1100000000;
    w.Entity(init);
    w.Entity(Entity(" Helper\t", "static func Helper(a)", "STATIC FUNCTION Helper(a)\r\nRETURN a\r\n"));
    // Trailing NUL bytes after a source are no part of it.
    w.Entity(Entity("Text", "TEXTBLOCK Notes", std::string("TEXTBLOCK Notes\r\n\0\0\0", 20)));
    const std::string path = Write("win.mef", w.End());

    KivMEFFile mef(path);
    ASSERT_TRUE(mef.IsMEF());
    EXPECT_TRUE(mef.IsValid());
    EXPECT_FALSE(mef.IsPRG());
    EXPECT_TRUE(mef.Success());
    EXPECT_EQ(mef.Name(), "Win");
    EXPECT_EQ(mef.FullPath(), path);
    EXPECT_EQ(mef.Version(), "CA-Visual Objects 2.0");
    EXPECT_FALSE(mef.IsExternal());
    EXPECT_EQ(mef.ExternalSource(), "");
    EXPECT_EQ(mef.LastBuildDate(), KivDate::FromYMD(2023, 11, 14));
    EXPECT_EQ(mef.LastBuildTime(), "22:13:20");
    EXPECT_EQ(mef.CreateDate(), KivDate::FromYMD(2020, 9, 13));
    EXPECT_EQ(mef.CreateTime(), "12:26:40");

    auto list = mef.EntityList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(mef.EntityCount(), 3u);
    EXPECT_EQ(list[0]->Name(), "MYWIN:INIT");
    EXPECT_EQ(list[0]->VOPrototype(), "METHOD Init ( oOwner )  CLASS MyWin");
    EXPECT_EQ(list[0]->Type().Name(), "METHOD");
    EXPECT_EQ(list[0]->Visibility().Name(), "PUBLIC");
    EXPECT_EQ(list[0]->Info(), "MyWin:Init");
    EXPECT_EQ(list[0]->Source(), "METHOD Init(oOwner) CLASS MyWin\r\n");
    // Entity moments are shown in local time.
    const auto created = KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(1000000000));
    const auto built = KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(1100000000));
    EXPECT_EQ(list[0]->CreateDate(), created.first);
    EXPECT_EQ(list[0]->CreateTime(), created.second);
    EXPECT_EQ(list[0]->LastBuildDate(), built.first);
    EXPECT_EQ(list[0]->LastBuildTime(), built.second);

    EXPECT_EQ(list[1]->Name(), "Helper");
    EXPECT_EQ(list[1]->Prototype(), "STATIC FUNCTION Helper ( a )");
    EXPECT_EQ(list[1]->Type().Name(), "FUNCTION");
    EXPECT_EQ(list[1]->Visibility().Name(), "STATIC");
    EXPECT_EQ(list[2]->Source(), "TEXTBLOCK Notes\r\n");
    EXPECT_EQ(list[2]->Info(), "Notes");

    mef.SortByName();
    EXPECT_EQ(mef.EntityNameList(), (std::vector<std::string>{"Helper", "MYWIN:INIT", "Text"}));
}

TEST_F(MEFFileTest, EntityFindComparesTheBeginningIgnoringCase) {
    KivAefTestWriter w = KivAefTestWriter::Mef();
    w.Module("M", 0, 0)
        .Entity(Entity("Inspect", "FUNCTION Inspect()", ""))
        .Entity(Entity("Init", "FUNCTION Init()", ""));
    KivMEFFile mef(Write("m.mef", w.End()));
    ASSERT_NE(mef.EntityFind("init"), nullptr);
    EXPECT_EQ(mef.EntityFind("init")->Name(), "Init");
    EXPECT_EQ(mef.EntityFind("in")->Name(), "Inspect");
    EXPECT_EQ(mef.EntityFind("")->Name(), "Inspect");
    EXPECT_EQ(mef.EntityFind("Initialise"), nullptr);
}

TEST_F(MEFFileTest, EntityWithoutPrototypeIsLeftOutAndReported) {
    KivAefTestWriter w = KivAefTestWriter::Mef();
    w.Module("M", 0, 0).Entity(Entity("Win", "", "")).Entity(Entity("F", "FUNCTION F()", "FUNCTION F()"));
    KivMEFFile mef(Write("m.mef", w.End()));
    EXPECT_TRUE(mef.IsMEF());
    EXPECT_FALSE(mef.Success());
    EXPECT_EQ(mef.EntityNameList(), std::vector<std::string>{"F"});
    // An entity without source record has an empty source.
    KivAefTestWriter v = KivAefTestWriter::Mef();
    v.Module("M", 0, 0).Text(0x0040, "G").Text(0x004E, "FUNCTION G()").Record(0x010D, std::string(84, '\0'));
    KivMEFFile mef2(Write("n.mef", v.End()));
    EXPECT_TRUE(mef2.Success());
    ASSERT_EQ(mef2.EntityCount(), 1u);
    EXPECT_EQ(mef2.EntityList()[0]->Source(), "");
}

TEST_F(MEFFileTest, ExternalModuleTakesItsEntitiesFromTheStoredSource) {
    // The record's every byte is the source, a NUL byte inside it too.
    const std::string source("// header\r\nFUNCTION B()\r\nRETURN 1\r\nFUNCTION A()\r\nRETURN \"\0\"\r\n",
                             61);
    KivAefTestWriter w = KivAefTestWriter::Mef();
    w.Module("Ext", 0, 0).Text(0x0022, "C:\\src\\ext.prg").Record(0x0101, source);
    KivMEFFile mef(Write("ext.mef", w.End()));
    EXPECT_TRUE(mef.IsExternal());
    EXPECT_EQ(mef.ExternalFile(), "C:\\src\\ext.prg");
    EXPECT_EQ(mef.ExternalSource(), source);
    EXPECT_EQ(mef.EntityNameList(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(mef.EntityFind("b")->Source(), "FUNCTION B()\r\nRETURN 1\r\n");
    EXPECT_EQ(mef.EntityFind("a")->Source(), std::string("FUNCTION A()\r\nRETURN \"\0\"\r\n", 26));

    KivAefTestWriter v = KivAefTestWriter::Mef();
    v.Module("Ext", 0, 0).Text(0x0022, "C:\\src\\ext.prg");
    KivMEFFile bare(Write("bare.mef", v.End()));
    EXPECT_TRUE(bare.IsExternal());
    EXPECT_EQ(bare.EntityCount(), 0u);
}

TEST_F(MEFFileTest, RefusesWhatIsNoMef) {
    {
        KivMEFFile mef(Write("app.aef", KivAefTestWriter::Aef().End()));
        EXPECT_FALSE(mef.IsMEF());
        EXPECT_FALSE(mef.IsValid());
        EXPECT_FALSE(mef.Success());
        EXPECT_EQ(mef.ErrorCode(), 2u);
        EXPECT_EQ(mef.ErrorString(), "Invalid MEF File STRUCTURE");
        EXPECT_TRUE(mef.EntityList().empty());
    }
    {
        KivAefTestWriter w;
        w.Record(0x0001, KivAefTestWriter::U16Bytes(0x0280) + std::string("CA-VO Module Export File") + '\0');
        std::string bytes = w.End();
        bytes[6] = 0x00; // bit 7 cleared
        KivMEFFile mef(Write("v.mef", bytes));
        EXPECT_FALSE(mef.IsMEF());
        EXPECT_FALSE(mef.Success());
        EXPECT_EQ(mef.ErrorString(), "");
    }
    {
        KivMEFFile mef(ScratchDos("missing.mef"));
        EXPECT_FALSE(mef.IsMEF());
        EXPECT_EQ(mef.ErrorString(), "");
        EXPECT_FALSE(mef.ExportModule(ScratchDos("out.mef")));
    }
}

TEST_F(MEFFileTest, OwnFileStopsAtASecondModuleRecord) {
    KivAefTestWriter w = KivAefTestWriter::Mef();
    w.Module("One", 0, 0)
        .Entity(Entity("F", "FUNCTION F()", ""))
        .Module("Two", 0, 0)
        .Entity(Entity("G", "FUNCTION G()", ""));
    KivMEFFile mef(Write("two.mef", w.End()));
    EXPECT_FALSE(mef.Success()) << "a MEF holds one module: the second is lost to whoever reads it";
    EXPECT_EQ(mef.ErrorString().rfind("Damaged MEF file: a second module at offset ", 0), 0u);
    EXPECT_EQ(mef.Name(), "One");
    EXPECT_EQ(mef.EntityNameList(), std::vector<std::string>{"F"});
}
