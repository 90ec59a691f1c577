#include "cli/KivConsoleProgress.h"
#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"

#include <gmock/gmock.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

struct LineCase {
    const char* name;
    int width;
    std::string caption;
    std::string label;
    std::string text; // Windows-1252, as the transfers give it
    uint32_t position;
    uint32_t maximum;
    std::string line;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineTest, ShowsWhatIsDoneTheCountAndABar) {
    const LineCase& c = GetParam();
    std::ostringstream out;
    KivConsoleProgress progress(out, true, c.width, "Exporting to PRG files");
    progress.SetCaption(c.caption);
    progress.SetLabel(0, c.label);
    progress.SetRange(0, 1, c.maximum);
    progress.SetText(0, c.text);
    progress.SetPosition(0, c.position);
    EXPECT_EQ(progress.Line(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineTest,
    ::testing::Values(
        LineCase{"Caption", 80, "Exporting Project : Shop", "Application :", "Orders", 3, 12,
                 "Exporting Project : Shop  Application : Orders  3 of 12 [#####               ]"},
        LineCase{"NoCaptionNamesTheWork", 80, "", "", "Stock\xE9", 4, 4,
                 "Exporting to PRG files  Stock\xC3\xA9  4 of 4 [####################]"},
        // A name cannot move the cursor or start an escape sequence.
        LineCase{"Controls", 80, "", "", "A\x1b]0;x\x07\r\x81", 0, 0, "Exporting to PRG files  A?]0;x???"},
        // The count and the bar stay whole; the words are cut, never inside a character.
        LineCase{"Narrow", 62, "", "", "\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9", 1, 2,
                 "Exporting to PRG files  \xC3\xA9\xC3\xA9\xC3\xA9...  1 of 2 [##########          ]"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(KivConsoleProgress, DrawsOnATerminalOnlyAndWipesItsLineAtTheEnd) {
    std::ostringstream terminal, pipe;
    {
        KivConsoleProgress onTerminal(terminal, true, 80);
        KivConsoleProgress onPipe(pipe, false, 80);
        for (KivConsoleProgress* progress : {&onTerminal, &onPipe}) {
            progress->SetRange(0, 1, 2);
            progress->SetText(0, "Orders");
            progress->CancelRequested();
        }
    }
    EXPECT_EQ(pipe.str(), "");
    EXPECT_THAT(terminal.str(), ::testing::StartsWith("\r1 of 2 [##########          ]\x1b[K"));
    EXPECT_THAT(terminal.str(), ::testing::EndsWith("\r\x1b[K"));
}

TEST(KivConsoleProgress, CtrlCAsksToCancelWhileARunLastsOnly) {
    struct sigaction before {};
    ::sigaction(SIGINT, nullptr, &before);
    {
        // One engine call: nothing would ask, so Ctrl+C keeps its usual effect.
        std::ostringstream out;
        KivConsoleProgress oneStep(out, false, 80, "Importing", true);
        struct sigaction during {};
        ::sigaction(SIGINT, nullptr, &during);
        EXPECT_EQ(during.sa_handler, before.sa_handler);
    }
    {
        std::ostringstream out;
        KivConsoleProgress progress(out, false, 80);
        EXPECT_FALSE(progress.CancelRequested());
        std::raise(SIGINT);
        EXPECT_TRUE(progress.CancelRequested());
        EXPECT_TRUE(progress.CancelRequested()) << "the request holds until the run is over";
    }
    struct sigaction after {};
    ::sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
    std::ostringstream out;
    EXPECT_FALSE(KivConsoleProgress(out, false, 80).CancelRequested()) << "a new run starts afresh";
}

// kivrepo itself, as a person or a script starts it.
class KivConsoleProgressProgram : public KivTestHome {
protected:
    // The application Big: `modules` modules of two entities each.
    void Fill(int modules) {
        KivAefTestWriter aef = KivAefTestWriter::Aef();
        aef.AppName("Big").AppInfo(1300000000, 1200000000);
        for (int m = 0; m < modules; ++m) {
            const std::string module = "M" + std::to_string(m);
            aef.Module(module, 1100000000, 1000000000);
            for (const char* suffix : {"A", "B"}) {
                const std::string name = module + suffix;
                aef.Entity({.name = name,
                            .prototype = "FUNCTION " + name + "()",
                            .source = "FUNCTION " + name + "()\r\nRETURN NIL"});
            }
        }
        WriteFile(Scratch() / "big.aef", aef.End());
        const CliRun import = Kivrepo({"import-aef", (Scratch() / "big.aef").string(), "Big"});
        ASSERT_EQ(import.code, 0) << import.err;
    }

    // What a shell command line printed on its standard output.
    static std::string Shell(const std::string& command) {
        std::string text;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                text.append(buffer, n);
            ::pclose(pipe);
        }
        return text;
    }

    static size_t Count(const fs::path& folder, const std::string& extension) {
        size_t count = 0;
        if (fs::is_directory(folder))
            for (const auto& entry : fs::directory_iterator(folder))
                count += entry.path().extension() == extension;
        return count;
    }
};

TEST_F(KivConsoleProgressProgram, ShowsProgressOnATerminalAndNothingOnAPipe) {
    Fill(300);
    const std::string program = KIV_KIVREPO;
    // `script` gives the program a terminal and copies what it shows, both streams in one.
    const std::string shown = Shell("script -qec \"" + program + " export-prg Big " +
                                    (Scratch() / "tty").string() + "\" /dev/null");
    EXPECT_THAT(shown, HasSubstr("\rExporting to PRG files  "));
    EXPECT_THAT(shown, HasSubstr(" of 300 ["));
    EXPECT_THAT(shown, HasSubstr("\r\x1b[K{")) << "the line is gone before the result";
    EXPECT_THAT(shown, HasSubstr("\"outcome\": \"done\""));

    const std::string errors =
        Shell(program + " export-prg Big " + (Scratch() / "pipe").string() + " 2>&1 >/dev/null");
    EXPECT_EQ(errors, "");
    EXPECT_EQ(Count(Scratch() / "pipe" / "Big", ".prg"), 300u);

    EXPECT_THAT(Shell(program + " --version"), ::testing::MatchesRegex("kivrepo [0-9]+\\.[0-9]+\\.[0-9]+\n"));
}

TEST_F(KivConsoleProgressProgram, CtrlCDuringAnExportLeavesWhatACancelLeaves) {
    constexpr int kModules = 1500;
    Fill(kModules);
    const fs::path folder = Scratch() / "out" / "Big";
    const fs::path said = Scratch() / "said.json";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (std::freopen(said.c_str(), "w", stdout))
            ::execl(KIV_KIVREPO, "kivrepo", "export-prg", "Big", (Scratch() / "out").c_str(), nullptr);
        ::_exit(127);
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Count(folder, ".prg") < 3 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the program ended by the signal instead of cancelling";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_THAT(ReadFile(said), HasSubstr("\"outcome\": \"cancelled\""));

    // The modules finished have their PRG files, the one reached last at most its section.
    const size_t written = Count(folder, ".prg");
    EXPECT_GE(written, 3u);
    EXPECT_LT(written, static_cast<size_t>(kModules));
    const std::string kea = ReadFile(folder / "Big.KEA");
    size_t sections = 0;
    for (size_t at = kea.find("[Module"); at != std::string::npos; at = kea.find("[Module", at + 1))
        ++sections;
    EXPECT_GE(sections, written);
    EXPECT_LE(sections, written + 1);
    const std::string log = ReadFile(folder / "Big.log");
    EXPECT_THAT(log, HasSubstr("Module Count: " + std::to_string(kModules)));
    EXPECT_THAT(log, Not(HasSubstr("Module " + std::to_string(kModules) + " :")));
}

} // namespace
