#include "app_fixture.h"

namespace quellgate::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Switches : public App {
protected:
    enum : std::size_t { Facebook, Twitter, LinkedIn, MySpace, YouTube };

    std::vector<std::string> Stored() {
        std::vector<std::string> values;
        for (const char* name : {"A", "B", "C", "D", "E"}) values.push_back(settings.Get(name).value_or("-"));
        return values;
    }
};

TEST_F(Switches, ReadAsFreeUnlessStoredAsTrue) {
    settings.Set("A", "True");
    settings.Set("B", "False");
    settings.Set("C", "true");
    settings.Set("D", "");
    Start();
    EXPECT_TRUE(view.blocked[Facebook]);
    EXPECT_FALSE(view.blocked[Twitter]);
    EXPECT_FALSE(view.blocked[LinkedIn]) << "other text reads as FREE";
    EXPECT_FALSE(view.blocked[MySpace]);
    EXPECT_FALSE(view.blocked[YouTube]) << "absent reads as FREE";
    EXPECT_THAT(app().List3().Entries(), ElementsAre("facebook"));
}

TEST_F(Switches, BlockedNetworksAndStoredKeywordsFillTheList) {
    settings.Set("B", "True");
    settings.Set("E", "True");
    files.files[BlocklistPath()] = EncodeBlocklist({"news", "book"});
    Start();
    EXPECT_THAT(app().List3().Entries(), ElementsAre("book", "news", "twitter", "youtube"));
    EXPECT_THAT(view.keywords, ElementsAre("book", "news", "twitter", "youtube"));
}

TEST_F(Switches, AClickBlocksAndStoresAllFive) {
    settings.Set("C", "True");
    Start();
    const int before = settings.writes;
    app().NetworkIcon_Click(Facebook);
    EXPECT_TRUE(view.blocked[Facebook]);
    EXPECT_EQ(settings.writes - before, 5);
    EXPECT_THAT(Stored(), ElementsAre("True", "False", "True", "False", "False"));
    EXPECT_THAT(view.keywords, ElementsAre("facebook", "linkedin"));
    EXPECT_EQ(files.writes, 1) << "only the start-up created the file; a click does not rewrite it";
}

TEST_F(Switches, AContainingCustomKeywordKeepsTheNameOut) {
    files.files[BlocklistPath()] = EncodeBlocklist({"myfacebook"});
    Start();
    app().NetworkIcon_Click(Facebook);
    EXPECT_EQ(settings.Get("A"), "True");
    EXPECT_THAT(app().List3().Entries(), ElementsAre("myfacebook"));
}

TEST_F(Switches, FreeingANetworkTakesOutEveryEntryThatHoldsItsName) {
    settings.Set("A", "True");
    files.files[BlocklistPath()] = EncodeBlocklist({"myfacebook", "facebook fans", "news"});
    Start();
    ASSERT_THAT(app().List3().Entries(), ElementsAre("facebook", "facebook fans", "myfacebook", "news"));
    app().NetworkIcon_Click(Facebook);
    EXPECT_FALSE(view.blocked[Facebook]);
    EXPECT_EQ(settings.Get("A"), "False");
    EXPECT_THAT(app().List3().Entries(), ElementsAre("news"));
}

TEST_F(Switches, TwoClicksComeBackToFree) {
    Start();
    app().NetworkIcon_Click(YouTube);
    app().NetworkIcon_Click(YouTube);
    EXPECT_EQ(settings.Get("E"), "False");
    EXPECT_THAT(app().List3().Entries(), IsEmpty());
}

TEST_F(Switches, AWriteThatFailsIsToldOncePerRunAndTheDisplayKeepsTheClick) {
    Start();
    settings.failWrites = true;
    app().NetworkIcon_Click(Twitter);
    app().NetworkIcon_Click(MySpace);
    EXPECT_TRUE(view.blocked[Twitter]);
    EXPECT_TRUE(view.blocked[MySpace]);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("Access is denied."), std::string::npos);
    EXPECT_NE(dialogs.messages[0].text.find("forgotten"), std::string::npos);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_THAT(app().List3().Entries(), ElementsAre("myspace", "twitter"));
}

}  // namespace
}  // namespace quellgate::testing
