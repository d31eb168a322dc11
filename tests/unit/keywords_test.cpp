#include "app_fixture.h"

namespace quellgate::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Keywords : public App {
protected:
    void SetUp() override { Start(); }

    void Type(std::optional<std::string> text) {
        dialogs.messages.clear();
        dialogs.typed.push_back(std::move(text));
        writesBefore = files.writes;
        app().Image6_Click();
    }
    void RemoveEntry(std::optional<std::size_t> index) {
        dialogs.messages.clear();
        view.selected = index;
        writesBefore = files.writes;
        app().Image7_Click();
    }
    std::vector<std::string> Said() const { return dialogs.Texts(); }
    bool FileRewritten() const { return files.writes > writesBefore; }
    const std::vector<std::string>& List() { return app().List3().Entries(); }

    int writesBefore = 0;
};

TEST_F(Keywords, TheAddPromptAsksInTheAppsName) {
    Type("abc");
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].prompt, "Add keyword or sitename to block list...!");
    EXPECT_EQ(dialogs.prompts[0].caption, "Quellgate");
    EXPECT_FALSE(dialogs.prompts[0].masked);
}

TEST_F(Keywords, ShortOrBroadWordsAreRefusedWithoutWriting) {
    for (const char* typed : {"ab", "", "Facebook", "COM", "Info", "www", "http://", ".ww"}) {
        Type(typed);
        EXPECT_THAT(Said(), ElementsAre("Keyword not allowed!")) << typed;
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
        EXPECT_FALSE(FileRewritten()) << typed;
    }
    Type(std::nullopt);  // Cancel
    EXPECT_THAT(Said(), ElementsAre("Keyword not allowed!"));
    EXPECT_THAT(List(), IsEmpty());
}

TEST_F(Keywords, AcceptedWordsAreLowerCasedKeptWholeAndSaved) {
    Type("abc");
    Type("Facebook Page");
    Type(" www");
    Type("ŽELJEZNICA");
    EXPECT_THAT(Said(), IsEmpty());
    EXPECT_THAT(List(), ElementsAre(" www", "abc", "facebook page", "željeznica"));
    EXPECT_THAT(DecodeBlocklist(files.files[BlocklistPath()]),
                ElementsAre(" www", "abc", "facebook page", "željeznica"));
}

TEST_F(Keywords, OnlyAnEqualEntryRefusesATypedWord) {
    Type("news");
    Type("News");
    EXPECT_THAT(Said(), ElementsAre("Keyword already exists in the Blocklist!!!"));
    EXPECT_TRUE(FileRewritten());
    EXPECT_THAT(List(), ElementsAre("news"));

    app().NetworkIcon_Click(0);  // facebook
    Type("book");
    EXPECT_THAT(List(), ElementsAre("book", "facebook", "news"));
}

TEST_F(Keywords, RemovingTakesTheSelectedCustomKeywordOnly) {
    Type("abc");
    app().NetworkIcon_Click(1);  // twitter
    ASSERT_THAT(List(), ElementsAre("abc", "twitter"));

    RemoveEntry(1);
    EXPECT_THAT(Said(), ElementsAre("Click on Social Network Icon to remove from this list!"));
    EXPECT_FALSE(FileRewritten());
    EXPECT_THAT(List(), ElementsAre("abc", "twitter"));

    RemoveEntry(std::nullopt);
    EXPECT_THAT(Said(), IsEmpty());
    EXPECT_TRUE(FileRewritten());

    RemoveEntry(0);
    EXPECT_THAT(List(), ElementsAre("twitter"));
    EXPECT_EQ(files.files[BlocklistPath()], "") << "network names never reach the file";
}

}  // namespace
}  // namespace quellgate::testing
