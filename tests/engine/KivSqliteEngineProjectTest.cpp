#include "KivEngineFixture.h"

#include "engine/KivProjectStore.h"
#include "platform/KivOsError.h"
#include "platform/KivPlatformHome.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace kiv::engine;

namespace {

std::vector<std::string> Catalogue(KivEngine& e, uint32_t handle) {
    std::vector<std::string> names;
    char buffer[100];
    EXPECT_EQ(e.PrjGetFirst(handle, buffer, sizeof buffer), 0u);
    while (buffer[0]) {
        names.emplace_back(buffer);
        EXPECT_EQ(e.PrjGetNext(handle, buffer, sizeof buffer), 0u);
    }
    return names;
}

} // namespace

class KivSqliteEngineProjectTest : public KivEngineTest {
protected:
    // Creates a project in the scratch folder.
    void NewProject(const std::string& name) {
        ASSERT_EQ(E().PrjCreate(name.c_str(), ScratchDos(name).c_str(), 0), 0u) << name;
    }
    std::vector<std::string> Projects() {
        uint32_t handle = 0;
        EXPECT_EQ(E().PrjCatCreateEnum(0, 0, &handle), 0u);
        std::vector<std::string> names = Catalogue(E(), handle);
        EXPECT_EQ(E().PrjCatDestroyEnum(handle), 0u);
        return names;
    }
};

TEST_F(KivSqliteEngineProjectTest, NewRepositoryStartsWithOneCurrentProject) {
    EXPECT_EQ(Projects(), std::vector<std::string>{"Default"});
    EXPECT_EQ(CurrentProject(), "Default");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().PrjQueryDir("Default", b, n, 0); }),
              "C:\\KIVREPO\\DEFAULT");
    EXPECT_TRUE(std::filesystem::exists(
        KivProjectStore::DatabaseFile(kiv::platform::DriveC() / "KIVREPO" / "DEFAULT")));
    EXPECT_EQ(
        Text([&](char* b, size_t n) { return E().AdamGetVersion(b, n); }).rfind("Kiv Repository Engine", 0),
        0u);
    EXPECT_TRUE(Apps().empty());
}

TEST_F(KivSqliteEngineProjectTest, CurrentProjectIsKeptForTheNextProcess) {
    NewProject("Second");
    ASSERT_EQ(E().PrjSelect("SECOND"), 0u);
    EXPECT_EQ(CurrentProject(), "Second") << "the catalogue's spelling, not the caller's";
    NewApp("Kept");
    ASSERT_EQ(E().AdamExit(), 0u);

    KivSqliteEngine next;
    uint32_t created = 7;
    ASSERT_EQ(next.AdamInit(0, &created), 0u);
    EXPECT_EQ(created, 0u);
    char name[100];
    ASSERT_EQ(next.AdamQueryCurrentPrjName(name, sizeof name), 0u);
    EXPECT_EQ(std::string(name), "Second");
    uint16_t app = 0;
    EXPECT_EQ(next.AppFind("kept", &app), 0u);
    EXPECT_NE(app, 0);
}

TEST_F(KivSqliteEngineProjectTest, OperationsNeedAnOpenRepositoryHeldByOneEngine) {
    uint32_t created = 0;
    EXPECT_EQ(E().AdamInit(0, &created), kAlreadyOpen);
    KivSqliteEngine second;
    EXPECT_EQ(second.AdamInit(0, &created), kAlreadyOpen) << "one holder, even within a process";
    uint16_t app = 0;
    char buffer[100];
    EXPECT_EQ(second.AdamGetFirstApp(&app), kNotOpen);
    EXPECT_EQ(second.AdamQueryCurrentPrjName(buffer, sizeof buffer), kNotOpen);
    EXPECT_EQ(second.AdamExit(), kNotOpen);

    ASSERT_EQ(E().AdamExit(), 0u);
    EXPECT_EQ(E().AppCreate("X", &app), kNotOpen);
    EXPECT_EQ(second.AdamInit(0, &created), 0u) << "AdamExit releases the repository";
}

TEST_F(KivSqliteEngineProjectTest, SecondProcessCannotOpenTheRepository) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KivSqliteEngine engine;
        _exit(engine.AdamInit(0, nullptr) == kAlreadyOpen ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second process's AdamInit must fail";
}

TEST_F(KivSqliteEngineProjectTest, ProcessThatDiesReleasesTheRepository) {
    ASSERT_EQ(E().AdamExit(), 0u);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KivSqliteEngine engine;
        char ok = engine.AdamInit(0, nullptr) == 0 ? 'y' : 'n';
        if (write(ready[1], &ok, 1) != 1)
            _exit(1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    EXPECT_EQ(ok, 'y');
    EXPECT_EQ(E().AdamInit(0, nullptr), kAlreadyOpen);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(E().AdamInit(0, nullptr), 0u);
}

TEST_F(KivSqliteEngineProjectTest, EachCatalogueHandleHasItsOwnWalk) {
    NewProject("Beta");
    NewProject("Gamma");
    uint32_t first = 0;
    uint32_t second = 0;
    ASSERT_EQ(E().PrjCatCreateEnum(0, 0, &first), 0u);
    ASSERT_EQ(E().PrjCatCreateEnum(0, 0, &second), 0u);
    EXPECT_NE(first, second);
    char a[100];
    char b[100];
    ASSERT_EQ(E().PrjGetFirst(first, a, sizeof a), 0u);
    ASSERT_EQ(E().PrjGetFirst(second, b, sizeof b), 0u);
    ASSERT_EQ(E().PrjGetNext(second, b, sizeof b), 0u);
    ASSERT_EQ(E().PrjGetNext(first, a, sizeof a), 0u);
    EXPECT_EQ(std::string(a), "Beta");
    EXPECT_EQ(std::string(b), "Beta");
    ASSERT_EQ(E().PrjGetNext(second, b, sizeof b), 0u);
    EXPECT_EQ(std::string(b), "Gamma");
    ASSERT_EQ(E().PrjGetNext(second, b, sizeof b), 0u);
    EXPECT_EQ(std::string(b), "") << "an empty name ends the walk";
    ASSERT_EQ(E().PrjGetNext(second, b, sizeof b), 0u);
    EXPECT_EQ(std::string(b), "");

    EXPECT_EQ(E().PrjCatDestroyEnum(first), 0u);
    EXPECT_EQ(E().PrjGetNext(first, a, sizeof a), kNoWalk);
    EXPECT_EQ(E().PrjCatDestroyEnum(first), kNoWalk);
    uint32_t fresh = 0;
    ASSERT_EQ(E().PrjCatCreateEnum(0, 0, &fresh), 0u);
    EXPECT_EQ(E().PrjGetNext(fresh, a, sizeof a), kNoWalk) << "Next before First";
}

TEST_F(KivSqliteEngineProjectTest, ProjectsAreNamedWithoutRegardToCase) {
    NewProject("Alpha");
    EXPECT_EQ(E().PrjCreate("ALPHA", ScratchDos("other").c_str(), 0), kNameExists);
    ASSERT_EQ(E().PrjSelect("aLpHa"), 0u);
    EXPECT_EQ(CurrentProject(), "Alpha");
    EXPECT_EQ(E().PrjSelect("Alph"), kNoProject);
    EXPECT_EQ(CurrentProject(), "Alpha") << "a failed select keeps the current project";
}

TEST_F(KivSqliteEngineProjectTest, CreateRefusesBadNamesAndDirectories) {
    EXPECT_EQ(E().PrjCreate("", ScratchDos("x").c_str(), 0), kBadArgument);
    EXPECT_EQ(E().PrjCreate(nullptr, ScratchDos("x").c_str(), 0), kBadArgument);
    EXPECT_EQ(E().PrjCreate("NoDir", "", 0), kBadArgument);
    EXPECT_EQ(E().PrjCreate("Unmapped", "D:\\projects\\x", 0), kiv::oserror::kPathNotFound);
    WriteFile(Scratch() / "plain", "a file");
    EXPECT_NE(E().PrjCreate("UnderAFile", ScratchDos("plain\\sub").c_str(), 0), 0u);
    EXPECT_EQ(E().PrjCreate("Shared", "C:\\KIVREPO\\DEFAULT", 0), kDirInUse);
    EXPECT_EQ(Projects(), std::vector<std::string>{"Default"}) << "nothing was added";
    // A POSIX path is taken in its DOS form.
    ASSERT_EQ(E().PrjCreate("Posix", (Scratch() / "posix").c_str(), 0), 0u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().PrjQueryDir("Posix", b, n, 0); }),
              ScratchDos("posix"));
    EXPECT_TRUE(std::filesystem::exists(KivProjectStore::DatabaseFile(Scratch() / "posix")));
}

TEST_F(KivSqliteEngineProjectTest, DescriptionKeywordsAndLock) {
    NewProject("Props");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().PrjQueryKeywords("Props", b, n, 0); }), "");
    ASSERT_EQ(E().PrjSetKeywords("props", "one two", 0), 0u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().PrjQueryKeywords("PROPS", b, n, 0); }), "one two");
    ASSERT_EQ(E().PrjSetDescription("Props", "What it is"), 0u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().PrjQueryDescription("Props", b, n, 0); }),
              "What it is");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().PrjQueryDescription("Default", b, n, 0); }),
              "Default project");
    uint32_t locked = 9;
    ASSERT_EQ(E().PrjQueryLock("Props", &locked, 0), 0u);
    EXPECT_EQ(locked, 0u);
    ASSERT_EQ(E().PrjSetLock("Props", 1), 0u);
    ASSERT_EQ(E().PrjQueryLock("Props", &locked, 0), 0u);
    EXPECT_EQ(locked, 1u);

    char buffer[100];
    EXPECT_EQ(E().PrjQueryDir("Nope", buffer, sizeof buffer, 0), kNoProject);
    EXPECT_EQ(E().PrjSetKeywords("Nope", "x", 0), kNoProject);
    EXPECT_EQ(E().PrjQueryLock("Nope", &locked, 0), kNoProject);
}

TEST_F(KivSqliteEngineProjectTest, DeleteRemovesTheDataRemoveOnlyTheCatalogueEntry) {
    NewProject("Removed");
    NewProject("Deleted");
    for (const char* name : {"Removed", "Deleted"}) {
        ASSERT_EQ(E().PrjSelect(name), 0u);
        NewApp(std::string(name) + "App");
    }
    EXPECT_EQ(E().PrjDelete("Deleted", 0), kProjectInUse);
    EXPECT_EQ(E().PrjRemove("Deleted", 0), kProjectInUse);
    ASSERT_EQ(E().PrjSelect("Default"), 0u);

    ASSERT_EQ(E().PrjRemove("removed", 0), 0u);
    ASSERT_EQ(E().PrjDelete("DELETED", 0), 0u);
    EXPECT_EQ(Projects(), std::vector<std::string>{"Default"});
    EXPECT_TRUE(std::filesystem::exists(KivProjectStore::DatabaseFile(Scratch() / "Removed")));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "Deleted")) << "the emptied directory goes too";
    EXPECT_EQ(E().PrjDelete("Deleted", 0), kNoProject);

    // The removed project's directory still holds its data: creating a project there brings it back.
    ASSERT_EQ(E().PrjCreate("Back", ScratchDos("Removed").c_str(), 0), 0u);
    ASSERT_EQ(E().PrjSelect("Back"), 0u);
    uint16_t app = 0;
    ASSERT_EQ(E().AppFind("RemovedApp", &app), 0u);
    EXPECT_NE(app, 0);
    ASSERT_EQ(E().PrjCreate("Fresh", ScratchDos("Deleted").c_str(), 0), 0u);
    ASSERT_EQ(E().PrjSelect("Fresh"), 0u);
    EXPECT_TRUE(Apps().empty());
}

TEST_F(KivSqliteEngineProjectTest, DeleteKeepsFilesThatAreNotTheProjects) {
    NewProject("Kept");
    WriteFile(Scratch() / "Kept" / "notes.txt", "mine");
    ASSERT_EQ(E().PrjDelete("Kept", 0), 0u);
    EXPECT_EQ(ReadFile(Scratch() / "Kept" / "notes.txt"), "mine");
    EXPECT_FALSE(std::filesystem::exists(KivProjectStore::DatabaseFile(Scratch() / "Kept")));
}

TEST_F(KivSqliteEngineProjectTest, SelectingAProjectWhoseDataIsGoneFails) {
    NewProject("Vanishing");
    std::filesystem::remove_all(Scratch() / "Vanishing");
    EXPECT_NE(E().PrjSelect("Vanishing"), 0u);
    EXPECT_EQ(CurrentProject(), "Default");
    EXPECT_EQ(NewApp("StillWorks") != 0, true);
}

TEST_F(KivSqliteEngineProjectTest, ForeignFileInTheProjectDirectoryIsRefused) {
    WriteFile(KivProjectStore::DatabaseFile(Scratch() / "Foreign"), "not a database at all, just text");
    EXPECT_NE(E().PrjCreate("Foreign", ScratchDos("Foreign").c_str(), 0), 0u);
    EXPECT_EQ(Projects(), std::vector<std::string>{"Default"});
    EXPECT_EQ(ReadFile(KivProjectStore::DatabaseFile(Scratch() / "Foreign")),
              "not a database at all, just text");
}
