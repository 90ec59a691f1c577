#include "common/KivTestHome.h"
#include "support/KivFileBin.h"
#include "support/KivFileSpec.h"
#include "support/KivRegistry.h"

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kiv::reg;

namespace {

std::string Sz(std::string_view text) {
    return std::string(text) + '\0';
}

size_t TemporaryFiles(const fs::path& folder) {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.path().extension() == ".tmp";
    return count;
}

// Reaches the single-line and single-block exports.
struct Probe : KivRegistry {
    using KivRegistry::_ExportEntryToString;
    using KivRegistry::_ExportSectionToFile;
    using KivRegistry::KivRegistry;
};

} // namespace

class RegExportTest : public KivTestHome {
protected:
    KivRegistry m_reg{"Software\\Kiv Test", kCurrentUser};

    void Put(std::string_view section, std::string_view entry, uint32_t type, const std::string& data) {
        ASSERT_TRUE(m_reg.PutData(section, entry, data.data(), static_cast<uint32_t>(data.size()), type));
    }
    // Exports a section of m_reg and gives the file's bytes.
    std::string Export(std::string_view section = {}) {
        EXPECT_TRUE(m_reg.ExportToFile(section, ScratchDos("out.reg")));
        return ReadFile(Scratch() / "out.reg");
    }
};

TEST_F(RegExportTest, EveryValueTypeAndNestedKeys) {
    Put("", "", kRegSz, Sz("default"));
    Put("", "Path", kRegSz, Sz("C:\\Cavo25\\\"x\""));
    Put("", "Count", kRegDword, std::string("\x1A\0\0\0", 4));
    Put("", "Max", kRegDword, "\xFF\xFF\xFF\xFF");
    Put("", "Blob", kRegBinary, std::string("\x00\x7F\x80\xFF", 4));
    Put("", "Empty", kRegBinary, "");
    Put("", "Expand", kRegExpandSz, Sz("%PATH%"));
    Put("", "Multi", kRegMultiSz, Sz("a") + Sz("b") + Sz(""));
    Put("", "Big", kRegDwordBigEndian, std::string("\0\0\0\x1A", 4));
    Put("", "None", kRegNone, "");
    Put("", "Link", kRegLink, "L");
    Put("", "Resources", kRegResourceList, "\x01");
    Put("", "Qword", 11, std::string("\x01\0\0\0\0\0\0\0", 8));
    Put("", "Short", kRegDword, "\x01\x02");
    Put("", "Name\\With\\Backslash", kRegSz, Sz("v"));
    Put("", "Quote\"d", kRegSz, Sz(""));
    Put("beta", "b", kRegSz, Sz("in beta"));
    Put("Alpha", "a", kRegDword, std::string("\x01\0\0\0", 4));
    Put("Alpha\\Inner", "", kRegSz, Sz("deep"));
    Put("Alpha\\Inner\\Empty", "", kRegBinary, "x");
    ASSERT_TRUE(m_reg.DeleteEntry("Alpha\\Inner\\Empty", ""));
    Put("text/plain", "", kRegSz, Sz("slash"));

    const std::string expected = "REGEDIT4\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Kiv Test]\r\n"
                                 "@=\"default\"\r\n"
                                 "\"Path\"=\"C:\\\\Cavo25\\\\\\\"x\\\"\"\r\n"
                                 "\"Count\"=dword:0000001A\r\n"
                                 "\"Max\"=dword:FFFFFFFF\r\n"
                                 "\"Blob\"=hex:00,7F,80,FF\r\n"
                                 "\"Empty\"=hex:\r\n"
                                 "\"Expand\"=hex(2):25,50,41,54,48,25,00\r\n"
                                 "\"Multi\"=hex(7):61,00,62,00,00\r\n"
                                 "\"Big\"=hex(5):00,00,00,1A\r\n"
                                 "\"None\"=hex(0):\r\n"
                                 "\"Link\"=hex(6):4C\r\n"
                                 "\"Resources\"=hex(8):01\r\n"
                                 "\"Qword\"=hex(11):01,00,00,00,00,00,00,00\r\n"
                                 "\"Short\"=hex(4):01,02\r\n"
                                 "\"Name\\With\\Backslash\"=\"v\"\r\n"
                                 "\"Quote\\\"d\"=\"\"\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Kiv Test\\Alpha]\r\n"
                                 "\"a\"=dword:00000001\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Kiv Test\\Alpha\\Inner]\r\n"
                                 "@=\"deep\"\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Kiv Test\\Alpha\\Inner\\Empty]\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Kiv Test\\beta]\r\n"
                                 "\"b\"=\"in beta\"\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Kiv Test\\text/plain]\r\n"
                                 "@=\"slash\"\r\n"
                                 "\r\n";
    EXPECT_EQ(Export(), expected);
    EXPECT_EQ(TemporaryFiles(Scratch()), 0u);
    // One key's block alone is the same as in the whole export.
    {
        Probe probe("Software\\Kiv Test", kCurrentUser);
        KivFileBin block(ScratchDos("block.reg"));
        ASSERT_TRUE(block.Create());
        ASSERT_TRUE(probe._ExportSectionToFile("", block));
        ASSERT_TRUE(probe._ExportSectionToFile("Alpha\\Inner\\Empty", block));
    }
    const size_t first = expected.find("\r\n\r\n[", 12) + 4;
    const size_t empty = expected.find("[HKEY_CURRENT_USER\\Software\\Kiv Test\\Alpha\\Inner\\Empty]");
    EXPECT_EQ(ReadFile(Scratch() / "block.reg"),
              expected.substr(12, first - 12) +
                  expected.substr(empty, expected.find("[", empty + 1) - empty));
    // A section exports its own subtree only.
    EXPECT_EQ(Export("Alpha\\Inner"), "REGEDIT4\r\n\r\n"
                                      "[HKEY_CURRENT_USER\\Software\\Kiv Test\\Alpha\\Inner]\r\n"
                                      "@=\"deep\"\r\n\r\n"
                                      "[HKEY_CURRENT_USER\\Software\\Kiv Test\\Alpha\\Inner\\Empty]\r\n\r\n");
}

TEST_F(RegExportTest, SingleLines) {
    Put("", "S", kRegSz, Sz("a\\b\"c"));
    Put("", "x\\y", kRegSz, Sz("1"));
    Put("", "E", kRegBinary, "");
    Put("", "X", kRegExpandSz, Sz("%A%"));
    Put("", "L", kRegBinary, std::string(5000, '\x0F'));
    EXPECT_EQ(m_reg.GetString("", "S"), "a\\b\"c");
    EXPECT_EQ(m_reg.GetString("", "x\\y"), "1");
    struct Probe : KivRegistry {
        using KivRegistry::_ExportEntryToString;
        using KivRegistry::KivRegistry;
    } probe("Software\\Kiv Test", kCurrentUser);
    EXPECT_EQ(probe._ExportEntryToString("", "S"), "\"S\"=\"a\\\\b\\\"c\"");
    EXPECT_EQ(probe._ExportEntryToString("", "X\\Y"), "\"X\\Y\"=\"1\"");
    EXPECT_EQ(probe._ExportEntryToString("", "E"), "\"E\"=hex:");
    EXPECT_EQ(probe._ExportEntryToString("", "X"), "\"X\"=hex(2):25,41,25,00");
    EXPECT_EQ(probe._ExportEntryToString("", "Missing"), "");
    // No wrapping however long.
    const std::string line = probe._ExportEntryToString("", "L");
    EXPECT_EQ(line.size(), 8u + 5000 * 3 - 1);
    EXPECT_EQ(line.find('\n'), std::string::npos);
}

TEST_F(RegExportTest, RootKeyAndOpenFile) {
    Put("", "v", kRegSz, Sz("1"));
    KivRegistry root("", kUsers);
    root.WriteInt("Only", "n", 2);
    ASSERT_TRUE(root.ExportToFile("", ScratchDos("root.reg")));
    EXPECT_EQ(ReadFile(Scratch() / "root.reg"), "REGEDIT4\r\n\r\n[HKEY_USERS]\r\n\r\n"
                                                "[HKEY_USERS\\Only]\r\n\"n\"=dword:00000002\r\n\r\n");

    // An open file gets the blocks where it stands, and stays open.
    KivFileBin file(ScratchDos("open.reg"));
    ASSERT_TRUE(file.Create());
    file.Write("before\r\n");
    ASSERT_TRUE(m_reg.ExportToFile("", file));
    EXPECT_FALSE(m_reg.ExportToFile("Missing", file));
    ASSERT_TRUE(file.IsOpen());
    file.Close();
    EXPECT_EQ(ReadFile(Scratch() / "open.reg"), "before\r\n[HKEY_CURRENT_USER\\Software\\Kiv Test]\r\n"
                                                "\"v\"=\"1\"\r\n\r\n");
    // A file object not open yet is created with the header, and closed again.
    KivFileBin closed(ScratchDos("closed.reg"));
    ASSERT_TRUE(m_reg.ExportToFile("", closed));
    EXPECT_FALSE(closed.IsOpen());
    EXPECT_EQ(ReadFile(Scratch() / "closed.reg"),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kiv Test]\r\n"
              "\"v\"=\"1\"\r\n\r\n");
    ASSERT_TRUE(m_reg.ExportToFile("", KivFileSpec(ScratchDos("named.reg"))));
    EXPECT_EQ(ReadFile(Scratch() / "named.reg"), ReadFile(Scratch() / "closed.reg"));
}

TEST_F(RegExportTest, FailuresLeaveNoFileThatLooksComplete) {
    Put("", "v", kRegSz, Sz("1"));
    // A missing key writes nothing, and leaves an existing file as it was.
    EXPECT_FALSE(m_reg.ExportToFile("Missing", ScratchDos("none.reg")));
    EXPECT_FALSE(fs::exists(Scratch() / "none.reg"));
    WriteFile(Scratch() / "keep.reg", "old");
    EXPECT_FALSE(m_reg.ExportToFile("Missing", ScratchDos("keep.reg")));
    EXPECT_EQ(ReadFile(Scratch() / "keep.reg"), "old");
    ASSERT_TRUE(m_reg.ExportToFile("", ScratchDos("keep.reg")));
    EXPECT_EQ(ReadFile(Scratch() / "keep.reg").substr(0, 8), "REGEDIT4");

    EXPECT_FALSE(m_reg.ExportToFile("", "D:\\x.reg"));
    EXPECT_EQ(m_reg.LastError(), 3u);
    WriteFile(Scratch() / "plain", "x");
    EXPECT_FALSE(m_reg.ExportToFile("", ScratchDos("plain\\x.reg")));
    EXPECT_FALSE(m_reg.ExportToFile("", ScratchDos()));
    EXPECT_EQ(TemporaryFiles(Scratch()), 0u);

    // A full disk: the device is written directly (never replaced) and the failure reported.
    EXPECT_FALSE(m_reg.ExportToFile("", "Z:\\dev\\full"));
    EXPECT_EQ(m_reg.LastError(), 112u);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    KivFileBin full("Z:\\dev\\full");
    ASSERT_TRUE(full.Open(KivFileBin::kWrite));
    EXPECT_FALSE(m_reg.ExportToFile("", full));
    EXPECT_EQ(m_reg.LastError(), 112u);
}
