// Starting, the watch with its keys, unlocking, changing the password and exiting.
#include "app.h"
#include "protect/rotor_cipher.h"
#include "shell/window_layout.h"

namespace quellgate::testing {
namespace {

using StartUp = App;

TEST_F(StartUp, ASecondInstanceSaysSoAndDoesNothingElse) {
    process.otherInstance = true;
    EXPECT_FALSE(Start());
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("'", MessageIcon::None)));
    EXPECT_FALSE(view.watching || view.splashShown);
    EXPECT_THAT(startAtLogon.entries, IsEmpty());
    EXPECT_EQ(files.replaced, 0);
}

TEST_F(StartUp, WritesTheLogonEntryEveryRunAndTheBoxFollowsIt) {
    ASSERT_TRUE(Start());
    EXPECT_THAT(startAtLogon.entries, ElementsAre(Pair("Quellgate", "C:\\Tools\\Quellgate.exe")));
    EXPECT_EQ(view.startAtLogon, true);
    EXPECT_TRUE(view.watching && view.splashShown);
    EXPECT_FALSE(view.mainShown);
    app().SetStartAtLogon(false);
    EXPECT_THAT(startAtLogon.entries, IsEmpty());
    process.name = "renamed";  // the next run writes it again, under its own name
    Start();
    EXPECT_THAT(startAtLogon.entries, ElementsAre(Pair("renamed", "C:\\Tools\\renamed.exe")));
    startAtLogon.writeError = 87;
    app().SetStartAtLogon(true);
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Error 87 setting key\r\n", MessageIcon::None)));
    startAtLogon.registryValue = false;  // a file: no registry error numbers
    app().SetStartAtLogon(true);
    EXPECT_THAT(
        dialogs.messages.back().text,
        AllOf(HasSubstr("could not write its start-at-login entry\r\nentries/renamed\r\n(not allowed)"),
              Not(HasSubstr("87"))));
}

TEST_F(StartUp, BlocksWhileAStartUpMessageWaitsForAnAnswer) {
    settings.values["A"] = "True";
    files.unreadable = true;
    startAtLogon.openError = 5;
    desktop.AddWindow("Facebook - Log In");
    dialogs.whileMessageOpen = [&] {
        if (view.watching) app().OnWatchTick();
    };
    ASSERT_TRUE(Start());
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Error 5 opening key\r\n", MessageIcon::None),
                                              Shown(HasSubstr("could not read"), MessageIcon::Exclamation)));
    EXPECT_EQ(view.startAtLogon, false);
    EXPECT_EQ(desktop.altHomes, 2) << "one tick under each message";
}

TEST_F(StartUp, SettingsThatCannotBeReadAreToldOnceAndLeaveTheDefaults) {
    settings.values = {{"A", "True"}, {"P", Encipher("own password")}};
    settings.unreadable = true;
    ASSERT_TRUE(Start());
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown(AllOf(HasSubstr("could not read its settings"),
                                        HasSubstr("the settings store"), HasSubstr("not an ordinary file")),
                                  MessageIcon::Exclamation)));
    EXPECT_THAT(view.blocked, Each(false));
    Unlock("lotus7391");
    EXPECT_TRUE(view.mainShown);
    EXPECT_THAT(dialogs.messages, Not(Contains(Field(&Message::text, HasSubstr("could not read")))))
        << "told once";
}

TEST_F(StartUp, ExitAsksOnceAndOnlyYesSavesTheKeywordsAndEnds) {
    Start();
    files.files.clear();
    dialogs.answers = {Answer::No, Answer::Yes};
    // A second close request that comes while the question is open.
    dialogs.whileMessageOpen = [&] { EXPECT_FALSE(app().RequestExit()); };
    EXPECT_FALSE(app().RequestExit());
    EXPECT_FALSE(view.terminated);
    EXPECT_THAT(files.files, IsEmpty()) << "No saves nothing";
    EXPECT_TRUE(app().RequestExit());
    const auto question = Shown("Exit Quellgate?", MessageIcon::Question, "Quellgate", MessageButtons::YesNo);
    EXPECT_THAT(dialogs.messages, ElementsAre(question, question));
    EXPECT_TRUE(view.terminated);
    EXPECT_THAT(files.files, ElementsAre(Pair("blocklist", "")));
}

using Watch = App;

TEST_F(Watch, F4HidesF8SendsAltHomeOnceATapAndAFailingStepStopsNothing) {
    Start();
    view.mainShown = true;
    desktop.taps = {Key::F4, Key::F8};
    app().OnWatchTick();
    app().OnWatchTick();
    EXPECT_FALSE(view.mainShown);
    EXPECT_EQ(desktop.altHomes, 1) << "F8 with no keyword listed, once a tap";
    desktop.AddWindow("youtube fan page");
    Type("fan page");
    desktop.broken.insert(Key::F8);
    app().OnWatchTick();
    EXPECT_EQ(desktop.altHomes, 2) << "the tick got past F8 and scanned";
    EXPECT_THAT(diagnostics.notes, ElementsAre(HasSubstr("the system call failed")));
}

TEST_F(Watch, TheMenuHidesShowsTheCompanionsAndAsksBeforeEnding) {
    Start();
    view.mainShown = true;
    app().Choose(layout::kMenuHide);
    app().Choose(layout::kMenuInfo);
    app().Choose(layout::kMenuChangePassword);
    EXPECT_FALSE(view.mainShown);
    EXPECT_TRUE(view.infoShown && view.changePasswordShown);
    dialogs.answers = {Answer::No};
    app().Choose(layout::kMenuExit);
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Exit Quellgate?", MessageIcon::Question, "Quellgate",
                                                    MessageButtons::YesNo)));
}

TEST_F(Watch, F5HeldOpensOnePromptAtATime) {
    Start();
    // While the prompt is open the timer keeps ticking with F5 held down.
    dialogs.whilePromptOpen = [&] {
        desktop.held.insert(Key::F5);
        app().OnWatchTick();
        desktop.held.clear();
    };
    desktop.taps.insert(Key::F5);
    app().OnWatchTick();
    EXPECT_EQ(dialogs.prompts.size(), 1u);
    // Held through the whole prompt: the second look at F5 in the same tick
    // asks again once the first prompt has closed.
    dialogs.whilePromptOpen = nullptr;
    desktop.held.insert(Key::F5);
    app().OnWatchTick();
    EXPECT_EQ(dialogs.prompts.size(), 3u);
}

using Unlocking = App;

TEST_F(Unlocking, AnEmptyOrWrongAnswerIsRefusedAndTheDefaultWarnsAndIsStoredWhenItCan) {
    settings.values["U"] = "kept as it is";
    Start();
    const auto empty = Shown("Please enter master password!", MessageIcon::None);
    const auto wrong = Shown("Password not match!!!", MessageIcon::Exclamation, "Password verification");
    for (const auto& typed :
         std::initializer_list<std::optional<std::string>>{"", std::nullopt, "Lotus7391", "lotus7391 "}) {
        Unlock(typed);
        EXPECT_THAT(dialogs.messages, ElementsAre(typed.value_or("").empty() ? empty : wrong));
        EXPECT_FALSE(view.mainShown);
    }
    EXPECT_THAT(dialogs.prompts,
                Each(fakes::ScriptedDialogs::Prompt{"Enter master password:", "Quellgate", true}));
    settings.refused = {"P", "U"};
    Unlock("lotus7391");
    const auto warning =
        Shown("Your master password is 'lotus7391' and not safe to use! Please change your password!",
              MessageIcon::Information);
    EXPECT_THAT(
        dialogs.messages,
        ElementsAre(warning, Shown(AllOf(HasSubstr("could not store the master password"),
                                         HasSubstr("the settings store"), HasSubstr("Access is denied."),
                                         Not(HasSubstr("administrator"))),
                                   MessageIcon::Exclamation)));
    EXPECT_TRUE(view.mainShown);
    settings.refused.clear();
    Unlock("lotus7391");
    EXPECT_THAT(dialogs.messages, ElementsAre(warning));
    EXPECT_EQ(settings.values["P"], Encipher("lotus7391"));
    EXPECT_EQ(settings.values["U"], "kept as it is");
}

using ChangingPassword = App;

TEST_F(ChangingPassword, ChecksInOrderAndChangesNothingOnAFailure) {
    settings.values = {{"P", Encipher("old-password")}, {"U", "U's own text"}};
    Start();
    struct Case {
        const char *oldPw, *newPw, *retyped, *message;
    };
    for (const Case& c : {Case{"wrong", "", "", "Wrong OLD password!"},
                          Case{"OLD-PASSWORD", "abcdefgh", "abcdefgh", "Wrong OLD password!"},
                          Case{"old-password", "abcdefg", "", "New password must be at least 8 characters!"},
                          Case{"old-password", "abcdefgh", "", "All boxes must be filled!"},
                          Case{"old-password", "abcdefgh", "ABCDEFGH", "Re-type New password in fields!"}}) {
        dialogs.messages.clear();
        EXPECT_FALSE(app().ChangePassword(c.oldPw, c.newPw, c.retyped));
        EXPECT_THAT(dialogs.messages, ElementsAre(Shown(c.message, MessageIcon::Exclamation)));
    }
    settings.refused = {"P"};
    dialogs.messages.clear();
    EXPECT_FALSE(app().ChangePassword("old-password", "new-password", "new-password"));
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown(AllOf(HasSubstr("NOT changed"), HasSubstr("Access is denied.")),
                                  MessageIcon::Exclamation)));
    EXPECT_EQ(Decipher(settings.values["P"]), "old-password");
}

TEST_F(ChangingPassword, StoresTheNewPasswordKeepsUAndOnlyItOpens) {
    settings.values = {{"P", Encipher("old-password")}, {"U", "U's own text"}};
    Start();
    EXPECT_TRUE(app().ChangePassword("old-password", "12345678", "12345678"));
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Pasword changed!", MessageIcon::Information)));
    EXPECT_EQ(settings.values["U"], "U's own text");
    for (const char* old : {"old-password", "lotus7391"}) {
        Unlock(old);
        EXPECT_FALSE(view.mainShown) << old << " no longer opens";
    }
    Unlock("12345678");
    EXPECT_TRUE(view.mainShown);
    EXPECT_THAT(dialogs.messages, IsEmpty()) << "no warning for a password of one's own";
    settings.values.erase("P");  // none stored: the old password is empty
    EXPECT_TRUE(app().ChangePassword("", "lotus7391", "lotus7391"));
    EXPECT_EQ(Decipher(settings.values["P"]), "lotus7391");
}

}  // namespace
}  // namespace quellgate::testing
