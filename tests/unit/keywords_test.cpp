// The network switches and the custom keywords, and how both are kept.
#include "app.h"
#include "blocklist/blocklist_file.h"
#include "protect/rotor_cipher.h"

namespace quellgate::testing {
namespace {

using Values = std::map<std::string, std::string>;
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
              (Values{{"A", "True"}, {"B", "True"}, {"C", "False"}, {"D", "False"}, {"E", "False"}}));
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
    EXPECT_EQ(settings.values, (Values{{"A", "False"}, {"C", "False"}, {"D", "True"}, {"E", "False"}}));
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
    for (const char* typed : {"abc", "Facebook Page", " www", "ŽELJEZNICA", "ABC", "book"}) Type(typed);
    EXPECT_THAT(dialogs.prompts, Each(fakes::ScriptedDialogs::Prompt{
                                     "Add keyword or sitename to block list...!", "Quellgate", false}));
    EXPECT_THAT(dialogs.messages,
                ElementsAre(Shown("Keyword already exists in the Blocklist!!!", MessageIcon::Information)));
    EXPECT_THAT(view.keywords, ElementsAre(" www", "abc", "book", "facebook", "facebook page", "željeznica"));
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
    view.selected.reset();
    app().RemoveSelectedKeyword();
    EXPECT_EQ(files.replaced, 1) << "nothing selected: saved all the same";
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
    for (const char* typed : {"Ελληνικά νέα", "~tilde\"quote"}) Type(typed);
    const std::vector<std::string> saved{"beta",       "book",          "news",
                                         "newsletter", "~tilde\"quote", "ελληνικά νέα"};
    std::string lines;
    for (const auto& keyword : saved) lines += Encipher(keyword) + "\r\n";
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
    desktop.AddWindow(huge);
    app().OnWatchTick();
    EXPECT_EQ(desktop.altHomes, 0) << "longer than the part of a caption that is read";
    app().RemoveSelectedKeyword();
    EXPECT_EQ(DecodeBlocklist(File()), kept) << "but kept";
}

TEST_F(Blocklist, IsCreatedEmptyWhenMissingAndAFailedSaveIsToldOnceUntilASaveSucceeds) {
    Start();
    EXPECT_THAT(files.files, ElementsAre(Pair("blocklist", "")));
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
}

TEST_F(Blocklist, AnUnreadableFileIsNeverOverwritten) {
    File() = EncodeBlocklist({"kept"});
    files.unreadable = true;
    Start();
    EXPECT_THAT(dialogs.messages, ElementsAre(Shown(HasSubstr("could not read"), MessageIcon::Exclamation)));
    Type("added");
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("kept")) << "not overwritten while unread";
    files.unreadable = false;
    Type("later");
    EXPECT_THAT(view.keywords, ElementsAre("added", "kept", "later"));
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("added", "kept", "later"));
}

}  // namespace
}  // namespace quellgate::testing
