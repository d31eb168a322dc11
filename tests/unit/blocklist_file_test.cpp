#include "app_fixture.h"
#include "protect/rotor_cipher.h"

namespace quellgate::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BlocklistFileTest : public App {
protected:
    std::string& File() { return files.files[BlocklistPath()]; }
    const std::vector<std::string>& List() { return app().List3().Entries(); }
};

TEST_F(BlocklistFileTest, IsCreatedEmptyBesideTheProgramWhenMissing) {
    Start();
    ASSERT_EQ(files.files.count("C:\\Tools\\blocklist"), 1u);
    EXPECT_EQ(File(), "");
}

TEST_F(BlocklistFileTest, HoldsOneEncipheredLinePerCustomKeyword) {
    settings.Set("A", "True");
    files.files[BlocklistPath()] = "";
    Start();
    dialogs.typed = {"facebook.com", "abc"};
    app().Image6_Click();
    app().Image6_Click();
    EXPECT_EQ(File(), Encipher("abc") + "\r\n" + Encipher("facebook.com") + "\r\n");
}

TEST_F(BlocklistFileTest, ReadsEveryKindOfLineEnd) {
    File() = Encipher("alpha") + "\r\n\r\n" + Encipher("beta") + "\r" + Encipher("gamma") + "\n" +
             Encipher("delta");
    Start();
    EXPECT_THAT(List(), ElementsAre("alpha", "beta", "delta", "gamma"));
}

TEST_F(BlocklistFileTest, DropsRepeatsAndWordsInsideBlockedNames) {
    settings.Set("A", "True");
    File() = EncodeBlocklist({"face", "News", "news", "news"});
    Start();
    EXPECT_THAT(List(), ElementsAre("facebook", "news"));
    dialogs.typed = {std::nullopt};
    view.selected = std::nullopt;
    app().Image7_Click();
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("news"));
}

TEST_F(BlocklistFileTest, SurvivesDamagedContent) {
    std::string damaged = Encipher("good") + "\r\n";
    damaged += std::string("\0\0\xFF\xFE\x01", 5) + "\r\n";
    damaged += std::string(200000, 'q') + "\r\n";
    damaged += "\xC3";  // cut inside a character, no line end
    File() = damaged;
    Start();
    // The last line's lone replacement character is inside the binary line's.
    ASSERT_EQ(List().size(), 3u);
    EXPECT_EQ(List()[0], "good");
    EXPECT_EQ(List()[1].size(), 200000u);
    for (const auto& entry : List()) EXPECT_EQ(entry.find('\0'), std::string::npos);
}

TEST_F(BlocklistFileTest, NonAsciiKeywordsComeBackAsTheyWere) {
    File() = "";
    Start();
    dialogs.typed = {"Ελληνικά νέα", "čevapi"};
    app().Image6_Click();
    app().Image6_Click();
    const std::string saved = File();
    EXPECT_NE(saved.find("\xCE"), std::string::npos) << "written as UTF-8";

    files.files = {{BlocklistPath(), saved}};
    Start();
    EXPECT_THAT(List(), ElementsAre("čevapi", "ελληνικά νέα"));
}

TEST_F(BlocklistFileTest, AFailedSaveIsToldOnceAndTheListStays) {
    Start();
    files.failWrites = true;
    dialogs.typed = {"first", "second"};
    app().Image6_Click();
    app().Image6_Click();
    EXPECT_THAT(List(), ElementsAre("first", "second"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("could not save"), std::string::npos);
    EXPECT_NE(dialogs.messages[0].text.find("C:\\Tools\\blocklist"), std::string::npos);
    EXPECT_EQ(File(), "") << "the old content stays";

    files.failWrites = false;
    dialogs.typed = {"third"};
    app().Image6_Click();
    EXPECT_THAT(DecodeBlocklist(File()), ElementsAre("first", "second", "third"));
}

TEST_F(BlocklistFileTest, AnUnreadableFileIsNeverOverwritten) {
    File() = EncodeBlocklist({"kept"});
    files.unreadable.insert(BlocklistPath());
    Start();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("could not read"), std::string::npos);
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

TEST_F(BlocklistFileTest, SaveThenLoadGivesTheListBack) {
    Start();
    dialogs.typed = {"zeta", "alpha beta", "x-y_z", "~tilde\"quote"};
    for (int i = 0; i < 4; ++i) app().Image6_Click();
    const auto saved = List();
    const std::string content = File();
    files.files = {{BlocklistPath(), content}};
    Start();
    EXPECT_EQ(List(), saved);
}

}  // namespace
}  // namespace quellgate::testing
