#include "common/KivTestHome.h"
#include "support/KivRegistry.h"

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

} // namespace

class RegistryProcessTest : public KivTestHome {};

// The IDE and this program share the settings: two processes reading with write-back and writing
// through registry objects at the same time lose nothing. The parent has the store open before
// the children are made, so each child must open its own.
TEST_F(RegistryProcessTest, TwoProcessesWritingAtOnce) {
    constexpr int kWrites = 100;
    KivRegistry parent("Software\\Shared", kCurrentUser);
    ASSERT_TRUE(parent.WriteString("", "Owner", "parent"));

    int go[2];
    ASSERT_EQ(pipe(go), 0);
    auto writer = [&](int id) {
        return Spawn([&, id] {
            char c;
            close(go[1]);
            if (read(go[0], &c, 1) != 1)
                return 10;
            KivRegistry reg("Software\\Shared", kCurrentUser);
            const std::string me = "p" + std::to_string(id);
            for (int i = 0; i < kWrites; ++i) {
                const std::string name = me + "-" + std::to_string(i);
                if (!reg.WriteString("Values", name, name))
                    return 11;
                // Every read of a missing counter creates it; both processes race for it.
                reg.GetInt("Counters", "Shared", 1);
                if (reg.GetInt("Counters", me, i) != i || !reg.WriteInt("Counters", me, i + 1))
                    return 12;
                if (i % 10 == 0 && !reg.WriteInt(me + "\\Sub" + std::to_string(i), "n", i))
                    return 13;
            }
            return reg.GetString("", "Owner") == "parent" ? 0 : 14;
        });
    };
    const pid_t a = writer(1);
    const pid_t b = writer(2);
    close(go[0]);
    ASSERT_EQ(write(go[1], "gg", 2), 2);
    close(go[1]);
    EXPECT_EQ(ExitStatus(a), 0);
    EXPECT_EQ(ExitStatus(b), 0);

    const std::vector<std::string> names = parent.GetEntries("Values");
    ASSERT_EQ(names.size(), 2u * kWrites);
    // Each process's values appear in the order it wrote them.
    int next[3] = {0, 0, 0};
    for (const std::string& name : names) {
        const int id = name[1] - '0';
        ASSERT_TRUE(id == 1 || id == 2) << name;
        EXPECT_EQ(name, "p" + std::to_string(id) + "-" + std::to_string(next[id]++));
        EXPECT_EQ(parent.GetString("Values", name), name);
    }
    EXPECT_EQ(parent.GetInt("Counters", "p1"), kWrites);
    EXPECT_EQ(parent.GetInt("Counters", "p2"), kWrites);
    EXPECT_EQ(parent.GetInt("Counters", "Shared"), 1);
    EXPECT_EQ(parent.GetSections("p1").size(), size_t{kWrites / 10});
    EXPECT_EQ(parent.GetSections("p2").size(), size_t{kWrites / 10});
}
