#include "common/KivTestHome.h"
#include "platform/KivRegistryStore.h"

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace kiv::reg;

namespace {

// Runs the work in a child process that ends with its result as exit status, never returning
// into the test framework.
pid_t Spawn(const std::function<int()>& work) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work());
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ValueData(int i) {
    return std::string(3000, static_cast<char>('a' + i % 26)) + std::to_string(i);
}

} // namespace

class RegistryStoreProcessTest : public KivTestHome {};

TEST_F(RegistryStoreProcessTest, TwoWritersAtOnceBothSucceed) {
    constexpr int kWrites = 150;
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    // Neither child finds a store: both create it, then write into one key at the same time.
    auto writer = [&](int id) {
        return Spawn([&, id] {
            char c;
            close(go[1]);
            if (read(go[0], &c, 1) != 1)
                return 10;
            KivRegistryStore store;
            if (store.Open() != kSuccess)
                return 11;
            HKey key = 0;
            if (store.CreateKey(kCurrentUser, "Software\\Shared", key) != kSuccess)
                return 12;
            for (int i = 0; i < kWrites; ++i) {
                const std::string name = "p" + std::to_string(id) + "-" + std::to_string(i);
                if (uint32_t rc = store.SetValue(key, name, kRegBinary, name); rc != kSuccess) {
                    fprintf(stderr, "writer %d: %u %s\n", id, rc, store.ErrorText().c_str());
                    return 13;
                }
                HKey sub = 0;
                if (i % 10 == 0 && store.CreateKey(key, "Sub" + name, sub) != kSuccess)
                    return 14;
            }
            return 0;
        });
    };
    const pid_t a = writer(1);
    const pid_t b = writer(2);
    close(go[0]);
    ASSERT_EQ(write(go[1], "gg", 2), 2);
    close(go[1]);
    EXPECT_EQ(ExitStatus(a), 0);
    EXPECT_EQ(ExitStatus(b), 0);

    KivRegistryStore store;
    ASSERT_EQ(store.Open(), kSuccess);
    HKey key = 0;
    ASSERT_EQ(store.OpenKey(kCurrentUser, "Software\\Shared", key), kSuccess);
    std::vector<std::string> names;
    ASSERT_EQ(store.ValueNames(key, names), kSuccess);
    ASSERT_EQ(names.size(), 2u * kWrites);
    // Each writer's values appear in the order it wrote them.
    int next[3] = {0, 0, 0};
    for (const std::string& name : names) {
        const int id = name[1] - '0';
        ASSERT_TRUE(id == 1 || id == 2) << name;
        EXPECT_EQ(name, "p" + std::to_string(id) + "-" + std::to_string(next[id]++));
        uint32_t type = 0;
        std::string data;
        ASSERT_EQ(store.QueryValue(key, name, type, data), kSuccess);
        EXPECT_EQ(data, name);
    }
    std::vector<std::string> subKeys;
    ASSERT_EQ(store.SubKeyNames(key, subKeys), kSuccess);
    EXPECT_EQ(subKeys.size(), 2u * kWrites / 10);
}

TEST_F(RegistryStoreProcessTest, KilledWriterLosesNothingItCommitted) {
    std::string contentA, contentB;
    {
        KivRegistryStore store;
        ASSERT_EQ(store.Open(), kSuccess);
        HKey a = 0, b = 0, alt = 0;
        for (int i = 0; i < 20; ++i) {
            ASSERT_EQ(store.CreateKey(kCurrentUser, "A\\Key" + std::to_string(i), a), kSuccess);
            ASSERT_EQ(store.SetValue(a, "v", kRegSz, "A" + std::to_string(i)), kSuccess);
            ASSERT_EQ(store.CreateKey(kCurrentUser, "B\\Other" + std::to_string(i), b), kSuccess);
            ASSERT_EQ(store.SetValue(b, "w", kRegBinary, ValueData(i)), kSuccess);
        }
        ASSERT_EQ(store.OpenKey(kCurrentUser, "A", a), kSuccess);
        ASSERT_EQ(store.OpenKey(kCurrentUser, "B", b), kSuccess);
        ASSERT_EQ(store.SaveKeyToBytes(a, contentA), kSuccess);
        ASSERT_EQ(store.SaveKeyToBytes(b, contentB), kSuccess);
        ASSERT_EQ(store.CreateKey(kCurrentUser, "Alternating", alt), kSuccess);
        ASSERT_EQ(store.RestoreKeyFromBytes(alt, contentA), kSuccess);
    }

    // Each round kills the writer at another moment of restore number 20: at its start, and a
    // little and a lot into it.
    for (const int delayUs : {0, 300, 1000, 3000, 8000}) {
        SCOPED_TRACE(delayUs);
        const std::string crashKey = "Crash" + std::to_string(delayUs);
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t child = Spawn([&] {
            close(progress[0]);
            KivRegistryStore store;
            HKey key = 0, alt = 0;
            if (store.Open() != kSuccess || store.CreateKey(kCurrentUser, crashKey, key) != kSuccess ||
                store.OpenKey(kCurrentUser, "Alternating", alt) != kSuccess)
                return 20;
            // Reports 2i when value i is committed, 2i + 1 when restore i begins.
            for (int i = 0;; ++i) {
                if (store.SetValue(key, "v" + std::to_string(i), kRegBinary, ValueData(i)) != kSuccess)
                    return 21;
                const int reports[2] = {2 * i, 2 * i + 1};
                if (write(progress[1], reports, sizeof reports) != sizeof reports)
                    return 23;
                // A restore is many statements: it must land whole or not at all.
                if (store.RestoreKeyFromBytes(alt, i % 2 ? contentA : contentB) != kSuccess)
                    return 22;
            }
        });
        close(progress[1]);
        int last = -1, reported = 0;
        while (read(progress[0], &reported, sizeof reported) == sizeof reported) {
            if (reported % 2 == 0) {
                last = reported / 2;
            } else if (reported == 2 * 20 + 1) {
                usleep(delayUs);
                kill(child, SIGKILL);
            }
        }
        close(progress[0]);
        ASSERT_EQ(ExitStatus(child), 128 + SIGKILL);
        ASSERT_GE(last, 20);

        KivRegistryStore store;
        ASSERT_EQ(store.Open(), kSuccess) << store.ErrorText();
        HKey key = 0, alt = 0;
        ASSERT_EQ(store.OpenKey(kCurrentUser, crashKey, key), kSuccess);
        std::vector<std::string> names;
        ASSERT_EQ(store.ValueNames(key, names), kSuccess);
        // Every reported write is there; at most the one in flight when the signal came follows.
        ASSERT_GE(names.size(), static_cast<size_t>(last + 1));
        ASSERT_LE(names.size(), static_cast<size_t>(last + 2));
        for (size_t i = 0; i < names.size(); ++i) {
            uint32_t type = 0;
            std::string data;
            ASSERT_EQ(store.QueryValue(key, "v" + std::to_string(i), type, data), kSuccess) << i;
            EXPECT_EQ(data, ValueData(static_cast<int>(i)));
        }
        ASSERT_EQ(store.OpenKey(kCurrentUser, "Alternating", alt), kSuccess);
        std::string now;
        ASSERT_EQ(store.SaveKeyToBytes(alt, now), kSuccess);
        KivRegSaveFile::Tree nowTree, aTree, bTree;
        std::string reason;
        ASSERT_TRUE(KivRegSaveFile::Decode(now, nowTree, reason));
        ASSERT_TRUE(KivRegSaveFile::Decode(contentA, aTree, reason));
        ASSERT_TRUE(KivRegSaveFile::Decode(contentB, bTree, reason));
        // The top key's own name and time differ; what it holds must be A's or B's exactly.
        nowTree[0] = aTree[0] = bTree[0] = {};
        EXPECT_TRUE(nowTree == aTree || nowTree == bTree) << nowTree.size() << " keys";
    }

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(KivRegistryStore::DefaultPath().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok");
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
