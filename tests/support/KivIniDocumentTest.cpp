#include "support/KivIniDocument.h"

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;
using Change = KivIniDocument::Change;

namespace {

std::string Value(const KivIniDocument& doc, std::string_view section, std::string_view key) {
    auto value = doc.Value(section, key);
    return value ? std::string(*value) : std::string("<missing>");
}

} // namespace

// What real files hold must come back byte for byte, whatever the parser makes of it.
TEST(KivIniDocument, EveryByteSurvivesParseAndWrite) {
    static const char binary[] = "[bin]\r\nk=\0\x01\xff\r\r\n\0"; // NUL, lone CR, high bytes
    const std::string samples[] = {
        "",
        "[APP]\r\nName=Demo\r\n",
        "[APP]\r\nName=Demo",         // no final line end
        "[a]\nk=v\n\n[b]\r\nk=w\r\n", // lone LF and mixed ends
        std::string(binary, sizeof binary - 1),
        "\xEF\xBB\xBF[APP]\r\nName=x\r\n",
        "; comment\r\nstray line\r\nk=before any section\r\n[s]\r\n\r\n",
        "[s]\r\nk=" + std::string(100000, 'x') + "\r\n",
    };
    for (const std::string& bytes : samples) {
        KivIniDocument doc(bytes);
        EXPECT_EQ(doc.Text(), bytes);
    }
    EXPECT_EQ(*KivIniDocument(samples[4]).Value("bin", "k"), std::string("\0\x01\xff\r", 4));
}

TEST(KivIniDocument, HowLinesAreRead) {
    KivIniDocument doc(std::string("\xEF\xBB\xBF") +
                       "orphan=1\r\n"
                       "[ APP ] trailing text\r\n"
                       "Name=Demo App   \r\n"
                       "  Desc =  two words\r\n"
                       "; Name=comment\r\n"
                       "no equals sign\r\n"
                       "name=second, ignored\r\n"
                       "\r\n"
                       "[Module001]\n"
                       "Name=M1\n"
                       "[app]\r\n"
                       "Extra=ignored duplicate section\r\n"
                       "[a]b]\r\n"
                       "=empty key\r\n"
                       "Big=" +
                       std::string(100000, 'y'));
    EXPECT_EQ(doc.Sections(), (Strings{"APP", "Module001", "a]b"}));
    EXPECT_EQ(doc.Entries("app"), (Strings{"Name", "Desc"}));
    EXPECT_EQ(Value(doc, "APP", "NAME"), "Demo App   ");
    EXPECT_EQ(Value(doc, " App ", "desc"), "  two words");
    EXPECT_EQ(Value(doc, "APP", "Extra"), "<missing>");
    EXPECT_EQ(Value(doc, "APP", "orphan"), "<missing>");
    EXPECT_EQ(Value(doc, "module001", "name"), "M1");
    EXPECT_EQ(Value(doc, "a]b", ""), "empty key");
    EXPECT_EQ(Value(doc, "a]b", "Big").size(), 100000u);
    EXPECT_EQ(Value(doc, "missing", "Name"), "<missing>");
    EXPECT_EQ(doc.Entries("missing"), Strings{});
}

TEST(KivIniDocument, ChangesTouchOnlyTheirLines) {
    const std::string original = "; settings\r\n"
                                 "[APP]\r\n"
                                 "Name = Demo\r\n"
                                 "; about modules\r\n"
                                 "\r\n"
                                 "[Module001]\n"
                                 "Name=M1";
    KivIniDocument doc(original);
    EXPECT_EQ(doc.SetValue("app", "NAME", " Demo"), Change::Unchanged);
    EXPECT_EQ(doc.Text(), original);

    EXPECT_EQ(doc.SetValue("app", "name", "New"), Change::Changed);
    EXPECT_EQ(doc.SetValue("APP", "Lib", ".F."), Change::Changed);
    EXPECT_EQ(doc.SetValue("Module001", "PRG", "M1.Prg"), Change::Changed);
    EXPECT_EQ(doc.SetValue("Module002", "Name", "M2"), Change::Changed);
    EXPECT_EQ(doc.Text(), "; settings\r\n"
                          "[APP]\r\n"
                          "Name =New\r\n"
                          "Lib=.F.\r\n"
                          "; about modules\r\n"
                          "\r\n"
                          "[Module001]\n"
                          "Name=M1\r\n"
                          "PRG=M1.Prg\r\n"
                          "[Module002]\r\n"
                          "Name=M2\r\n");
    EXPECT_EQ(doc.Sections(), (Strings{"APP", "Module001", "Module002"}));

    EXPECT_EQ(doc.DeleteEntry("module001", "name"), Change::Changed);
    EXPECT_EQ(doc.DeleteEntry("module001", "name"), Change::Unchanged);
    EXPECT_EQ(doc.DeleteSection("APP"), Change::Changed);
    EXPECT_EQ(doc.DeleteSection("APP"), Change::Unchanged);
    EXPECT_EQ(doc.Text(), "; settings\r\n[Module001]\n"
                          "PRG=M1.Prg\r\n[Module002]\r\nName=M2\r\n");
}

TEST(KivIniDocument, DuplicatesAreReadFromTheFirstAndDeletedEverywhere) {
    KivIniDocument doc("[S]\r\nk=1\r\nK=2\r\n[s]\r\nk=3\r\nj=4\r\n");
    EXPECT_EQ(Value(doc, "s", "k"), "1");
    EXPECT_EQ(doc.Entries("S"), Strings{"k"});
    EXPECT_EQ(doc.SetValue("S", "j", "5"), Change::Changed); // goes into the first S
    EXPECT_EQ(Value(doc, "S", "j"), "5");
    EXPECT_EQ(doc.DeleteEntry("S", "k"), Change::Changed); // both k lines of the first S
    EXPECT_EQ(Value(doc, "S", "k"), "<missing>");
    EXPECT_EQ(doc.DeleteSection("s"), Change::Changed);
    EXPECT_EQ(doc.Text(), "");
}

TEST(KivIniDocument, TextThatCannotBeOneEntryIsRefused) {
    KivIniDocument doc("[S]\r\nk=v\r\n");
    for (auto [section, key, value] :
         {std::tuple{"S", "k", "a\r\n[Evil]"}, std::tuple{"S\n", "k", "v"}, std::tuple{"S", "k=x", "v"},
          std::tuple{"S", "  ", "v"}, std::tuple{"S", "[k]", "v"}, std::tuple{"S", ";k", "v"}})
        EXPECT_EQ(doc.SetValue(section, key, value), Change::Refused) << key << value;
    EXPECT_EQ(doc.Text(), "[S]\r\nk=v\r\n");
}
