#include "platform/KivRegistryStore.h"
#include "common/KivTestHome.h"

#include <sqlite3.h>

#include <chrono>

using namespace kiv::reg;

void PrintTo(const KivRegSaveFile::Key& key, std::ostream* os) {
    *os << "\n" << std::string(key.depth * 2, ' ') << '[' << key.name << ']';
    for (const KivRegSaveFile::Value& v : key.values)
        *os << " \"" << v.name << "\"(" << v.type << ")=" << ::testing::PrintToString(v.data);
}

class RegistryStoreTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        ASSERT_EQ(m_store.Open(), kSuccess) << m_store.ErrorText();
    }
    void TearDown() override {
        m_store.Close();
        KivTestHome::TearDown();
    }

    HKey Create(std::string_view path, HKey root = kCurrentUser) {
        HKey key = 0;
        EXPECT_EQ(m_store.CreateKey(root, path, key), kSuccess) << path << ": " << m_store.ErrorText();
        return key;
    }
    std::vector<std::string> SubKeys(HKey key) {
        std::vector<std::string> names;
        EXPECT_EQ(m_store.SubKeyNames(key, names), kSuccess);
        return names;
    }
    std::vector<std::string> Values(HKey key) {
        std::vector<std::string> names;
        EXPECT_EQ(m_store.ValueNames(key, names), kSuccess);
        return names;
    }
    std::string Data(HKey key, std::string_view name, uint32_t* type = nullptr) {
        uint32_t t = 0;
        std::string data;
        EXPECT_EQ(m_store.QueryValue(key, name, t, data), kSuccess) << name;
        if (type)
            *type = t;
        return data;
    }
    // The key's subtree as a save file's records, without times and the top key's own name.
    KivRegSaveFile::Tree Content(HKey key) {
        std::string bytes;
        EXPECT_EQ(m_store.SaveKeyToBytes(key, bytes), kSuccess);
        KivRegSaveFile::Tree tree;
        std::string reason;
        EXPECT_TRUE(KivRegSaveFile::Decode(bytes, tree, reason)) << reason;
        for (KivRegSaveFile::Key& k : tree)
            k.lastWrite = 0;
        if (!tree.empty())
            tree[0].name.clear();
        return tree;
    }
    // Rows of a table of the store file, read behind the store's back.
    int64_t CountRows(const char* table) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(KivRegistryStore::DefaultPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, (std::string("SELECT count(*) FROM ") + table).c_str(), -1, &stmt, nullptr);
        int64_t n = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return n;
    }

    KivRegistryStore m_store;
};

TEST_F(RegistryStoreTest, LivesInThePlatformHomeAndKeepsWhatWasWritten) {
    EXPECT_EQ(KivRegistryStore::DefaultPath(), Home() / "registry.db");
    EXPECT_TRUE(std::filesystem::exists(Home() / "registry.db"));
    m_store.SetValue(Create("Software\\X"), "v", kRegSz, std::string("t\0", 2));
    m_store.Close();
    KivRegistryStore again;
    ASSERT_EQ(again.Open(), kSuccess);
    HKey key = 0;
    ASSERT_EQ(again.OpenKey(kCurrentUser, "Software\\X", key), kSuccess);
    uint32_t type = 0;
    std::string data;
    ASSERT_EQ(again.QueryValue(key, "v", type, data), kSuccess);
    EXPECT_EQ(data, std::string("t\0", 2));
}

TEST_F(RegistryStoreTest, NamesMatchIgnoringCaseAndKeepTheirWrittenCase) {
    bool created = false;
    HKey app = 0;
    ASSERT_EQ(m_store.CreateKey(kCurrentUser, "Software\\MyApp", app, &created), kSuccess);
    EXPECT_TRUE(created);
    HKey same = 0;
    ASSERT_EQ(m_store.CreateKey(kCurrentUser, "SOFTWARE\\myapp\\", same, &created), kSuccess);
    EXPECT_FALSE(created);
    EXPECT_EQ(same, app);
    ASSERT_EQ(m_store.OpenKey(kCurrentUser, "software\\MYAPP", same), kSuccess);
    EXPECT_EQ(same, app);
    EXPECT_EQ(SubKeys(Create("sOfTwArE")), std::vector<std::string>{"MyApp"});

    ASSERT_EQ(m_store.SetValue(app, "AEFPath", kRegSz, "a"), kSuccess);
    ASSERT_EQ(m_store.SetValue(app, "aefpath", kRegBinary, "b"), kSuccess);
    uint32_t type = 0;
    EXPECT_EQ(Data(app, "AEFPATH", &type), "b");
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(Values(app), std::vector<std::string>{"AEFPath"});

    // Only ASCII letters fold: bytes above 127 are names of their own.
    Create("Software\\\xC4pfel");
    EXPECT_EQ(m_store.OpenKey(kCurrentUser, "Software\\\xE4pfel", same), kFileNotFound);
    // The four roots are separate trees.
    EXPECT_EQ(m_store.OpenKey(kLocalMachine, "Software\\MyApp", same), kFileNotFound);
}

TEST_F(RegistryStoreTest, SubkeysComeInFoldedOrderValuesInCreationOrder) {
    HKey top = Create("Order");
    for (const char* name : {"b", "_x", "C", "a1", "A"})
        Create(std::string("Order\\") + name);
    // Upper-cased bytes decide: "_" (0x5F) sorts after the letters.
    const std::vector<std::string> expected{"A", "a1", "b", "C", "_x"};
    EXPECT_EQ(SubKeys(top), expected);
    std::vector<std::string> byIndex;
    std::string name;
    uint32_t i = 0;
    while (m_store.EnumKey(top, i++, name) == kSuccess)
        byIndex.push_back(name);
    EXPECT_EQ(byIndex, expected);
    EXPECT_EQ(m_store.EnumKey(top, 5, name), kNoMoreItems);

    for (const char* value : {"zeta", "Alpha", "mid"})
        m_store.SetValue(top, value, kRegSz, value);
    m_store.SetValue(top, "ALPHA", kRegSz, "again"); // a rewrite keeps its place
    EXPECT_EQ(Values(top), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    m_store.DeleteValue(top, "ZETA");
    m_store.SetValue(top, "Zeta", kRegDword, "1234");
    EXPECT_EQ(Values(top), (std::vector<std::string>{"Alpha", "mid", "Zeta"}));
    uint32_t type = 0;
    std::string data;
    ASSERT_EQ(m_store.EnumValue(top, 2, name, type, data), kSuccess);
    EXPECT_EQ(name, "Zeta");
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, "1234");
    EXPECT_EQ(m_store.EnumValue(top, 3, name, type, data), kNoMoreItems);
}

TEST_F(RegistryStoreTest, ValuesKeepTheirTypeNumberAndBytes) {
    HKey key = Create("Types");
    const std::string allBytes = [] {
        std::string s;
        for (int c = 0; c < 256; ++c)
            s.push_back(static_cast<char>(c));
        return s;
    }();
    struct Case {
        std::string name;
        uint32_t type;
        std::string data;
    };
    const std::vector<Case> cases{
        {"", kRegSz, std::string("default\0", 8)},
        {"sz", kRegSz, std::string("C:\\Cavo25\0", 10)},
        {"expand", kRegExpandSz, std::string("%TEMP%\0", 7)},
        {"bin", kRegBinary, allBytes},
        {"dword", kRegDword, std::string("\x1A\0\0\0", 4)},
        {"multi", kRegMultiSz, std::string("a\0bc\0\0", 6)},
        {"none", kRegNone, ""},
        {"odd", 11, "q"},
        {"max", 0xFFFFFFFFu, std::string(100000, '\0')},
        {std::string("n\\a\"m\0e\xFF", 8), kRegSz, "x"},
    };
    for (const Case& c : cases)
        ASSERT_EQ(m_store.SetValue(key, c.name, c.type, c.data), kSuccess) << c.name;
    for (const Case& c : cases) {
        uint32_t type = 0;
        EXPECT_EQ(Data(key, c.name, &type), c.data) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
    EXPECT_EQ(Values(key).size(), cases.size());
}

TEST_F(RegistryStoreTest, FailuresAnswerWithWindowsErrorNumbers) {
    HKey key = Create("Here");
    HKey out = 0;
    uint32_t type = 0;
    std::string data;
    EXPECT_EQ(m_store.OpenKey(kCurrentUser, "Here\\Missing", out), kFileNotFound);
    EXPECT_EQ(m_store.QueryValue(key, "missing", type, data), kFileNotFound);
    EXPECT_EQ(m_store.DeleteValue(key, "missing"), kFileNotFound);
    EXPECT_EQ(m_store.DeleteKey(kCurrentUser, "Missing"), kFileNotFound);
    EXPECT_EQ(m_store.EnumValue(key, 0, data, type, data), kNoMoreItems);

    EXPECT_EQ(m_store.CreateKey(kCurrentUser, "\\Lead", out), kBadPathname);
    EXPECT_EQ(m_store.CreateKey(kCurrentUser, "a\\\\b", out), kBadPathname);
    EXPECT_EQ(m_store.CreateKey(kCurrentUser, std::string(256, 'k'), out), kInvalidParameter);
    EXPECT_EQ(m_store.CreateKey(kCurrentUser, std::string(255, 'k'), out), kSuccess);
    EXPECT_EQ(m_store.SetValue(key, std::string(16384, 'v'), kRegSz, ""), kInvalidParameter);
    EXPECT_EQ(m_store.SetValue(key, std::string(16383, 'v'), kRegSz, ""), kSuccess);

    for (HKey bad : {HKey{0}, HKey{12345}, HKey{0x80000004u}, ~HKey{0}}) {
        EXPECT_EQ(m_store.OpenKey(bad, "", out), kInvalidHandle) << bad;
        EXPECT_EQ(m_store.SetValue(bad, "v", kRegSz, ""), kInvalidHandle) << bad;
        EXPECT_EQ(m_store.CloseKey(bad), kInvalidHandle) << bad;
    }
    EXPECT_EQ(m_store.CloseKey(key), kSuccess);
    EXPECT_EQ(m_store.CloseKey(kUsers), kSuccess);

    KivRegistryStore closed;
    EXPECT_EQ(closed.OpenKey(kCurrentUser, "", out), kInvalidHandle);
}

TEST_F(RegistryStoreTest, HandleOfADeletedKeyAnswersKeyDeleted) {
    HKey old = Create("Gone\\Child");
    ASSERT_EQ(m_store.DeleteTree(kCurrentUser, "Gone"), kSuccess);
    HKey out = 0;
    std::string name;
    EXPECT_EQ(m_store.OpenKey(old, "", out), kKeyDeleted);
    EXPECT_EQ(m_store.SetValue(old, "v", kRegSz, ""), kKeyDeleted);
    EXPECT_EQ(m_store.EnumKey(old, 0, name), kKeyDeleted);
    // A key of the same name made again is another key.
    HKey fresh = Create("Gone\\Child");
    EXPECT_NE(fresh, old);
    EXPECT_EQ(m_store.SetValue(old, "v", kRegSz, ""), kKeyDeleted);
}

TEST_F(RegistryStoreTest, DeleteKeyTakesOnlyLeavesAndNeverARoot) {
    Create("Parent\\Leaf");
    EXPECT_EQ(m_store.DeleteKey(kCurrentUser, "Parent"), kAccessDenied);
    EXPECT_EQ(m_store.DeleteKey(kCurrentUser, ""), kAccessDenied);
    EXPECT_EQ(m_store.DeleteTree(kCurrentUser, "Parent\\Leaf\\"), kSuccess);
    EXPECT_EQ(m_store.DeleteKey(kCurrentUser, "PARENT"), kSuccess);
    EXPECT_TRUE(SubKeys(kCurrentUser).empty());
}

TEST_F(RegistryStoreTest, DeleteTreeRemovesEverythingBelowAndNothingElse) {
    const int64_t valuesBefore = CountRows("vals");
    const int64_t keysBefore = CountRows("keys");
    HKey keep = Create("Root\\Keep");
    m_store.SetValue(keep, "k", kRegSz, "kept");
    for (const char* path : {"Root\\Tree\\A\\B\\C", "Root\\Tree\\A\\D", "Root\\Tree\\E"}) {
        HKey key = Create(path);
        m_store.SetValue(key, "v", kRegBinary, path);
    }
    m_store.SetValue(Create("Root\\Tree"), "top", kRegSz, "t");

    ASSERT_EQ(m_store.DeleteTree(kCurrentUser, "root\\tree"), kSuccess);
    HKey out = 0;
    EXPECT_EQ(m_store.OpenKey(kCurrentUser, "Root\\Tree\\A\\B\\C", out), kFileNotFound);
    EXPECT_EQ(SubKeys(Create("Root")), std::vector<std::string>{"Keep"});
    EXPECT_EQ(Data(keep, "k"), "kept");
    // Nothing of the deleted tree is left in the file.
    EXPECT_EQ(CountRows("keys"), keysBefore + 2);
    EXPECT_EQ(CountRows("vals"), valuesBefore + 1);

    // With no path the key stays and loses what it held.
    HKey root = Create("Root");
    m_store.SetValue(root, "r", kRegSz, "");
    ASSERT_EQ(m_store.DeleteTree(root, ""), kSuccess);
    KivRegistryStore::KeyInfo info;
    ASSERT_EQ(m_store.QueryInfoKey(root, info), kSuccess);
    EXPECT_EQ(info.subKeys, 0u);
    EXPECT_EQ(info.values, 0u);
    EXPECT_EQ(CountRows("vals"), valuesBefore);
}

TEST_F(RegistryStoreTest, QueryInfoCountsAndMeasuresInBytes) {
    HKey key = Create("Info");
    Create("Info\\ab");
    Create("Info\\abcdef");
    m_store.SetValue(key, "", kRegSz, std::string(7, 'x'));
    m_store.SetValue(key, "longer name", kRegBinary, "");
    const uint64_t before =
        kFileTimeUnixEpoch + static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                                       std::chrono::system_clock::now().time_since_epoch())
                                                       .count() -
                                                   2) *
                                 10000000u;
    m_store.SetValue(key, "n", kRegDword, "1234");
    KivRegistryStore::KeyInfo info;
    ASSERT_EQ(m_store.QueryInfoKey(key, info), kSuccess);
    EXPECT_EQ(info.subKeys, 2u);
    EXPECT_EQ(info.maxSubKeyLen, 6u);
    EXPECT_EQ(info.values, 3u);
    EXPECT_EQ(info.maxValueNameLen, 11u);
    EXPECT_EQ(info.maxValueLen, 7u);
    EXPECT_GE(info.lastWriteTime, before);
    EXPECT_LT(info.lastWriteTime, before + 600000000u);
}

TEST_F(RegistryStoreTest, KeysNestAtMost512LevelsDeep) {
    std::string path = "k";
    for (int i = 1; i < 512; ++i)
        path += "\\k";
    HKey deepest = Create(path);
    HKey out = 0;
    EXPECT_EQ(m_store.CreateKey(deepest, "one", out), kInvalidParameter);
    EXPECT_EQ(m_store.CreateKey(kCurrentUser, path + "\\one", out), kInvalidParameter);
    EXPECT_EQ(m_store.OpenKey(kCurrentUser, path + "\\one", out), kFileNotFound);
    // A subtree that would end deeper is refused as a whole.
    std::string saved;
    ASSERT_EQ(m_store.SaveKeyToBytes(Create("k\\k"), saved), kSuccess);
    EXPECT_EQ(m_store.RestoreKeyFromBytes(Create("Other\\Level2\\Level3"), saved), kInvalidParameter);
    EXPECT_EQ(m_store.CopyTree(kCurrentUser, "k\\k", kCurrentUser, "Other\\Level2\\Level3"),
              kInvalidParameter);
    EXPECT_TRUE(SubKeys(Create("Other\\Level2\\Level3")).empty());
    ASSERT_EQ(m_store.DeleteTree(kCurrentUser, "k"), kSuccess);
    EXPECT_EQ(CountRows("keys"), 4 + 3);
}

TEST_F(RegistryStoreTest, CopyTreeMergesBytesTypesAndOrder) {
    HKey src = Create("Src");
    m_store.SetValue(src, "B", kRegBinary, std::string("\0\1", 2));
    m_store.SetValue(src, "a", kRegSz, "from source");
    HKey sub = Create("Src\\Sub\\Deeper");
    m_store.SetValue(sub, "", kRegExpandSz, "%X%");
    HKey dst = Create("Dst");
    m_store.SetValue(dst, "A", kRegDword, "1111");
    m_store.SetValue(dst, "own", kRegSz, "mine");
    Create("Dst\\SUB\\Existing");

    ASSERT_EQ(m_store.CopyTree(kCurrentUser, "Src", kLocalMachine, "Copies\\One"), kSuccess);
    EXPECT_EQ(Content(Create("Copies\\One", kLocalMachine)), Content(src));

    ASSERT_EQ(m_store.CopyTree(src, "", dst, ""), kSuccess);
    uint32_t type = 0;
    EXPECT_EQ(Data(dst, "a", &type), "from source");
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(Values(dst), (std::vector<std::string>{"A", "own", "B"}));
    EXPECT_EQ(SubKeys(Create("Dst\\Sub")), (std::vector<std::string>{"Deeper", "Existing"}));
    EXPECT_EQ(Data(Create("Dst\\Sub\\Deeper"), "", &type), "%X%");
    EXPECT_EQ(type, kRegExpandSz);
    EXPECT_EQ(Data(src, "a"), "from source");

    // Into itself: nothing changes; into its own subtree: the tree as it was, once.
    const auto before = Content(src);
    ASSERT_EQ(m_store.CopyTree(src, "", kCurrentUser, "src"), kSuccess);
    EXPECT_EQ(Content(src), before);
    ASSERT_EQ(m_store.CopyTree(src, "", src, "Sub\\Copy"), kSuccess);
    EXPECT_EQ(SubKeys(Create("Src\\Sub\\Copy\\Sub")), std::vector<std::string>{"Deeper"});
}

TEST_F(RegistryStoreTest, MoveTreeIsOneStepOrNone) {
    HKey src = Create("From\\Tree");
    m_store.SetValue(src, "v", kRegSz, "moved");
    Create("From\\Tree\\Child");
    const auto content = Content(src);
    ASSERT_EQ(m_store.MoveTree(kCurrentUser, "From\\Tree", kUsers, "To"), kSuccess);
    HKey out = 0;
    EXPECT_EQ(m_store.OpenKey(kCurrentUser, "From\\Tree", out), kFileNotFound);
    EXPECT_EQ(Content(Create("To", kUsers)), content);

    // Into its own subtree: refused, and the target path it would have made is not left behind.
    EXPECT_EQ(m_store.MoveTree(kUsers, "To", kUsers, "To\\Child\\New"), kInvalidParameter);
    EXPECT_EQ(m_store.OpenKey(kUsers, "To\\Child\\New", out), kFileNotFound);
    EXPECT_EQ(Content(Create("To", kUsers)), content);
    EXPECT_EQ(m_store.MoveTree(kUsers, "To", kUsers, "TO"), kSuccess);
    EXPECT_EQ(Content(Create("To", kUsers)), content);

    // With no source path the key stays, emptied.
    HKey to = Create("To", kUsers);
    ASSERT_EQ(m_store.MoveTree(to, "", kCurrentUser, "Again"), kSuccess);
    EXPECT_EQ(Content(to), Content(Create("Empty")));
    EXPECT_EQ(Content(Create("Again")), content);
}

TEST_F(RegistryStoreTest, SaveAndRestoreGiveBackTheSameTree) {
    HKey src = Create("Software\\ComputerAssociates\\CA-Visual Objects 2.5");
    m_store.SetValue(src, "", kRegSz, std::string("\0", 1));
    m_store.SetValue(src, "Zed", kRegMultiSz, std::string("a\0b\0\0", 5));
    m_store.SetValue(Create("Software\\ComputerAssociates\\CA-Visual Objects 2.5\\Directories"), "AEFPath",
                     kRegSz, std::string("C:\\CAVO25\\AEF\0", 14));
    Create("Software\\ComputerAssociates\\CA-Visual Objects 2.5\\aLower\\Deep");
    const auto content = Content(src);

    const auto file = Scratch() / "ide.sav";
    ASSERT_EQ(m_store.SaveKey(src, file), kSuccess) << m_store.ErrorText();
    EXPECT_EQ(m_store.SaveKey(src, file), kAlreadyExists);

    HKey target = Create("Restored");
    m_store.SetValue(target, "stale", kRegSz, "gone after restore");
    Create("Restored\\StaleKey");
    ASSERT_EQ(m_store.RestoreKey(target, file), kSuccess) << m_store.ErrorText();
    EXPECT_EQ(Content(target), content);
    EXPECT_EQ(SubKeys(target), (std::vector<std::string>{"aLower", "Directories"}));

    // The subkeys keep the last-write times they were saved with.
    KivRegistryStore::KeyInfo original, restored;
    HKey a = 0, b = 0;
    m_store.OpenKey(src, "Directories", a);
    m_store.OpenKey(target, "Directories", b);
    m_store.QueryInfoKey(a, original);
    m_store.QueryInfoKey(b, restored);
    EXPECT_EQ(restored.lastWriteTime, original.lastWriteTime);
}

TEST_F(RegistryStoreTest, DamagedOrMissingSaveFileChangesNothing) {
    HKey src = Create("Saved");
    m_store.SetValue(src, "v", kRegSz, "x");
    const auto file = Scratch() / "saved.sav";
    ASSERT_EQ(m_store.SaveKey(src, file), kSuccess);
    const std::string bytes = ReadFile(file);

    HKey target = Create("Target");
    m_store.SetValue(target, "mine", kRegSz, "kept");
    const auto before = Content(target);
    WriteFile(Scratch() / "short.sav", bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(m_store.RestoreKey(target, Scratch() / "short.sav"), kNotRegistryFile);
    EXPECT_FALSE(m_store.ErrorText().empty());
    WriteFile(Scratch() / "text.sav", "REGEDIT4\r\n\r\n");
    EXPECT_EQ(m_store.RestoreKey(target, Scratch() / "text.sav"), kNotRegistryFile);
    EXPECT_EQ(m_store.RestoreKey(target, Scratch() / "none.sav"), kFileNotFound);
    EXPECT_EQ(m_store.RestoreKey(target, Scratch() / "nofolder" / "none.sav"), kPathNotFound);
    EXPECT_EQ(m_store.RestoreKey(target, Scratch()), kAccessDenied);
    EXPECT_EQ(Content(target), before);
}

TEST_F(RegistryStoreTest, FailedSaveLeavesNoFileBehind) {
    HKey key = Create("K");
    WriteFile(Scratch() / "plain", "a file, not a folder");
    EXPECT_EQ(m_store.SaveKey(key, Scratch() / "plain" / "k.sav"), kPathNotFound);
    EXPECT_EQ(m_store.SaveKey(key, Scratch() / "nofolder" / "k.sav"), kPathNotFound);
    HKey gone = Create("K\\Gone");
    m_store.DeleteKey(gone, "");
    EXPECT_EQ(m_store.SaveKey(gone, Scratch() / "gone.sav"), kKeyDeleted);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Scratch()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(RegistryStoreTest, ReplaceKeyTakesEffectWhenTheStoreIsNextOpened) {
    HKey key = Create("Live");
    m_store.SetValue(key, "old", kRegSz, "1");
    HKey other = Create("Other");
    m_store.SetValue(other, "new", kRegSz, "2");
    Create("Other\\Sub");
    const auto newContent = Content(other);
    const auto oldContent = Content(key);
    ASSERT_EQ(m_store.SaveKey(other, Scratch() / "new.sav"), kSuccess);
    WriteFile(Scratch() / "old.sav", ""); // as a temporary file name made beforehand

    ASSERT_EQ(m_store.ReplaceKey(key, Scratch() / "new.sav", Scratch() / "old.sav"), kSuccess);
    EXPECT_EQ(Content(key), oldContent);
    ASSERT_EQ(m_store.RestoreKey(Create("Backup"), Scratch() / "old.sav"), kSuccess);
    EXPECT_EQ(Content(Create("Backup")), oldContent);

    std::filesystem::remove(Scratch() / "new.sav"); // the store kept what it needs
    ASSERT_EQ(m_store.Open(), kSuccess);
    EXPECT_EQ(Content(key), newContent);
    // Done once: later changes survive the next start.
    m_store.SetValue(key, "after", kRegSz, "3");
    ASSERT_EQ(m_store.Open(), kSuccess);
    EXPECT_EQ(Values(key), (std::vector<std::string>{"new", "after"}));

    WriteFile(Scratch() / "bad.sav", "junk");
    EXPECT_EQ(m_store.ReplaceKey(key, Scratch() / "bad.sav", Scratch() / "old2.sav"), kNotRegistryFile);
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "old2.sav"));
}

TEST_F(RegistryStoreTest, ForeignOrNewerStoreFilesAreRefused) {
    m_store.Close();
    WriteFile(Scratch() / "garbage.db", std::string(4096, 'G'));
    EXPECT_EQ(m_store.Open(Scratch() / "garbage.db"), kRegistryCorrupt);
    EXPECT_FALSE(m_store.IsOpen());

    sqlite3* db = nullptr;
    sqlite3_open((Scratch() / "newer.db").c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(x); PRAGMA user_version = 2;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(m_store.Open(Scratch() / "newer.db"), kBadDb);

    sqlite3_open((Scratch() / "other.db").c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE keys(x); PRAGMA user_version = 1;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(m_store.Open(Scratch() / "other.db"), kBadDb);
    EXPECT_FALSE(m_store.ErrorText().empty());

    WriteFile(Scratch() / "plain", "x");
    EXPECT_EQ(m_store.Open(Scratch() / "plain" / "r.db"), kPathNotFound);
    EXPECT_EQ(m_store.Open(":memory:"), kSuccess);
}
