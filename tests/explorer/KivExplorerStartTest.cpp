#include "explorer/KivExplorerStart.h"

#include "common/KivScriptedPrompt.h"
#include "common/KivTestHome.h"
#include "engine/KivSqliteEngine.h"
#include "explorer/KivExplorerApplication.h"
#include "explorer/RepoExplorer.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVORepository.h"
#include "support/KivError.h"
#include "support/KivErrorHandler.h"

#include <QTreeWidget>

#include <stdexcept>

using KivExplorerStartTest = KivTestHome;

// The repository admits one user at a time: a second start finds it taken, says so and makes no
// window, and leaves nothing registered behind.
TEST_F(KivExplorerStartTest, SecondInstanceIsToldTheRepositoryIsAlreadyOpen) {
    KivSqliteEngine first;
    ASSERT_EQ(first.AdamInit(0, nullptr), 0u);
    auto prompt = std::make_shared<KivScriptedPrompt>();
    KivPromptScope scope(prompt);
    {
        KivExplorerStart second(std::make_shared<KivSqliteEngine>());
        EXPECT_FALSE(second.Success());
        EXPECT_EQ(second.Window(), nullptr);
        EXPECT_EQ(KivGetRepoObject(), nullptr);
    }
    ASSERT_EQ(prompt->boxes.size(), 1u);
    EXPECT_EQ(prompt->boxes[0].text, "Failed to Initialize Repository !!\r\nAlready Open ?");
    EXPECT_EQ(prompt->boxes[0].caption, "Error");
    EXPECT_EQ(prompt->boxes[0].style, KivBox::Ok | KivBox::IconStop);
    EXPECT_EQ(first.AdamExit(), 0u);
}

TEST_F(KivExplorerStartTest, StartShowsTheWindowMaximisedAndTheEndRestoresTheStartProject) {
    {
        KivRepositorySession setup(std::make_shared<KivSqliteEngine>());
        ASSERT_TRUE(setup.Success());
        ASSERT_TRUE(setup.Repository()->ProjectCreate("Shop", ScratchDos("shop")));
        ASSERT_EQ(setup.Repository()->CurrentProjectName("Shop"), "Shop");
        setup.Repository()->DefaultProjectName("Shop");
    }
    auto prompt = std::make_shared<KivScriptedPrompt>();
    KivPromptScope scope(prompt);
    {
        KivExplorerStart start(std::make_shared<KivSqliteEngine>());
        ASSERT_TRUE(start.Success());
        RepoExplorer* window = start.Window();
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
        ASSERT_NE(KivGetRepoObject(), nullptr);
        EXPECT_TRUE(KivGetRepoObject()->OwnsEngine());
        EXPECT_EQ(window->TreeWindow()->currentItem(), window->FindNode("Shop"));
        // Listing another project makes it current for the rest of the run.
        window->TreeWindow()->setCurrentItem(window->FindNode("Default"));
        EXPECT_EQ(KivGetRepoObject()->CurrentProjectName(), "Default");
    }
    EXPECT_TRUE(prompt->boxes.empty());
    EXPECT_EQ(KivGetRepoObject(), nullptr);
    // The engine was closed (its lock is free) and the start project is current again.
    KivSqliteEngine after;
    ASSERT_EQ(after.AdamInit(0, nullptr), 0u);
    char name[100] = {};
    ASSERT_EQ(after.AdamQueryCurrentPrjName(name, sizeof name), 0u);
    EXPECT_STREQ(name, "Shop");
    EXPECT_EQ(after.AdamExit(), 0u);
}

// An exception out of an event handler reaches the error handler; the event loop goes on unless
// the person chooses to quit.
TEST_F(KivExplorerStartTest, ExceptionsOutOfEventsReachTheErrorHandler) {
    KivRuntimeSettings saved = KivRuntime();
    KivRuntime().ErrorLog = false;
    auto prompt = std::make_shared<KivScriptedPrompt>();
    prompt->errorAnswers = {KivErrorChoice::Default, KivErrorChoice::Default};
    KivPromptScope scope(prompt);

    EXPECT_TRUE(KivDeliverEvent([] { return true; }));
    EXPECT_FALSE(KivDeliverEvent([]() -> bool { throw std::runtime_error("lost the thread"); }));
    KivErrorObject error;
    error.SubSystem = "KIV";
    error.Description = "stream broke";
    EXPECT_FALSE(KivDeliverEvent([&]() -> bool { throw KivError(error); }));
    KivRuntime() = saved;

    ASSERT_EQ(prompt->errorBoxes.size(), 2u);
    EXPECT_NE(prompt->errorBoxes[0].text.find("lost the thread"), std::string::npos);
    EXPECT_NE(prompt->errorBoxes[1].text.find("stream broke"), std::string::npos);
}
