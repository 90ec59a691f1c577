#include "support/KivFileSpec.h"
#include "common/KivTestHome.h"

#include <fcntl.h>
#include <sys/stat.h>

class FileSpecTest : public KivTestHome {};

TEST_F(FileSpecTest, PartsOfTheFullPath) {
    KivFileSpec name("C:\\Cavo25\\AEF\\Project.kpi");
    EXPECT_EQ(name.FullPath(), "C:\\Cavo25\\AEF\\Project.kpi");
    EXPECT_EQ(name.Path(), "C:\\Cavo25\\AEF\\");
    EXPECT_EQ(name.FileName(), "Project");
    EXPECT_EQ(name.Extension(), ".kpi");

    EXPECT_EQ(name.Extension("PRG"), ".PRG");
    EXPECT_EQ(name.FullPath(), "C:\\Cavo25\\AEF\\Project.PRG");
    EXPECT_EQ(name.Extension(".log"), ".log");
    EXPECT_EQ(name.FileName("Other"), "Other");
    EXPECT_EQ(name.FullPath(), "C:\\Cavo25\\AEF\\Other.log");
    name.Extension("");
    EXPECT_EQ(name.FullPath(), "C:\\Cavo25\\AEF\\Other");

    // Only the last dot of the name starts an extension; a leading one belongs to the name.
    EXPECT_EQ(KivFileSpec("Z:\\a.b\\c").Extension(), "");
    EXPECT_EQ(KivFileSpec("Z:\\x\\.profile").FileName(), ".profile");
    EXPECT_EQ(KivFileSpec("Z:\\x\\lib.tar.gz").FileName(), "lib.tar");
}

TEST_F(FileSpecTest, HostAndRelativeNamesBecomeFullDosPaths) {
    EXPECT_EQ(KivFileSpec("/tmp/x.prg").FullPath(), "Z:\\tmp\\x.prg");
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(Scratch());
    EXPECT_EQ(KivFileSpec("sub\\a.txt").FullPath(), ScratchDos("sub\\a.txt"));
    EXPECT_EQ(KivFileSpec("\\tmp\\b.txt").FullPath(), "Z:\\tmp\\b.txt");
    std::filesystem::current_path(previous);
    EXPECT_EQ(KivFileSpec("").FullPath(), "");
}

TEST_F(FileSpecTest, FindAndChangeMomentOfTheFileFoundIgnoringCase) {
    WriteFile(Scratch() / "Logs" / "run.log", "x");
    std::filesystem::create_directories(Scratch() / "folder.dir");
    // 2024-07-15 11:45:31 UTC
    struct timespec times[2] = {{0, UTIME_OMIT}, {1721043931, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (Scratch() / "Logs" / "run.log").c_str(), times, 0), 0);

    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    KivFileSpec name(ScratchDos("LOGS\\Run.LOG"));
    EXPECT_TRUE(name.Find());
    EXPECT_EQ(name.HostPath(), Scratch() / "Logs" / "run.log");
    EXPECT_EQ(name.DateChanged(), KivDate::FromYMD(2024, 7, 15));
    EXPECT_EQ(name.TimeChanged(), "13:45:31");
    if (previous)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");

    KivFileSpec missing(ScratchDos("none.txt"));
    EXPECT_FALSE(missing.Find());
    EXPECT_TRUE(missing.DateChanged().IsNull());
    EXPECT_EQ(missing.TimeChanged(), "");
    EXPECT_FALSE(KivFileSpec(ScratchDos("folder.dir")).Find());
    EXPECT_FALSE(KivFileSpec("D:\\data\\x.txt").Find());
    EXPECT_FALSE(KivFileSpec("D:\\data\\x.txt").HostPath());
}
