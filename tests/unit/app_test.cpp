// The controller's behaviour, seen through fakes of every seam.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "fakes/fakes.h"
#include "protect/rotor_cipher.h"
#include "shell/quellgate.h"
#include "shell/run_at_logon.h"

namespace quellgate::testing {
namespace {

using namespace ::testing;
using Message = fakes::ScriptedDialogs::Message;
using Said = Matcher<const Message&>;

Said Shown(Matcher<const std::string&> text, MessageIcon icon, std::string caption = "Quellgate",
           MessageButtons buttons = MessageButtons::Ok) {
    return AllOf(Field(&Message::text, text), Field(&Message::icon, icon), Field(&Message::caption, caption),
                 Field(&Message::buttons, buttons));
}

// The controller wired to fakes of every seam, as the Windows front end wires
// it to the real ones. All fakes write to one journal.
class App : public Test {
protected:
    App() {
        settings.journal = desktop.journal = dialogs.journal = autostart.journal = files.journal =
            view.journal = &journal;
    }

    // A new run of the program on the fakes as they stand; false when it ended at once.
    bool Start() {
        app_ = std::make_unique<Quellgate>(
            Platform{settings, desktop, textCase, dialogs, autostart, process, files}, view);
        return app_->Form_Load();
    }
    Quellgate& app() { return *app_; }
    std::string& File() { return files.files[process.folder + "\\blocklist"]; }
    const std::vector<std::string>& List() { return app_->List3().Entries(); }

    // F5 at the next tick, with this typed into the prompt.
    void Unlock(std::optional<std::string> typed) {
        dialogs.messages.clear();
        dialogs.typed.push_back(std::move(typed));
        desktop.taps.insert(Key::F5);
        app_->Timer1_Timer();
    }

    fakes::Journal journal;
    fakes::MemorySettingsStore settings;
    fakes::FakeDesktop desktop;
    fakes::UnicodeTextCase textCase;
    fakes::ScriptedDialogs dialogs;
    fakes::FakeAutostart autostart;
    fakes::FakeProcess process;
    fakes::MemoryFileStore files;
    fakes::RecordingView view;

private:
    std::unique_ptr<Quellgate> app_;
};

using StartUp = App;

TEST_F(StartUp, RunsItsStepsInOrderAndKeepsTheMainWindowHidden) {
    File() = "";
    ASSERT_TRUE(Start());
    EXPECT_EQ(journal, (fakes::Journal{"autostart.write Quellgate", "autostart.exists Quellgate",
                                       "view.run-ticked 1", "view.hide-main", "settings.get A",
                                       "settings.get B", "settings.get C", "settings.get D", "settings.get E",
                                       "view.switch 0", "view.switch 1", "view.switch 2", "view.switch 3",
                                       "view.switch 4", "files.read", "view.watch", "view.splash"}));
    EXPECT_FALSE(view.mainShown);
}

TEST_F(StartUp, ASecondInstanceSaysSoAndDoesNothingElse) {
    process.otherInstance = true;
    EXPECT_FALSE(Start());
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("'", MessageIcon::None)));
    EXPECT_THAT(journal, ElementsAre("dialogs.message '"));
}

TEST_F(StartUp, RewritesTheLogonEntryEveryRunAndTheBoxFollowsIt) {
    process.folder = "C:\\Program Files\\Quellgate";
    process.baseName = "qg";
    Start();
    EXPECT_THAT(autostart.entries, ElementsAre(Pair("qg", "\"C:\\Program Files\\Quellgate\\qg.exe\"")));
    EXPECT_TRUE(view.runTicked);

    view.runTicked = false;  // unticked during the run: the entry goes
    app().ChkRun_Click();
    EXPECT_THAT(autostart.entries, IsEmpty());
    view.runTicked = true;  // a fresh window's box is ticked: the next run writes the entry again
    Start();
    EXPECT_EQ(autostart.entries.count("qg"), 1u);

    autostart.setError = 87;
    app().ChkRun_Click();
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Error 87 setting key\r\n", MessageIcon::None)));

    autostart.entries.clear();
    autostart.openError = 5;  // the next run cannot write it either
    dialogs.messages.clear();
    Start();
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Error 5 opening key\r\n", MessageIcon::None)));
    EXPECT_FALSE(view.runTicked);
}

TEST_F(StartUp, BlocksWhileAStartUpMessageWaitsForAnAnswer) {
    settings.values["A"] = "True";
    files.unreadable.insert(process.folder + "\\blocklist");
    autostart.openError = 5;
    desktop.AddWindow("Facebook - Log In");
    // Ticks come while a box is open, as the box's own message loop serves the timer.
    dialogs.whileMessageOpen = [&] {
        if (view.watching) app().Timer1_Timer();
    };
    ASSERT_TRUE(Start());
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Error 5 opening key\r\n", MessageIcon::None),
                                              Shown(HasSubstr("could not read"), MessageIcon::Exclamation)));
    EXPECT_EQ(desktop.altHomes, 2) << "one tick under each message";
}

TEST(StartupCommand, IsThePlainPathWithoutBlanks) {
    EXPECT_EQ(StartupCommand("C:\\Tools", "Quellgate"), "C:\\Tools\\Quellgate.exe");
    EXPECT_EQ(StartupCommand("D:\\", "q"), "D:\\q.exe");
}

TEST_F(App, ExitAsksAndOnlyYesSavesTheBlocklistThenEnds) {
    Start();
    journal.clear();
    dialogs.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(app().Form_Unload());
    EXPECT_TRUE(app().Form_Unload());
    EXPECT_THAT(dialogs.messages,
                Each(Shown("Exit Quellgate?", MessageIcon::Question, "Quellgate", MessageButtons::YesNo)));
    EXPECT_THAT(journal, ElementsAre("dialogs.message Exit Quellgate?", "dialogs.message Exit Quellgate?",
                                     "files.replace", "view.terminate"));
}

using Tick = App;

TEST_F(Tick, ChecksTheKeysInOrderThenScans) {
    Start();
    desktop.AddWindow("Some page");
    for (Key key : {Key::F4, Key::F8, Key::F5}) desktop.taps.insert(key);
    settings.journal = nullptr;  // the prompt's reading of the password is not the point here
    journal.clear();
    app().Timer1_Timer();
    EXPECT_THAT(journal,
                ElementsAre("desktop.key 115", "view.hide-main", "desktop.key 119", "desktop.alt+home",
                            "desktop.key 116", "dialogs.ask Enter master password:",
                            "dialogs.message Please enter master password!", "desktop.key 115",
                            "desktop.key 116", "desktop.enumerate"));
    app().Timer1_Timer();
    EXPECT_EQ(desktop.altHomes, 1) << "a tap counts once; no keyword, no keystroke";
}

TEST_F(Tick, GoesOnPastAFailingStepAndScansButStacksNoPromptWhileOneIsOpen) {
    settings.values["E"] = "True";
    Start();
    desktop.AddWindow("youtube fan page");
    desktop.broken.insert(Key::F8);
    // While the prompt is open the timer keeps ticking with F5 held down.
    dialogs.whilePromptOpen = [&] {
        desktop.held.insert(Key::F5);
        app().Timer1_Timer();
        desktop.held.clear();
    };
    desktop.taps.insert(Key::F5);
    app().Timer1_Timer();
    EXPECT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(desktop.altHomes, 2) << "both ticks got past F8 and scanned";

    // Held through the whole prompt: the second check of the same tick asks
    // again once the first prompt has closed.
    dialogs.whilePromptOpen = nullptr;
    desktop.held.insert(Key::F5);
    app().Timer1_Timer();
    EXPECT_EQ(dialogs.prompts.size(), 3u);
}

TEST_F(App, TheMenuHidesAndOpensTheOtherWindows) {
    Start();
    journal.clear();
    app().mnuHide_Click();
    app().mnuInfo_Click();
    app().mnuPassword_Click();
    EXPECT_THAT(journal, ElementsAre("view.hide-main", "view.info", "view.change-password"));
}

using MasterPassword = App;

TEST_F(MasterPassword, TheDefaultOpensOnFirstUseWarnsAndIsStoredWhenItCanBe) {
    Start();
    settings.failWrites = true;
    Unlock("lotus7391");
    EXPECT_THAT(dialogs.prompts,
                ElementsAre(fakes::ScriptedDialogs::Prompt{"Enter master password:", "Quellgate", true}));
    const Said warning =
        Shown("Your master password is 'lotus7391' and not safe to use! Please change your password!",
              MessageIcon::Information);
    EXPECT_THAT(dialogs.messages,
                ElementsAre(warning, Shown(AllOf(HasSubstr("could not store the master password"),
                                                 HasSubstr("Access is denied.")),
                                           MessageIcon::Exclamation)));
    EXPECT_TRUE(view.mainShown);
    EXPECT_EQ(settings.values.count("P"), 0u);

    settings.failWrites = false;
    Unlock("lotus7391");
    EXPECT_THAT(dialogs.messages, ElementsAre(warning));
    EXPECT_EQ(settings.values["P"], Encipher("lotus7391"));
    EXPECT_EQ(settings.values["U"], "");
}

TEST_F(MasterPassword, AnEmptyOrWrongAnswerIsRefused) {
    settings.values["P"] = Encipher("Secret-Pass");
    Start();
    const Said empty = Shown("Please enter master password!", MessageIcon::None);
    const Said wrong = Shown("Password not match!!!", MessageIcon::Exclamation, "Password verification");
    for (const auto& typed : std::initializer_list<std::optional<std::string>>{
             "", std::nullopt, "secret-pass", "Secret-Pass ", "lotus7391"}) {
        Unlock(typed);
        EXPECT_THAT(dialogs.messages, ElementsAre(typed.value_or("").empty() ? empty : wrong));
        EXPECT_FALSE(view.mainShown);
    }
    Unlock("Secret-Pass");
    EXPECT_THAT(dialogs.messages, IsEmpty());
    EXPECT_TRUE(view.mainShown);
}

class ChangePassword : public App {
protected:
    void SetUp() override {
        settings.values = {{"P", Encipher("old-password")}, {"U", Encipher("kept as it is")}};
        Start();
    }
    bool Ok(std::string_view oldPassword, std::string_view newPassword, std::string_view retyped) {
        dialogs.messages.clear();
        return app().ChangePassword_OK(oldPassword, newPassword, retyped);
    }
    std::string Stored() { return Decipher(settings.values["P"]); }
};

TEST_F(ChangePassword, ChecksInOrderAndChangesNothingOnAFailure) {
    struct Case {
        const char *oldPw, *newPw, *retyped, *message;
    };
    for (const Case& c : {Case{"wrong", "", "", "Wrong OLD password!"},
                          Case{"OLD-PASSWORD", "abcdefgh", "abcdefgh", "Wrong OLD password!"},
                          Case{"old-password", "abcdefg", "", "New password must be at least 8 characters!"},
                          Case{"old-password", "abcdefgh", "", "All boxes must be filled!"},
                          Case{"old-password", "abcdefgh", "ABCDEFGH", "Re-type New password in fields!"}}) {
        EXPECT_FALSE(Ok(c.oldPw, c.newPw, c.retyped));
        EXPECT_THAT(dialogs.messages, ElementsAre(Shown(c.message, MessageIcon::Exclamation)));
        EXPECT_EQ(Stored(), "old-password");
    }
}

TEST_F(ChangePassword, StoresANewPasswordOfEightOrMoreOnlyWhenItCanAndKeepsU) {
    settings.failWrites = true;
    EXPECT_FALSE(Ok("old-password", "new-password", "new-password"));
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown(AllOf(HasSubstr("NOT changed"), HasSubstr("Access is denied.")),
                                  MessageIcon::Exclamation)));
    settings.failWrites = false;
    EXPECT_EQ(Stored(), "old-password");

    EXPECT_TRUE(Ok("old-password", "12345678", "12345678")) << "the old password is still in force";
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Pasword changed!", MessageIcon::Information)));
    EXPECT_EQ(Stored(), "12345678");
    EXPECT_EQ(Decipher(settings.values["U"]), "kept as it is");
    Unlock("old-password");
    EXPECT_FALSE(view.mainShown) << "the old password no longer opens";
    Unlock("12345678");
    EXPECT_TRUE(view.mainShown);

    settings.values["P"] = "";  // none stored: the old password is empty
    EXPECT_TRUE(Ok("", "lotus7391", "lotus7391"));
    EXPECT_EQ(Stored(), "lotus7391");
}

class Switches : public App {
protected:
    enum : std::size_t { Facebook, Twitter, LinkedIn, MySpace, YouTube };
    using Values = std::map<std::string, std::string>;
};

TEST_F(Switches, ReadAsBlockedOnlyWhenStoredAsTrueAndFillTheListWithTheKeywords) {
    settings.values = {{"A", "False"}, {"B", "True"}, {"C", "true"}, {"E", "True"}};
    File() = EncodeBlocklist({"news", "book"});
    Start();
    EXPECT_THAT(view.blocked, ElementsAre(false, true, false, false, true))
        << "other text or none reads as FREE";
    EXPECT_THAT(List(), ElementsAre("book", "news", "twitter", "youtube"));
    EXPECT_EQ(view.keywords, List());
}

TEST_F(Switches, AClickSwitchesShowsThenStoresAllFiveAndChangesTheList) {
    settings.values["C"] = "True";
    File() = EncodeBlocklist({"myyoutube", "youtube fans"});
    Start();
    journal.clear();
    app().NetworkIcon_Click(Facebook);
    EXPECT_TRUE(view.blocked[Facebook]);
    EXPECT_THAT(journal, ElementsAre("view.switch 0", "settings.save A", "settings.save B", "settings.save C",
                                     "settings.save D", "settings.save E"))
        << "the blocklist file is not rewritten";
    app().NetworkIcon_Click(YouTube);  // though custom keywords hold the name
    EXPECT_EQ(settings.values,
              (Values{{"A", "True"}, {"B", "False"}, {"C", "True"}, {"D", "False"}, {"E", "True"}}));
    EXPECT_THAT(view.keywords, ElementsAre("facebook", "linkedin", "myyoutube", "youtube", "youtube fans"));
    desktop.AddWindow("YouTube - Home");
    app().Timer1_Timer();
    EXPECT_EQ(desktop.altHomes, 1) << "BLOCKED blocks the network itself";

    app().NetworkIcon_Click(Facebook);
    app().NetworkIcon_Click(YouTube);  // freed: its own entry goes, the user's keywords stay
    EXPECT_FALSE(view.blocked[YouTube]);
    EXPECT_EQ(settings.values,
              (Values{{"A", "False"}, {"B", "False"}, {"C", "True"}, {"D", "False"}, {"E", "False"}}));
    EXPECT_THAT(view.keywords, ElementsAre("linkedin", "myyoutube", "youtube fans"));
    dialogs.typed = {"zzz"};
    app().Image6_Click();
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("myyoutube", "youtube fans", "zzz"));
}

TEST_F(Switches, AWriteThatFailsIsToldOncePerRunAndTheDisplayKeepsTheClick) {
    Start();
    settings.failWrites = true;
    app().NetworkIcon_Click(Twitter);
    app().NetworkIcon_Click(MySpace);
    EXPECT_TRUE(view.blocked[Twitter]);
    EXPECT_TRUE(view.blocked[MySpace]);
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown(AllOf(HasSubstr("Access is denied."), HasSubstr("forgotten")),
                                  MessageIcon::Exclamation)));
    EXPECT_THAT(List(), ElementsAre("myspace", "twitter"));
}

class Keywords : public App {
protected:
    void SetUp() override { Start(); }

    void Type(std::optional<std::string> text) {
        dialogs.typed.push_back(std::move(text));
        dialogs.messages.clear();
        journal.clear();
        app().Image6_Click();
    }
    void RemoveEntry(std::optional<std::size_t> index) {
        view.selected = index;
        dialogs.messages.clear();
        journal.clear();
        app().Image7_Click();
    }
    bool FileRewritten() const { return std::count(journal.begin(), journal.end(), "files.replace") > 0; }
};

TEST_F(Keywords, ShortOrBroadWordsAreRefusedWithoutWriting) {
    for (const auto& typed : std::initializer_list<std::optional<std::string>>{
             "ab", "", "žé", "Facebook", "COM", "Info", "www", "http://", ".ww", std::nullopt}) {
        Type(typed);
        EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Keyword not allowed!", MessageIcon::Information)))
            << typed.value_or("(cancelled)");
        EXPECT_FALSE(FileRewritten());
    }
    EXPECT_THAT(List(), IsEmpty());
}

TEST_F(Keywords, AcceptedWordsAreLowerCasedKeptWholeAndSavedAndOnlyAnEqualEntryRefusesOne) {
    journal.clear();
    dialogs.typed = {"abc", "Facebook Page", " www", "ŽELJEZNICA", "ABC"};
    for (int i = 0; i < 5; ++i) app().Image6_Click();
    EXPECT_THAT(dialogs.prompts, Each(fakes::ScriptedDialogs::Prompt{
                                     "Add keyword or sitename to block list...!", "Quellgate", false}));
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown("Keyword already exists in the Blocklist!!!", MessageIcon::Information)));
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "files.replace"), 5)
        << "a refused equal word saves too";
    EXPECT_THAT(List(), ElementsAre(" www", "abc", "facebook page", "željeznica"));
    EXPECT_EQ(DecodeBlocklist(File()), List());

    Type("book");  // though "facebook page" holds it
    EXPECT_THAT(List(), ElementsAre(" www", "abc", "book", "facebook page", "željeznica"));
}

TEST_F(Keywords, RemovingTakesTheSelectedCustomKeywordOnly) {
    Type("abc");
    app().NetworkIcon_Click(1);  // twitter
    ASSERT_THAT(List(), ElementsAre("abc", "twitter"));

    RemoveEntry(1);
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Click on Social Network Icon to remove from this list!",
                                                    MessageIcon::Information)));
    EXPECT_FALSE(FileRewritten());
    EXPECT_THAT(List(), ElementsAre("abc", "twitter"));

    RemoveEntry(std::nullopt);
    EXPECT_THAT(dialogs.messages, IsEmpty());
    EXPECT_TRUE(FileRewritten());

    RemoveEntry(0);
    EXPECT_THAT(List(), ElementsAre("twitter"));
    EXPECT_EQ(File(), "") << "network names never reach the file";
}

using Blocklist = App;

TEST_F(Blocklist, HoldsOneEncipheredLinePerCustomKeywordAndReadsBackTheSame) {
    settings.values["A"] = "True";
    Start();
    dialogs.typed = {"zeta", "Ελληνικά νέα", "~tilde\"quote", "x-y_z", "čevapi"};
    for (int i = 0; i < 5; ++i) app().Image6_Click();
    const std::vector<std::string> list = List();
    EXPECT_THAT(list, ElementsAre("facebook", "x-y_z", "zeta", "~tilde\"quote", "čevapi", "ελληνικά νέα"));
    EXPECT_EQ(File(), Encipher("x-y_z") + "\r\n" + Encipher("zeta") + "\r\n" + Encipher("~tilde\"quote") +
                          "\r\n" + Encipher("čevapi") + "\r\n" + Encipher("ελληνικά νέα") + "\r\n");
    Start();
    EXPECT_EQ(List(), list);
}

TEST_F(Blocklist, ReadsEveryLineEndAndSkipsOnlyRepeats) {
    settings.values["A"] = "True";
    File() = Encipher("alpha") + "\r\n\r\n" + Encipher("beta") + "\r" + Encipher("face") + "\n" +
             Encipher("News") + "\r\n" + Encipher("news");
    Start();
    EXPECT_THAT(List(), ElementsAre("alpha", "beta", "face", "facebook", "news"));
    app().Image7_Click();  // nothing selected: saves the list
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("alpha", "beta", "face", "news"));
}

TEST_F(Blocklist, KeepsKeywordsInsideOtherEntriesAcrossARestart) {
    settings.values["A"] = "True";
    File() = EncodeBlocklist({"book"});
    Start();
    dialogs.typed = {"freeporn", "porn"};
    app().Image6_Click();
    app().Image6_Click();
    Start();
    EXPECT_THAT(List(), ElementsAre("book", "facebook", "freeporn", "porn"));
    app().NetworkIcon_Click(0);  // facebook freed
    dialogs.typed = {"later"};
    app().Image6_Click();
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("book", "freeporn", "later", "porn"));
}

TEST_F(Blocklist, NeverHoldsAControlCharacterWhateverComesIn) {
    File() = Encipher("tab\tbed") + "\r\n" + Encipher("bell\x07\x1B[0m") + "\r\n" + Encipher("\t\t") + "\r\n";
    Start();
    dialogs.typed = {"abc\r\ne", "\r\n\r\n", "x\xC2\x85y\xE2\x80\xA8z"};
    for (int i = 0; i < 3; ++i) app().Image6_Click();
    // Each run becomes one space; a keyword that is then too short is refused.
    EXPECT_THAT(List(), ElementsAre(" ", "abc e", "bell [0m", "tab bed", "x y z"));
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown("Keyword not allowed!", MessageIcon::Information)));
    Start();
    EXPECT_THAT(List(), ElementsAre(" ", "abc e", "bell [0m", "tab bed", "x y z")) << "one line each";
}

TEST_F(Blocklist, SurvivesDamagedContentAndHugeLines) {
    const std::string huge(10000, 'q');
    File() = Encipher("good") + "\r\n" + std::string("\0\0\xFF\xFE\x01", 5) + "\r\n" + Encipher(huge) + "\r\n" +
             "\xC3";  // cut inside a character, no line end
    Start();
    EXPECT_THAT(List(), ElementsAre(" \xEF\xBF\xBD\xEF\xBF\xBD ", "good", huge, "\xEF\xBF\xBD"));
    desktop.AddWindow(huge);
    app().Timer1_Timer();
    EXPECT_EQ(desktop.altHomes, 0) << "longer than the caption that is read: never matched";
    app().Image7_Click();
    EXPECT_EQ(DecodeBlocklist(File()), List()) << "but kept";
}

TEST_F(Blocklist, LoadsInTimeLinearInItsLength) {
    for (const std::size_t lines : {1000u, 4000u}) {
        std::vector<std::string> keywords;
        for (std::size_t i = 0; i < lines; ++i) keywords.push_back("keyword " + std::to_string(i));
        File() = EncodeBlocklist(keywords);
        view.rowsShown = 0;
        Start();
        EXPECT_EQ(List().size(), lines);
        EXPECT_LE(view.rowsShown, lines) << "the list is shown once, not once per line";
    }
}

TEST_F(Blocklist, IsCreatedEmptyWhenMissingAndAFailedSaveIsToldOnceAndTheListStays) {
    Start();
    EXPECT_THAT(files.files, ElementsAre(Pair("C:\\Tools\\blocklist", ""))) << "beside the program";
    files.failWrites = true;
    dialogs.typed = {"first", "second"};
    app().Image6_Click();
    app().Image6_Click();
    EXPECT_THAT(List(), ElementsAre("first", "second"));
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown(AllOf(HasSubstr("could not save"), HasSubstr("C:\\Tools\\blocklist"),
                                        HasSubstr("Access is denied.")),
                                  MessageIcon::Exclamation)));
    EXPECT_EQ(File(), "") << "the old content stays";

    files.failWrites = false;
    dialogs.typed = {"third"};
    app().Image6_Click();
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("first", "second", "third"));
}

TEST_F(Blocklist, AnUnreadableFileIsNeverOverwritten) {
    File() = EncodeBlocklist({"kept"});
    files.unreadable.insert(process.folder + "\\blocklist");
    Start();
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown(HasSubstr("could not read"), MessageIcon::Exclamation)));
    EXPECT_THAT(List(), IsEmpty());

    dialogs.typed = {"added"};
    app().Image6_Click();
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("kept")) << "not overwritten while unread";

    files.unreadable.clear();
    dialogs.typed = {"later"};
    app().Image6_Click();
    EXPECT_THAT(List(), ElementsAre("added", "kept", "later"));
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("added", "kept", "later"));
}

}  // namespace
}  // namespace quellgate::testing
