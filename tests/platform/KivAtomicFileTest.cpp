#include "platform/KivAtomicFile.h"

#include "common/KivTestHome.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using kiv::platform::KivAtomicFile;

struct ReplaceCase {
    const char* name;
    bool old;             // a file is there already, "old" with the mode below
    unsigned oldMode;
    bool throughLink;     // the target named is a link to the file
    bool failing;         // the writes fail (a file size limit) before Commit
    unsigned wantedMode;  // of the file afterwards; kNewFile: what the umask gives a new file
};

constexpr unsigned kNewFile = 01000000;

class KivAtomicFileTest : public KivTestHome, public ::testing::WithParamInterface<ReplaceCase> {};

unsigned ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Lifts the file size limit put on by a case that makes the writes fail.
struct SizeLimit {
    explicit SizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~SizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    rlimit saved{};
};

TEST_P(KivAtomicFileTest, ReplacesWholeOrLeavesTheOldFile) {
    const ReplaceCase& c = GetParam();
    const fs::path file = Scratch() / "out.aef";
    if (c.old) {
        WriteFile(file, "old");
        fs::permissions(file, fs::perms(c.oldMode));
    }
    fs::path target = file;
    if (c.throughLink) {
        target = Scratch() / "link.aef";
        fs::create_symlink("out.aef", target);
    }
    // More than one buffered block, so that the writes reach the file before Commit.
    const std::string bytes = std::string(3u << 20, 'x') + "end";

    bool ok = false;
    int error = 0;
    {
        std::unique_ptr<SizeLimit> limit;
        if (c.failing)
            limit = std::make_unique<SizeLimit>(4096);
        KivAtomicFile out(target);
        ASSERT_TRUE(out.IsOpen());
        EXPECT_EQ(out.Target(), file);
        for (size_t at = 0; at < bytes.size(); at += 1000)
            out.Write(std::string_view(bytes).substr(at, 1000));
        ok = out.Commit();
        error = out.Error();
    }
    EXPECT_EQ(ok, !c.failing);
    EXPECT_EQ(error, c.failing ? EFBIG : 0);
    if (c.old || !c.failing) {
        EXPECT_EQ(ReadFile(file), c.failing ? "old" : bytes);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        EXPECT_EQ(ModeOf(file), c.wantedMode == kNewFile ? 0666 & ~mask : c.wantedMode);
    } else {
        EXPECT_FALSE(fs::exists(file));
    }
    if (c.throughLink) {
        EXPECT_TRUE(fs::is_symlink(target));
    }
    // Nothing is left beside the file but the file and the link.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Scratch()))
        ++entries;
    EXPECT_EQ(entries, (c.old || !c.failing ? 1u : 0u) + (c.throughLink ? 1u : 0u));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KivAtomicFileTest,
    ::testing::Values(ReplaceCase{"New", false, 0, false, false, kNewFile},
                      ReplaceCase{"PrivateOld", true, 0600, false, false, 0600},
                      ReplaceCase{"ThroughLink", true, 0640, true, false, 0640},
                      ReplaceCase{"FailingOverOld", true, 0600, false, true, 0600},
                      ReplaceCase{"FailingNew", false, 0, true, true, 0}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(KivTestHome, AtomicReplaceRefusesAFolderAndCreatesOnlyWhereNothingIs) {
    int error = 0;
    EXPECT_FALSE(kiv::platform::KivReplaceFile(Scratch(), "x", &error));
    EXPECT_EQ(error, EISDIR);
    EXPECT_FALSE(kiv::platform::KivReplaceFile(Scratch() / "no" / "such.aef", "x", &error));
    EXPECT_EQ(error, ENOENT);

    const fs::path file = Scratch() / "saved.reg";
    KivAtomicFile first(file);
    EXPECT_TRUE(first.Write("one") && first.CommitNew());
    KivAtomicFile second(file);
    EXPECT_FALSE(second.Write("two") && second.CommitNew());
    EXPECT_EQ(second.Error(), EEXIST);
    EXPECT_EQ(ReadFile(file), "one");
    EXPECT_EQ(std::distance(fs::directory_iterator(Scratch()), fs::directory_iterator()), 1);
}

} // namespace
