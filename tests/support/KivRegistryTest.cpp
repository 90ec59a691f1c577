#include "support/KivRegistry.h"
#include "common/KivTestHome.h"
#include "platform/KivDosPath.h"
#include "platform/KivRegistryStore.h"
#include "support/KivDateTime.h"
#include "support/KivIDESettings.h"

#include <cstdlib>
#include <ctime>

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Section = std::vector<std::pair<std::string, KivUsual>>;
using namespace kiv::reg;

namespace {

std::string Sz(std::string_view text) {
    return std::string(text) + '\0';
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}

} // namespace

class RegistryTest : public KivTestHome {
protected:
    // The object the tests work through: a key of the current user's root.
    KivRegistry m_reg{"Software\\KivTest", kCurrentUser};

    void Put(std::string_view section, std::string_view entry, uint32_t type, const std::string& data) {
        ASSERT_TRUE(m_reg.PutData(section, entry, data.data(), static_cast<uint32_t>(data.size()), type));
    }
    // The type and bytes as the store holds them; type 99 when the value is missing.
    std::pair<uint32_t, std::string> Raw(std::string_view section, std::string_view entry) {
        KivRegistry probe(m_reg.SubKey(), m_reg.UseKey());
        std::string data;
        uint32_t type = 0;
        if (!probe.GetData(section, entry, data, type))
            return {99, {}};
        return {type, data};
    }
};

TEST_F(RegistryTest, KeyPathsRootsAndLevels) {
    KivRegistry reg;
    EXPECT_EQ(reg.UseKey(), kLocalMachine);
    EXPECT_EQ(reg.UseKeyString(), "HKEY_LOCAL_MACHINE");
    reg.Init("  \\Software\\A\\B  ");
    EXPECT_EQ(reg.SubKey(), "Software\\A\\B");
    EXPECT_EQ(reg.FileName(), "Software\\A\\B");
    EXPECT_EQ(reg.KeyLevel(), 2);
    EXPECT_EQ(reg.BuildSubKey(""), "Software\\A\\B");
    EXPECT_EQ(reg.BuildSubKey("C\\D"), "Software\\A\\B\\C\\D");

    EXPECT_EQ(reg.UseKey(kUsers), kUsers);
    EXPECT_EQ(reg.UseKeyString(), "HKEY_USERS");
    EXPECT_EQ(reg.UseKey(0x80000005u), kUsers); // not one of the four roots: ignored
    EXPECT_EQ(reg.UseKey(kClassesRoot), kClassesRoot);
    EXPECT_EQ(reg.UseKeyString(), "HKEY_CLASSES_ROOT");
    EXPECT_EQ(KivRegistry("x", kCurrentUser).UseKeyString(), "HKEY_CURRENT_USER");

    EXPECT_EQ(reg.MoveDownTo("  \\C  "), "Software\\A\\B\\C");
    EXPECT_EQ(reg.MoveDownTo("   "), "Software\\A\\B\\C");
    EXPECT_EQ(reg.MoveUpTo(4), "Software\\A\\B\\C"); // above the key level: unchanged
    EXPECT_EQ(reg.MoveUpTo(2), "Software\\A");
    EXPECT_EQ(reg.MoveUpTo(), "Software");
    EXPECT_EQ(reg.MoveUpTo(), "Software");

    // Below an empty key path a section is the root's own subkey.
    KivRegistry root("", kCurrentUser);
    EXPECT_EQ(root.BuildSubKey("X"), "X");
    EXPECT_EQ(root.MoveDownTo("X"), "X");

    auto clone = reg.CloneSelf();
    EXPECT_EQ(clone->SubKey(), "Software");
    EXPECT_EQ(clone->UseKey(), kClassesRoot);
    auto sub = reg.CreateSubKeyObject("Classes\\Kiv");
    EXPECT_EQ(sub->SubKey(), "Software\\Classes\\Kiv");
    EXPECT_EQ(sub->UseKey(), kClassesRoot);
    EXPECT_EQ(reg.SubKey(), "Software");
}

TEST_F(RegistryTest, ReadingMissingValuesCreatesThemWithTheirDefault) {
    EXPECT_EQ(m_reg.GetString("Directories", "AEFPath", "C:\\AEF   "), "C:\\AEF");
    EXPECT_EQ(Raw("Directories", "AEFPath"), std::make_pair(kRegSz, Sz("C:\\AEF   ")));
    EXPECT_EQ(m_reg.GetString("Directories", "AEFPath", "other"), "C:\\AEF");

    EXPECT_EQ(m_reg.GetString("", "Blank"), "");
    EXPECT_EQ(Raw("", "Blank"), std::make_pair(kRegSz, Sz(" ")));

    EXPECT_EQ(m_reg.GetInt("Numbers", "Count", -7), -7);
    EXPECT_EQ(Raw("Numbers", "Count"), std::make_pair(kRegDword, Bytes({0xF9, 0xFF, 0xFF, 0xFF})));
    EXPECT_EQ(m_reg.GetInt("Numbers", "Count", 5), -7);

    EXPECT_EQ(m_reg.GetStringArray("Lists", "Libs", {"System", "GUI"}), (Strings{"System", "GUI"}));
    EXPECT_EQ(Raw("Lists", "Libs"), std::make_pair(kRegMultiSz, Sz("System") + Sz("GUI") + Sz("")));
    EXPECT_EQ(m_reg.GetStringArray("Lists", "None"), Strings{});
    EXPECT_EQ(Raw("Lists", "None"), std::make_pair(kRegMultiSz, Sz("")));
}

TEST_F(RegistryTest, ReadsConvertEveryValueType) {
    Put("", "Dword", kRegDword, Bytes({26, 0, 0, 0}));
    Put("", "Big", kRegDwordBigEndian, Bytes({0, 0, 1, 2}));
    Put("", "Text", kRegSz, Sz("value  "));
    Put("", "Expand", kRegExpandSz, Sz("%TEMP%"));
    Put("", "Binary", kRegBinary, "abc");
    Put("", "Empty", kRegBinary, "");
    Put("", "Multi", kRegMultiSz, Sz("a") + Sz("") + Sz("b") + Sz(""));
    Put("", "Unterminated", kRegMultiSz, Sz("a") + "b");
    Put("", "Qword", 11, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    Put("", "Short", kRegDword, Bytes({1, 2}));

    EXPECT_EQ(m_reg.GetString("", "Dword"), "26");
    EXPECT_EQ(m_reg.GetInt("", "Dword"), 26);
    EXPECT_EQ(m_reg.GetInt("", "Big"), 0x102);
    EXPECT_EQ(m_reg.GetString("", "Big"), "258");
    EXPECT_EQ(m_reg.GetString("", "Text"), "value");
    EXPECT_EQ(m_reg.GetString("", "Expand"), "%TEMP%");
    EXPECT_EQ(m_reg.GetString("", "Binary"), "ab"); // every string-like type loses its last byte
    EXPECT_EQ(m_reg.GetString("", "Empty"), "");
    EXPECT_EQ(m_reg.GetString("", "Qword"), "");
    EXPECT_EQ(m_reg.GetInt("", "Text", 9), 0);
    // A DWORD of the wrong size gives the default and keeps its bytes.
    EXPECT_EQ(m_reg.GetInt("", "Short", 9), 9);
    EXPECT_EQ(Raw("", "Short"), std::make_pair(kRegDword, Bytes({1, 2})));

    EXPECT_EQ(m_reg.GetStringArray("", "Multi"), Strings{"a"}); // up to the first empty string
    EXPECT_EQ(m_reg.GetStringArray("", "Unterminated"), (Strings{"a", "b"}));
    // A value of another type is not replaced by the default when read as a list.
    EXPECT_EQ(m_reg.GetStringArray("", "Text", {"d"}), Strings{"d"});
    EXPECT_EQ(Raw("", "Text"), std::make_pair(kRegSz, Sz("value  ")));

    EXPECT_EQ(m_reg.GetSection(""), (Section{{"Dword", int64_t{26}},
                                             {"Big", int64_t{258}},
                                             {"Text", "value"},
                                             {"Expand", "%TEMP%"},
                                             {"Multi", std::string("a\0\0b\0", 5)},
                                             {"Unterminated", std::string("a\0", 2)},
                                             {"Short", int64_t{0}}}));
}

TEST_F(RegistryTest, WritesStoreTheirTypesAndBytes) {
    ASSERT_TRUE(m_reg.WriteString("W", "Long", std::string(3000, 'x')));
    EXPECT_EQ(Raw("W", "Long"), std::make_pair(kRegSz, Sz(std::string(KivRegistry::kMaxString, 'x'))));
    ASSERT_TRUE(m_reg.SetString("W", "Text", "abc"));
    EXPECT_EQ(Raw("W", "Text"), std::make_pair(kRegSz, Sz("abc")));
    ASSERT_TRUE(m_reg.WriteInt("W", "Number", 0x01020304));
    EXPECT_EQ(Raw("W", "Number"), std::make_pair(kRegDword, Bytes({4, 3, 2, 1})));
    ASSERT_TRUE(m_reg.SetInt("W", "Number", 1));
    EXPECT_EQ(Raw("W", "Number"), std::make_pair(kRegDword, Bytes({1, 0, 0, 0})));
    ASSERT_TRUE(m_reg.WriteStringArray("W", "List", {"x", "yz"}));
    EXPECT_EQ(Raw("W", "List"), std::make_pair(kRegMultiSz, Sz("x") + Sz("yz") + Sz("")));
    ASSERT_TRUE(m_reg.WriteValue("W", "Date", KivDate::FromYMD(2000, 10, 14)));
    EXPECT_EQ(m_reg.GetValue("W", "Date", KivDate()), KivUsual(KivDate::FromYMD(2000, 10, 14)));
    EXPECT_EQ(m_reg.GetValue("W", "Flag", true), KivUsual(true));
    EXPECT_EQ(Raw("W", "Flag"), std::make_pair(kRegSz, Sz(".T.")));
    // Names are found ignoring case and keep the case they were made with.
    ASSERT_TRUE(m_reg.WriteString("w", "TEXT", "new"));
    EXPECT_EQ(m_reg.GetEntries("W"), (Strings{"Long", "Text", "Number", "List", "Date", "Flag"}));
    EXPECT_EQ(m_reg.GetString("W", "text"), "new");
}

TEST_F(RegistryTest, RawDataAccess) {
    const std::string data = Bytes({0, 1, 2, 0xFF});
    ASSERT_TRUE(m_reg.PutData("Raw", "", data.data(), 4, kRegBinary));
    EXPECT_EQ(m_reg.GetDataType("Raw", ""), kRegBinary);
    EXPECT_EQ(m_reg.GetDataSize("Raw", ""), 4u);
    EXPECT_EQ(m_reg.LastError(), kSuccess);
    char buffer[8] = {};
    EXPECT_FALSE(m_reg.GetData("Raw", "", buffer, 3));
    EXPECT_EQ(m_reg.LastError(), KivRegistry::kMoreData);
    EXPECT_EQ(buffer[0], 0);
    ASSERT_TRUE(m_reg.GetData("Raw", "", buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer, 4), data);
    EXPECT_FALSE(m_reg.GetData("Raw", "", nullptr, 8));
    EXPECT_FALSE(m_reg.PutData("Raw", "x", nullptr, 2, kRegBinary));
    EXPECT_EQ(m_reg.LastError(), 87u);
    ASSERT_TRUE(m_reg.PutData("Raw", "Nothing", nullptr, 0, 42));
    EXPECT_EQ(m_reg.GetDataType("Raw", "Nothing"), 42u);
    EXPECT_EQ(m_reg.GetDataSize("Raw", "Nothing"), 0u);

    EXPECT_EQ(m_reg.GetDataType("Raw", "Missing"), kRegNone);
    EXPECT_EQ(m_reg.LastError(), kFileNotFound);
    EXPECT_EQ(m_reg.GetDataSize("Nowhere", "x"), 0u);
    EXPECT_EQ(m_reg.LastError(), kFileNotFound);
    EXPECT_FALSE(m_reg.KeyExist("Nowhere")); // reading raw data creates nothing
}

TEST_F(RegistryTest, ExistenceListingAndDeletion) {
    EXPECT_FALSE(m_reg.KeyExist(""));
    EXPECT_EQ(m_reg.GetSections(), Strings{});
    EXPECT_EQ(m_reg.LastError(), kFileNotFound);
    m_reg.WriteInt("beta", "b", 1);
    m_reg.WriteInt("Alpha\\Deep\\Deeper", "d", 1);
    m_reg.WriteInt("Alpha", "z", 1);
    m_reg.WriteInt("Alpha", "a", 2);
    m_reg.WriteInt("gamma", "g", 3);
    EXPECT_TRUE(m_reg.KeyExist(""));
    EXPECT_TRUE(m_reg.KeyExist("ALPHA\\deep"));
    EXPECT_TRUE(m_reg.EntryExist("alpha", "Z"));
    EXPECT_FALSE(m_reg.EntryExist("alpha", "q"));
    EXPECT_FALSE(m_reg.EntryExist("none", "q"));
    EXPECT_EQ(m_reg.GetSections(), (Strings{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(m_reg.GetEntries("Alpha"), (Strings{"z", "a"}));

    EXPECT_TRUE(m_reg.DeleteEntry("Alpha", "Z"));
    EXPECT_FALSE(m_reg.DeleteEntry("Alpha", "Z"));
    EXPECT_EQ(m_reg.LastError(), kFileNotFound);
    m_reg.WriteInt("Alpha", "c", 3);
    EXPECT_TRUE(m_reg.DeleteEntries("Alpha"));
    EXPECT_EQ(m_reg.GetEntries("Alpha"), Strings{});
    EXPECT_TRUE(m_reg.KeyExist("Alpha\\Deep\\Deeper"));

    EXPECT_TRUE(m_reg.DeleteSection("Alpha"));
    EXPECT_FALSE(m_reg.KeyExist("Alpha\\Deep"));
    EXPECT_FALSE(m_reg.DeleteSection("Alpha"));
    EXPECT_EQ(m_reg.GetSections(), (Strings{"beta", "gamma"}));
    // A root is never emptied by deleting "its" section.
    KivRegistry root("", kCurrentUser);
    EXPECT_FALSE(root.DeleteSection(""));
    EXPECT_EQ(root.LastError(), kAccessDenied);
    EXPECT_TRUE(m_reg.KeyExist("beta"));
    // The object's own key goes with an empty section.
    EXPECT_TRUE(m_reg.DeleteSection(""));
    EXPECT_FALSE(m_reg.KeyExist(""));
    EXPECT_TRUE(root.KeyExist("Software"));
}

TEST_F(RegistryTest, CopiesKeepTypesAndBytes) {
    Put("Src", "Bin", kRegBinary, Bytes({0, 0xFF}));
    Put("Src", "Text", kRegSz, Sz("t"));
    m_reg.WriteInt("Src\\Child", "c", 7);
    KivRegistry machine("Software\\Other", kLocalMachine);

    EXPECT_TRUE(m_reg.CopyEntry("Src", "BIN", "Dst"));
    EXPECT_EQ(Raw("Dst", "Bin"), std::make_pair(kRegBinary, Bytes({0, 0xFF})));
    EXPECT_EQ(m_reg.GetEntries("Dst"), Strings{"Bin"}); // the name as the source holds it
    EXPECT_FALSE(m_reg.CopyEntry("Src", "Missing", "Dst2"));
    EXPECT_EQ(m_reg.LastError(), kFileNotFound);
    EXPECT_FALSE(m_reg.KeyExist("Dst2"));

    EXPECT_TRUE(m_reg.CopyEntries("Src", machine));
    EXPECT_EQ(machine.GetEntries(""), (Strings{"Bin", "Text"}));
    EXPECT_EQ(machine.GetSections(), Strings{});

    EXPECT_TRUE(m_reg.CopySection("Src", "Copy"));
    EXPECT_EQ(m_reg.GetEntries("Copy"), (Strings{"Bin", "Text"}));
    EXPECT_EQ(m_reg.GetInt("Copy\\Child", "c"), 7);
    EXPECT_TRUE(m_reg.CopySections("Src", machine));
    EXPECT_EQ(machine.GetSections(), Strings{"Child"});
    EXPECT_EQ(machine.GetInt("Child", "c"), 7);
    EXPECT_TRUE(m_reg.CopySections("Src", "Kids"));
    EXPECT_EQ(m_reg.GetEntries("Kids"), Strings{});
    EXPECT_EQ(m_reg.GetInt("Kids\\Child", "c"), 7);

    // Onto itself: nothing changes.
    KivRegistry same("Software\\KivTest\\Src", kCurrentUser);
    EXPECT_TRUE(m_reg.CopyEntries("Src", same));
    EXPECT_TRUE(m_reg.CopyEntry("Src", "Text", "src"));
    EXPECT_EQ(m_reg.GetEntries("Src"), (Strings{"Bin", "Text"}));
    EXPECT_FALSE(m_reg.CopySection("Missing", "X"));
    EXPECT_FALSE(m_reg.KeyExist("X"));
}

TEST_F(RegistryTest, MovesRemoveTheSourceOnlyAfterACopy) {
    m_reg.WriteString("Src", "a", "1");
    m_reg.WriteString("Src", "b", "2");
    m_reg.WriteInt("Src\\Child", "c", 7);
    m_reg.WriteInt("Src\\Other", "o", 8);

    EXPECT_TRUE(m_reg.MoveEntry("Src", "a", "Dst"));
    EXPECT_EQ(m_reg.GetEntries("Src"), Strings{"b"});
    EXPECT_EQ(Raw("Dst", "a"), std::make_pair(kRegSz, Sz("1")));
    // Moving a value onto its own key keeps it.
    EXPECT_TRUE(m_reg.MoveEntry("Src", "b", "SRC"));
    EXPECT_TRUE(m_reg.MoveEntries("Src", KivRegistry("Software\\KivTest\\Src", kCurrentUser)));
    EXPECT_EQ(m_reg.GetEntries("Src"), Strings{"b"});
    EXPECT_TRUE(m_reg.MoveEntries("Src", "Dst"));
    EXPECT_EQ(m_reg.GetEntries("Src"), Strings{});
    EXPECT_EQ(m_reg.GetEntries("Dst"), (Strings{"a", "b"}));

    // A key cannot go into its own subtree; it stays whole.
    EXPECT_FALSE(m_reg.MoveSection("Src", "Src\\Child\\In"));
    EXPECT_EQ(m_reg.LastError(), kInvalidParameter);
    EXPECT_EQ(m_reg.GetSections("Src"), (Strings{"Child", "Other"}));
    EXPECT_TRUE(m_reg.MoveSection("Src", "Src"));
    EXPECT_TRUE(m_reg.KeyExist("Src\\Child"));

    EXPECT_TRUE(m_reg.MoveSections("Src", "Kids"));
    EXPECT_EQ(m_reg.GetSections("Src"), Strings{});
    EXPECT_EQ(m_reg.GetSections("Kids"), (Strings{"Child", "Other"}));
    EXPECT_TRUE(m_reg.MoveSection("Kids", KivRegistry("Software\\Moved", kUsers)));
    EXPECT_FALSE(m_reg.KeyExist("Kids"));
    EXPECT_EQ(KivRegistry("Software\\Moved\\Other", kUsers).GetInt("", "o"), 8);
}

TEST_F(RegistryTest, KeyInfoCountsAndLastWrite) {
    m_reg.WriteString("", "Name", "12345");
    m_reg.WriteInt("", "LongerName", 1);
    m_reg.WriteInt("Sub", "x", 1);
    m_reg.WriteInt("SubKey2", "x", 1);
    const time_t before = time(nullptr);
    const KivRegKeyInfo info = m_reg.KeyInfo();
    EXPECT_EQ(info.SubKeys(), 2u);
    EXPECT_EQ(info.MaxSubKeyLen(), 7u);
    EXPECT_EQ(info.Values(), 2u);
    EXPECT_EQ(info.MaxValueNameLen(), 10u);
    EXPECT_EQ(info.MaxValueLen(), 6u);
    // Local time, to two seconds.
    const auto [date, time] =
        KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(static_cast<uint32_t>(before)));
    EXPECT_LE(std::abs(info.LastWriteDate().DaysSince1970() - date.DaysSince1970()), 1);
    ASSERT_EQ(info.LastWriteTime().size(), 8u);
    EXPECT_EQ((info.LastWriteTime()[7] - '0') % 2, 0);

    const KivRegKeyInfo none = KivRegistry("Software\\Nothing", kCurrentUser).KeyInfo();
    EXPECT_EQ(none.SubKeys(), 0u);
    EXPECT_TRUE(none.LastWriteDate().IsNull());
    // A root was never written: no date a packed date can hold.
    const KivRegKeyInfo root = KivRegistry("", kClassesRoot).KeyInfo();
    EXPECT_TRUE(root.LastWriteDate().IsNull());
    EXPECT_EQ(root.LastWriteTime(), "00:00:00");
}

TEST_F(RegistryTest, SaveAndRestoreInTheStoresFileForm) {
    m_reg.WriteString("Keep", "a", "1");
    m_reg.WriteInt("Keep\\Child", "c", 7);
    const std::string file = ScratchDos("keep.sav");
    WriteFile(Scratch() / "keep.sav", "an older file");
    ASSERT_TRUE(m_reg.SaveKey("Keep", file));
    EXPECT_NE(ReadFile(Scratch() / "keep.sav").substr(0, 8), "an older");
    EXPECT_EQ(ReadFile(Scratch() / "keep.sav").substr(0, 8), "KIVREGSV");

    m_reg.WriteString("Keep", "a", "changed");
    m_reg.WriteString("Keep", "extra", "x");
    ASSERT_TRUE(m_reg.RestoreKey("Keep", file));
    EXPECT_EQ(m_reg.GetEntries("Keep"), Strings{"a"});
    EXPECT_EQ(m_reg.GetString("Keep", "a"), "1");
    EXPECT_EQ(m_reg.GetInt("Keep\\Child", "c"), 7);
    // Into a new key.
    ASSERT_TRUE(m_reg.RestoreKey("Elsewhere", file));
    EXPECT_EQ(m_reg.GetInt("Elsewhere\\Child", "c"), 7);

    EXPECT_FALSE(m_reg.SaveKey("Missing", ScratchDos("missing.sav")));
    EXPECT_FALSE(fs::exists(Scratch() / "missing.sav"));
    EXPECT_FALSE(m_reg.SaveKey("Keep", "D:\\keep.sav"));
    EXPECT_EQ(m_reg.LastError(), kPathNotFound);
    EXPECT_FALSE(m_reg.SaveKey("Keep", ScratchDos("no\\folder\\keep.sav")));
    EXPECT_FALSE(m_reg.RestoreKey("Keep", ScratchDos("absent.sav")));
    EXPECT_EQ(m_reg.LastError(), kFileNotFound);
    WriteFile(Scratch() / "bad.sav", "KIVREGSV garbage");
    EXPECT_FALSE(m_reg.RestoreKey("Keep", ScratchDos("bad.sav")));
    EXPECT_EQ(m_reg.LastError(), kNotRegistryFile);
    EXPECT_EQ(m_reg.GetString("Keep", "a"), "1");
    // Nothing but the saved file is left in the folder.
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(Scratch()))
        files += entry.path().filename().string().rfind("Kiv", 0) == 0;
    EXPECT_EQ(files, 0u);
}

TEST_F(RegistryTest, ReplaceKeyTakesEffectAtTheNextStart) {
    const char* previous = std::getenv("TMPDIR");
    const std::string savedTmp = previous ? previous : "";
    fs::create_directories(Scratch() / "tmp");
    setenv("TMPDIR", (Scratch() / "tmp").c_str(), 1);

    m_reg.WriteString("Settings", "v", "new");
    ASSERT_TRUE(m_reg.SaveKey("Settings", ScratchDos("new.sav")));
    m_reg.WriteString("Settings", "v", "old");
    ASSERT_TRUE(m_reg.ReplaceKey("Settings", ScratchDos("new.sav"), ScratchDos("old.sav")));
    EXPECT_EQ(m_reg.GetString("Settings", "v"), "old");
    ASSERT_TRUE(m_reg.ReplaceKey("Settings", ScratchDos("new.sav")));
    // No temporary file stays behind.
    EXPECT_TRUE(fs::is_empty(Scratch() / "tmp"));
    EXPECT_FALSE(m_reg.ReplaceKey("Settings", ScratchDos("absent.sav")));
    EXPECT_FALSE(m_reg.ReplaceKey("Settings", "D:\\new.sav"));

    // The next start of the store carries the replacement out.
    {
        KivRegistryStore next;
        ASSERT_EQ(next.Open(), kSuccess);
    }
    EXPECT_EQ(m_reg.GetString("Settings", "v"), "new");
    ASSERT_TRUE(m_reg.RestoreKey("Restored", ScratchDos("old.sav")));
    EXPECT_EQ(m_reg.GetString("Restored", "v"), "old");

    if (previous)
        setenv("TMPDIR", savedTmp.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST_F(RegistryTest, AStoreThatCannotOpenGivesDefaultsAndErrors) {
    WriteFile(Scratch() / "file", "x");
    setenv("KIV_HOME", (Scratch() / "file" / "home").c_str(), 1);
    KivRegistry reg("Software\\X", kCurrentUser);
    EXPECT_EQ(reg.GetString("", "v", "dflt "), "dflt");
    EXPECT_NE(reg.LastError(), kSuccess);
    EXPECT_EQ(reg.GetInt("", "n", 4), 4);
    EXPECT_FALSE(reg.WriteString("", "v", "x"));
    EXPECT_FALSE(reg.KeyExist(""));
    EXPECT_EQ(reg.GetSections(), Strings{});
    EXPECT_FALSE(reg.CopySection("", "Y"));
    EXPECT_FALSE(reg.ExportToFile("", ScratchDos("x.reg")));
    EXPECT_FALSE(fs::exists(Scratch() / "x.reg"));
    setenv("KIV_HOME", Home().c_str(), 1);
    EXPECT_EQ(reg.GetString("", "v", "dflt "), "dflt");
    EXPECT_EQ(reg.LastError(), kSuccess);
}

TEST_F(RegistryTest, IDESettingsLiveUnderTheCurrentUser) {
    KivOpenIDESettings();
    KivRegistry& settings = KivIDESettings();
    EXPECT_EQ(settings.UseKey(), kCurrentUser);
    EXPECT_EQ(settings.SubKey(), "SOFTWARE\\ComputerAssociates\\CA-Visual Objects 2.5");
    EXPECT_EQ(&KivIDESettings(), &settings);
    EXPECT_EQ(settings.GetString("Directories", "AEFPath", "C:\\CAVO25\\AEF"), "C:\\CAVO25\\AEF");
    KivCloseIDESettings();
    // Made again on first use; the default read before is stored in the IDE's key.
    KivRegistry ide("Software\\ComputerAssociates\\CA-Visual Objects 2.5", kCurrentUser);
    EXPECT_EQ(ide.GetString("directories", "aefpath", "other"), "C:\\CAVO25\\AEF");
    EXPECT_EQ(KivIDESettings().GetString("Directories", "AEFPath"), "C:\\CAVO25\\AEF");
    KivCloseIDESettings();
}
