#include <algorithm>

#include "app_fixture.h"
#include "shell/run_at_logon.h"
#include "text/messages.h"

namespace quellgate::testing {
namespace {

using ::testing::ElementsAre;

std::ptrdiff_t IndexOf(const fakes::Journal& journal, std::string_view entry) {
    const auto it = std::find(journal.begin(), journal.end(), entry);
    return it == journal.end() ? -1 : it - journal.begin();
}

class StartUp : public App {};

TEST_F(StartUp, RunsItsStepsInOrder) {
    autostart.journal = &journal;
    view.journal = &journal;
    files.journal = &journal;
    Start();
    ASSERT_TRUE(started);
    const std::vector<std::string> steps = {
        "autostart.write Quellgate", "autostart.exists Quellgate", "view.run-ticked 1",
        "view.hide-main",            "settings.get A",             "settings.get E",
        "view.switch 0",             "files.read",                 "view.splash"};
    std::ptrdiff_t previous = -1;
    for (const auto& step : steps) {
        const auto at = IndexOf(journal, step);
        EXPECT_GT(at, previous) << step << " missing or out of order";
        previous = at;
    }
    EXPECT_FALSE(view.mainShown);
}

TEST_F(StartUp, ASecondInstanceSaysSoAndDoesNothingElse) {
    process.otherInstance = true;
    autostart.journal = &journal;
    view.journal = &journal;
    Start();
    EXPECT_FALSE(started);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "'");
    EXPECT_EQ(dialogs.messages[0].caption, "Quellgate");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(journal.empty()) << journal.front();
    EXPECT_EQ(files.writes, 0);
}

TEST_F(StartUp, RewritesTheLogonEntryAndTicksTheBox) {
    process.folder = "C:\\Program Files\\Quellgate";
    Start();
    EXPECT_EQ(autostart.entries["Quellgate"], "\"C:\\Program Files\\Quellgate\\Quellgate.exe\"");
    EXPECT_TRUE(view.runTicked);

    // Unticked during the run: the entry goes; the next start writes it again.
    view.runTicked = false;
    app().ChkRun_Click();
    EXPECT_EQ(autostart.entries.count("Quellgate"), 0u);
    view.runTicked = true;  // a fresh window's box is ticked
    Start();
    EXPECT_EQ(autostart.entries.count("Quellgate"), 1u);
    EXPECT_TRUE(view.runTicked);
}

TEST_F(StartUp, ShowsTheRunKeyErrorsAndTheBoxFollowsTheEntry) {
    autostart.openError = 5;
    Start();
    EXPECT_THAT(dialogs.Texts(), ElementsAre("Error 5 opening key\r\n"));
    EXPECT_FALSE(view.runTicked);

    autostart.openError = 0;
    autostart.setError = 87;
    view.runTicked = true;
    app().ChkRun_Click();
    EXPECT_EQ(dialogs.Texts().back(), "Error 87 setting key\r\n");
}

TEST(StartupCommand, QuotesOnlyAPathWithBlanks) {
    EXPECT_EQ(StartupCommand("C:\\Tools", "Quellgate"), "C:\\Tools\\Quellgate.exe");
    EXPECT_EQ(StartupCommand("D:\\", "q"), "D:\\q.exe");
    EXPECT_EQ(StartupCommand("C:\\My Tools", "Quellgate"), "\"C:\\My Tools\\Quellgate.exe\"");
}

class Exit : public App {};

TEST_F(Exit, NoKeepsEverythingAsItWas) {
    files.files[BlocklistPath()] = "";
    Start();
    const int writes = files.writes;
    dialogs.answers = {Answer::No};
    EXPECT_FALSE(app().Form_Unload());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Exit Quellgate?");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(files.writes, writes);
    EXPECT_FALSE(view.terminated);
}

TEST_F(Exit, YesSavesTheBlocklistThenEnds) {
    files.journal = &journal;
    dialogs.journal = &journal;
    Start();
    journal.clear();
    dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(app().Form_Unload());
    EXPECT_TRUE(view.terminated);
    EXPECT_THAT(journal, ElementsAre("dialogs.message Exit Quellgate?", "files.replace"));
}

class Tick : public App {};

TEST_F(Tick, ChecksTheKeysInOrderThenScans) {
    Start();
    desktop.journal = &journal;
    journal.clear();
    app().Timer1_Timer();
    EXPECT_THAT(journal, ElementsAre("desktop.key 115", "desktop.key 119", "desktop.key 116",
                                     "desktop.key 115", "desktop.key 116", "desktop.enumerate"));
}

TEST_F(Tick, F4HidesAndF8SendsAltHomeEvenWithNoKeywords) {
    Start();
    view.mainShown = true;
    desktop.Tap(Key::F4);
    desktop.Tap(Key::F8);
    desktop.AddWindow("Some page");
    app().Timer1_Timer();
    EXPECT_FALSE(view.mainShown);
    EXPECT_EQ(desktop.altHomes, 1);
    app().Timer1_Timer();
    EXPECT_EQ(desktop.altHomes, 1) << "a tap counts once";
}

TEST_F(Tick, AFailingStepIsSkippedAndTheTickGoesOn) {
    settings.Set("E", "True");
    Start();
    desktop.AddWindow("youtube");
    desktop.onKeyQuery = [](Key key) {
        if (key == Key::F8) throw std::runtime_error("keystroke object missing");
    };
    EXPECT_NO_THROW(app().Timer1_Timer());
    EXPECT_EQ(desktop.altHomes, 1) << "the scan still ran";
}

TEST_F(Tick, F4AndF5TogetherHideFirstThenAsk) {
    Start();
    view.journal = &journal;
    dialogs.journal = &journal;
    view.mainShown = true;
    desktop.Tap(Key::F4);
    desktop.Tap(Key::F5);
    journal.clear();
    app().Timer1_Timer();
    EXPECT_LT(IndexOf(journal, "view.hide-main"), IndexOf(journal, "dialogs.ask Enter master password:"));
}

TEST_F(Tick, NeverStacksASecondPasswordPrompt) {
    Start();
    desktop.AddWindow("youtube fan page");
    settings.Set("P", "");
    int nestedScans = 0;
    // While the prompt is open the timer keeps ticking with F5 held down.
    dialogs.whilePromptOpen = [&] {
        desktop.held.insert(Key::F5);
        app().Timer1_Timer();
        ++nestedScans;
        desktop.held.clear();
    };
    desktop.Tap(Key::F5);
    app().Timer1_Timer();
    EXPECT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(nestedScans, 1);

    // Held through the whole prompt: the second check of the same tick asks
    // again once the first prompt has closed.
    dialogs.whilePromptOpen = nullptr;
    desktop.held.insert(Key::F5);
    app().Timer1_Timer();
    EXPECT_EQ(dialogs.prompts.size(), 3u);
}

TEST_F(Tick, ScansWhileThePromptIsOpen) {
    settings.Set("E", "True");
    Start();
    desktop.AddWindow("youtube");
    dialogs.whilePromptOpen = [&] { app().Timer1_Timer(); };
    desktop.Tap(Key::F5);
    app().Timer1_Timer();
    EXPECT_EQ(desktop.altHomes, 2);
}

TEST_F(Tick, TheMenuHidesAndOpensTheOtherWindows) {
    Start();
    view.mainShown = true;
    app().mnuHide_Click();
    EXPECT_FALSE(view.mainShown);
    app().mnuInfo_Click();
    app().mnuPassword_Click();
    EXPECT_TRUE(view.infoShown);
    EXPECT_TRUE(view.changePasswordShown);
}

}  // namespace
}  // namespace quellgate::testing
