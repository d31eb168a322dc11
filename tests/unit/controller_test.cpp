// The controller wired to fakes of every seam, as a front end wires it to the
// real ones: starting, the watch with its keys, unlocking, the password, the
// network switches, the custom keywords and how both are kept, and exiting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "blocklist/blocklist_file.h"
#include "fakes/fakes.h"
#include "protect/rotor_cipher.h"
#include "shell/controller.h"
#include "shell/window_layout.h"

using namespace quellgate;
using namespace ::testing;
using Told = fakes::ScriptedDialogs::Message;
using Stored = std::map<std::string, std::string>;

namespace {

Matcher<const Told&> Shown(Matcher<const std::string&> text, MessageIcon icon,
                           std::string caption = "Quellgate", MessageButtons buttons = MessageButtons::Ok) {
    return AllOf(Field(&Told::text, text), Field(&Told::icon, icon), Field(&Told::caption, caption),
                 Field(&Told::buttons, buttons));
}

class App : public Test, protected fakes::FakeSystem {
protected:
    enum : std::size_t { Facebook, Twitter, LinkedIn, MySpace, YouTube };

    // A new run of the program on the fakes as they stand; false when it ended at once.
    bool Start() {
        app_ = std::make_unique<Controller>(platform());
        return app_->Start(view);
    }
    Controller& app() { return *app_; }
    std::string& File() { return files.files["blocklist"]; }

    void Type(std::optional<std::string> keyword) {
        dialogs.typed.push_back(std::move(keyword));
        app_->AddKeyword();
    }
    // F5 at the next tick, with this typed into the prompt.
    void Unlock(std::optional<std::string> typed) {
        dialogs.messages.clear();
        dialogs.typed.push_back(std::move(typed));
        desktop.taps.insert(Key::F5);
        app_->OnWatchTick();
    }

    fakes::RecordingView view;

private:
    std::unique_ptr<Controller> app_;
};

}  // namespace

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
    EXPECT_TRUE(view.startAtLogon == true && view.watching && view.splashShown && !view.mainShown);
    EXPECT_THAT(files.files, ElementsAre(Pair("blocklist", ""))) << "created empty";
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
    EXPECT_THAT(dialogs.messages, Not(Contains(Field(&Told::text, HasSubstr("could not read")))))
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
    for (const int item : {layout::kMenuHide, layout::kMenuInfo, layout::kMenuChangePassword})
        app().Choose(item);
    EXPECT_TRUE(!view.mainShown && view.infoShown && view.changePasswordShown);
    app().Choose(layout::kMenuExit);
    EXPECT_EQ(dialogs.messages.size(), 1u) << "asked first";
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
                                         HasSubstr("Access is denied."), Not(HasSubstr("administrator"))),
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
                          Case{"old-password", "ééééééé", "", "New password must be at least 8 characters!"},
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

using Switches = App;

TEST_F(Switches, ReadAsBlockedOnlyWhenStoredAsTrueAndAClickChangesOnlyItsOwnEntry) {
    settings.values = {{"A", "False"}, {"B", "True"}, {"C", "true"}, {"E", "True"}};
    File() = EncodeBlocklist({"myyoutube", "youtube fans"});
    Start();
    EXPECT_THAT(view.blocked, ElementsAre(false, true, false, false, true))
        << "other text or none reads as FREE";
    EXPECT_THAT(view.keywords, ElementsAre("myyoutube", "twitter", "youtube", "youtube fans"));
    app().ToggleNetwork(Facebook);
    app().ToggleNetwork(YouTube);  // though the user's keywords hold the name
    EXPECT_EQ(settings.values,
              (Stored{{"A", "True"}, {"B", "True"}, {"C", "False"}, {"D", "False"}, {"E", "False"}}));
    EXPECT_THAT(view.keywords, ElementsAre("facebook", "myyoutube", "twitter", "youtube fans"));
    EXPECT_THAT(view.blocked, ElementsAre(true, true, false, false, false));
    Type("zzz");
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("myyoutube", "youtube fans", "zzz"))
        << "no network name";
    desktop.AddWindow("Facebook - Home");
    app().OnWatchTick();
    EXPECT_EQ(desktop.altHomes, 1) << "BLOCKED blocks the network itself";
}

TEST_F(Switches, AWriteThatFailsIsToldOncePerRunAndTheOthersAreStillStored) {
    Start();
    settings.refused = {"B"};
    dialogs.whileMessageOpen = [&] { EXPECT_TRUE(view.blocked[MySpace]) << "the display shows the click"; };
    app().ToggleNetwork(MySpace);
    app().ToggleNetwork(Twitter);
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown(AllOf(HasSubstr("Access is denied."), HasSubstr("forgotten")),
                                  MessageIcon::Exclamation)));
    EXPECT_EQ(settings.values, (Stored{{"A", "False"}, {"C", "False"}, {"D", "True"}, {"E", "False"}}));
    EXPECT_THAT(view.keywords, ElementsAre("myspace", "twitter")) << "blocked for this run all the same";
}

using Keywords = App;

TEST_F(Keywords, ShortOrBroadWordsAreRefusedWithoutWriting) {
    Start();
    files.replaced = 0;
    for (const auto& typed : std::initializer_list<std::optional<std::string>>{
             "ab", "", "žé", "Facebook", "COM", "Info", "www", "http://", ".ww", "\r\n\t", std::nullopt}) {
        dialogs.messages.clear();
        Type(typed);
        EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Keyword not allowed!", MessageIcon::Information)))
            << typed.value_or("(cancelled)");
    }
    EXPECT_EQ(files.replaced, 0);
    EXPECT_THAT(view.keywords, IsEmpty());
}

TEST_F(Keywords, AreLowerCasedAndOnlyAnEqualEntryRefusesOne) {
    Start();
    app().ToggleNetwork(Facebook);
    for (const char* typed : {"abc", "Facebook Page", " www", "ABC", "book"}) Type(typed);
    EXPECT_THAT(dialogs.prompts, Each(fakes::ScriptedDialogs::Prompt{
                                     "Add keyword or sitename to block list...!", "Quellgate", false}));
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown("Keyword already exists in the Blocklist!!!", MessageIcon::Information)));
    EXPECT_THAT(view.keywords, ElementsAre(" www", "abc", "book", "facebook", "facebook page"));
}

TEST_F(Keywords, RemovingTakesTheSelectedCustomKeywordOnly) {
    Start();
    Type("abc");
    app().ToggleNetwork(Twitter);
    view.selected = 1;
    files.replaced = 0;
    app().RemoveSelectedKeyword();
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Click on Social Network Icon to remove from this list!",
                                                    MessageIcon::Information)));
    EXPECT_EQ(files.replaced, 0);
    view.selected = 0;
    app().RemoveSelectedKeyword();
    EXPECT_THAT(view.keywords, ElementsAre("twitter"));
    EXPECT_EQ(File(), "");
}

TEST_F(Keywords, NeverHoldAControlCharacterWhateverComesIn) {
    File() = Encipher("tab\tbed") + "\r\n" + Encipher("bell\x07\x1B[0m") + "\r\n" + Encipher("\t\t") + "\r\n";
    Start();
    Type("abc\r\ne");
    Type("x\xC2\x85y\xE2\x80\xA8z");
    // Each run becomes one space, and the length check applies to the result.
    EXPECT_THAT(view.keywords, ElementsAre(" ", "abc e", "bell [0m", "tab bed", "x y z"));
    Start();
    EXPECT_THAT(view.keywords, ElementsAre(" ", "abc e", "bell [0m", "tab bed", "x y z")) << "one line each";
}

using Blocklist = App;

TEST_F(Blocklist, ReadsEveryLineEndAndSavesOneEncipheredLinePerKeyword) {
    settings.values["A"] = "True";
    File() = Encipher("beta") + "\r\n\r\n" + Encipher("book") + "\r" + Encipher("News") + "\n" +
             Encipher("news") + "\r\n" + Encipher("newsletter");
    Start();
    EXPECT_EQ(view.rowsShown, view.keywords.size()) << "shown once, not once a keyword";
    for (const char* typed : {"Νέα News", "~tilde\"quote"}) Type(typed);
    std::string lines;
    for (const char* keyword : {"beta", "book", "news", "newsletter", "~tilde\"quote", "Νέα news"})
        lines += Encipher(keyword) + "\r\n";
    EXPECT_EQ(File(), lines) << "keywords inside other entries stay, network names stay out";
    const auto listed = view.keywords;
    Start();
    EXPECT_EQ(view.keywords, listed);
}

TEST_F(Blocklist, SurvivesDamagedContentAndKeepsKeywordsTooLongToMatch) {
    const std::string huge(10000, 'q');
    File() = Encipher("good") + "\r\n" + std::string("\0\0\xFF\xFE\x01", 5) + "\r\n" + Encipher(huge) +
             "\r\n" + "\xC3";  // cut inside a character, no line end
    Start();
    const std::vector<std::string> kept{" \xEF\xBF\xBD\xEF\xBF\xBD ", "good", huge, "\xEF\xBF\xBD"};
    EXPECT_THAT(view.keywords, ElementsAre(kept[0], kept[1], std::string(300, 'q') + "\u2026", kept[3]))
        << "a row shows 300 characters at most";
    app().RemoveSelectedKeyword();
    EXPECT_EQ(DecodeBlocklist(File()), kept) << "but kept";
}

TEST_F(Blocklist, AFailedSaveIsToldOnceUntilASaveSucceedsAndAnUnreadableFileIsNeverOverwritten) {
    Start();
    files.failWrites = true;
    Type("first");
    Type("second");
    const auto told = Shown(
        AllOf(HasSubstr("could not save"), HasSubstr("C:\\Tools\\blocklist"), HasSubstr("Access is denied.")),
        MessageIcon::Exclamation);
    EXPECT_THAT(dialogs.messages, ElementsAre(told));
    EXPECT_EQ(File(), "") << "the old content stays";
    files.failWrites = false;
    Type("third");
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("first", "second", "third"));
    files.failWrites = true;
    Type("fourth");
    EXPECT_THAT(dialogs.messages, ElementsAre(told, told)) << "a new failure after a success is told again";

    File() = EncodeBlocklist({"kept"});
    files.failWrites = false;
    files.unreadable = true;
    dialogs.messages.clear();
    Start();
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown(HasSubstr("could not read"), MessageIcon::Exclamation)));
    Type("added");
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("kept")) << "not overwritten while unread";
    files.unreadable = false;
    Type("later");
    EXPECT_THAT(view.keywords, ElementsAre("added", "kept", "later"));
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("added", "kept", "later"));
}
