// Stores kept for every user, shadowed by the account's own copies.
#include <gmock/gmock.h>

#include "fakes/fakes.h"
#include "platform/shadowed_stores.h"

namespace quellgate {
namespace {

TEST(ShadowedSettings, ReadTheAccountsCopyFirstAndWriteWhereTheValueWillBeRead) {
    struct Case {
        const char* what;
        std::optional<std::string> shared, own;  // the value "A" in each
        bool sharedRefuses, ownRefuses, ownOfOtherType;
        std::optional<std::string> read;
        std::string_view writtenTo;  // "" when the write fails
    };
    for (const Case& c : {
             Case{"the shared value only", "True", {}, false, false, false, "True", "shared"},
             Case{"the account's copy only", {}, "True", false, false, false, "True", "own"},
             Case{"both: the copy wins", "False", "True", false, false, false, "True", "own"},
             Case{"the shared store refuses", "False", {}, true, false, false, "False", "own"},
             Case{"both refuse", "False", {}, true, true, false, "False", ""},
             Case{"a copy of another type", "True", "1", false, false, true, std::nullopt, "own"},
         }) {
        SCOPED_TRACE(c.what);
        fakes::MemorySettingsStore shared("HKLM"), own("HKCU");
        if (c.shared) shared.values["A"] = *c.shared;
        if (c.own) own.values["A"] = *c.own;
        if (c.ownOfOtherType) own.otherType.insert("A");
        if (c.sharedRefuses) shared.refused.insert("A");
        if (c.ownRefuses) own.refused.insert("A");
        ShadowedSettings store(shared, own);
        EXPECT_EQ(store.Read("A"), c.read);
        const Outcome written = store.Write("A", "new");
        EXPECT_EQ(static_cast<bool>(written), !c.writtenTo.empty());
        EXPECT_EQ(shared.Read("A") == "new", c.writtenTo == "shared");
        EXPECT_EQ(own.Read("A") == "new", c.writtenTo == "own");
        EXPECT_EQ(store.Read("A"), written ? "new" : c.read);
        if (!written) {
            EXPECT_EQ(written.reason(), "Access is denied.; Access is denied.");
        }
    }
    fakes::MemorySettingsStore shared("HKLM"), own("HKCU");
    shared.unreadable = true;
    EXPECT_FALSE(ShadowedSettings(shared, own).Readable());
    EXPECT_EQ(ShadowedSettings(shared, own).Location(), "HKLM or, for this account, HKCU");
}

TEST(ShadowedFiles, FollowTheSameRuleAndKeepAFileThatFailsForAnotherReasonWhereItIs) {
    fakes::MemoryFileStore shared("C:\\Program Files\\Quellgate\\"), own("C:\\Users\\u\\VirtualStore\\");
    ShadowedFiles files(shared, own);
    shared.files["blocklist"] = "shared";
    shared.failWrites = true;  // held by another program
    EXPECT_FALSE(files.Replace("blocklist", "new"));
    EXPECT_THAT(own.files, ::testing::IsEmpty());
    shared.refuseWrites = true;
    ASSERT_TRUE(files.Replace("blocklist", "new"));
    EXPECT_EQ(std::get<std::string>(files.Read("blocklist")), "new");
    EXPECT_EQ(files.PathOf("blocklist"), "C:\\Users\\u\\VirtualStore\\blocklist");
    shared.refuseWrites = shared.failWrites = false;
    ASSERT_TRUE(files.Replace("blocklist", "newer"));
    EXPECT_EQ(shared.files["blocklist"], "shared") << "the copy, once there, is written";
    EXPECT_EQ(std::get<std::string>(files.Read("blocklist")), "newer");
}

}  // namespace
}  // namespace quellgate
