// GNOME Shell's lists of extensions, as gsettings prints them: one entry is
// added or removed, and the user's others are written back as they were.
#include <gtest/gtest.h>

#include "linux/gnome/settings_list.h"

namespace quellgate::gnome {
namespace {

TEST(SettingsList, ChangesOneEntryAndKeepsTheOthersAsWritten) {
    const std::string others = R"('a@b.org', "it's", 'q\'s, ]\\')";
    auto list = SettingsList::Parse(" ['ours@x.org', " + others + "]\n");
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->Contains("ours@x.org"));
    EXPECT_FALSE(list->Contains("ours@x"));
    list->Remove("ours@x.org");
    EXPECT_EQ(list->Text(), "[" + others + "]");
    list->Add("ours@x.org");
    list->Add("ours@x.org");
    EXPECT_EQ(list->Text(), "[" + others + ", 'ours@x.org']");

    auto empty = SettingsList::Parse("@as []");
    ASSERT_TRUE(empty);
    empty->Add("ours@x.org");
    EXPECT_EQ(empty->Text(), "['ours@x.org']");
}

TEST(SettingsList, RefusesWhatIsNotAListOfStrings) {
    for (const char* text : {"", "['a', 'b'", "['a' 'b']", "['a', 'b'] x", "['a\\']", "[1, 2]", "'a'"})
        EXPECT_FALSE(SettingsList::Parse(text)) << text;
}

}  // namespace
}  // namespace quellgate::gnome
