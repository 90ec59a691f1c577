#include "KivEngineFixture.h"

#include "common/KivAefTestWriter.h"
#include "engine/KivProjectStore.h"
#include "engine/KivSqliteDb.h"
#include "platform/KivPlatformHome.h"

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kModules = 80;
constexpr int kEntities = 40;

std::string LargeApplication() {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("Big").AppInfo(1, 2);
    std::string body(3000, 'x');
    for (int m = 0; m < kModules; ++m) {
        w.Module("Module" + std::to_string(m), 3, 4);
        for (int e = 0; e < kEntities; ++e) {
            std::string name = "F" + std::to_string(m) + "_" + std::to_string(e);
            w.Entity(
                KivTestEntity{name, 3, 17, "FUNCTION " + name + "()", "FUNCTION " + name + "()\r\n" + body});
        }
    }
    return w.End();
}

uint64_t FileSize(const std::filesystem::path& file) {
    struct stat info {};
    return stat(file.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

} // namespace

// Through the log, or (as a file larger than the log's limit is) with a journal.
class KivSqliteEngineCrashTest : public KivEngineTest, public ::testing::WithParamInterface<bool> {};

// A child process imports a large application and is killed with SIGKILL while the import is
// writing; the repository must then hold the application entirely or not at all.
TEST_P(KivSqliteEngineCrashTest, ImportKilledMidwayLeavesTheRepositoryAsBefore) {
    uint16_t before = NewApp("Before");
    std::string file = ScratchFile("big.aef", LargeApplication());
    std::filesystem::path database =
        KivProjectStore::DatabaseFile(kiv::platform::DriveC() / "KIVREPO" / "DEFAULT");
    // Written to as the import goes: the log, or the database and its journal.
    auto written = [&] {
        return FileSize(database) + FileSize(database.string() + "-wal") +
               FileSize(database.string() + "-journal");
    };
    ASSERT_EQ(E().AdamExit(), 0u);
    const uint64_t start = written();

    int pipes[2];
    ASSERT_EQ(pipe(pipes), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipes[0]);
        KivSqliteEngine engine;
        if (engine.AdamInit(0, nullptr) != 0)
            _exit(2);
        if (GetParam())
            engine.SetBulkImportSize(0);
        char go = 'g';
        if (write(pipes[1], &go, 1) != 1)
            _exit(3);
        uint32_t status = engine.AdamImportApp(file.c_str(), "", 1, 0, nullptr, nullptr);
        char done = status == 0 ? 'd' : 'f';
        if (write(pipes[1], &done, 1) != 1)
            _exit(3);
        _exit(0);
    }
    close(pipes[1]);
    char go = 0;
    ASSERT_EQ(read(pipes[0], &go, 1), 1);
    ASSERT_EQ(go, 'g');
    // Wait until the import's transaction has written a good part of its pages, then kill.
    bool killed = false;
    for (int i = 0; i < 200000 && !killed; ++i) {
        if (written() > start + 2u * 1024 * 1024) {
            kill(child, SIGKILL);
            killed = true;
            break;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (!killed)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    char done = 0;
    bool finished = read(pipes[0], &done, 1) == 1;
    close(pipes[0]);
    EXPECT_TRUE(killed && !finished) << "the kill must land while the import is running";

    {
        KivSqliteDb db;
        ASSERT_EQ(db.Open(database, false), 0u);
        auto check = db.Prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check.Step());
        EXPECT_EQ(check.Text(0), "ok");
    }
    KivSqliteEngine engine;
    ASSERT_EQ(engine.AdamInit(0, nullptr), 0u) << "the killed process no longer holds the repository";
    uint16_t big = 0;
    ASSERT_EQ(engine.AppFind("Big", &big), 0u);
    if (big != 0) {
        uint32_t count = 0;
        ASSERT_EQ(engine.AppQueryNumModules(big, &count), 0u);
        EXPECT_EQ(count, static_cast<uint32_t>(kModules)) << "all of the application or nothing";
    }
    uint16_t found = 0;
    ASSERT_EQ(engine.AppFind("Before", &found), 0u);
    EXPECT_EQ(found, before);

    // The repository works on: the same import now completes.
    uint32_t app = 0;
    uint32_t modules = 0;
    ASSERT_EQ(engine.AdamImportApp(file.c_str(), "", 1, 0, &app, &modules), 0u);
    EXPECT_EQ(modules, static_cast<uint32_t>(kModules));
    uint32_t module = 0;
    ASSERT_EQ(engine.AppGetFirstModule(static_cast<uint16_t>(app), &module), 0u);
    uint32_t entities = 0;
    ASSERT_EQ(engine.ModQueryNumEntities(module, &entities), 0u);
    EXPECT_EQ(entities, static_cast<uint32_t>(kEntities));
}

INSTANTIATE_TEST_SUITE_P(Ways, KivSqliteEngineCrashTest, ::testing::Values(false, true),
                         [](const auto& way) { return way.param ? "Journal" : "Log"; });
