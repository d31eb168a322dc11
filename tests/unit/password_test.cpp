#include "app_fixture.h"
#include "protect/rotor_cipher.h"

namespace quellgate::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Unlock : public App {
protected:
    void SetUp() override { Start(); }

    // F5 at the next tick, with the given answer typed into the prompt.
    void PressF5Typing(std::optional<std::string> answer) {
        dialogs.messages.clear();
        dialogs.typed.push_back(std::move(answer));
        desktop.Tap(Key::F5);
        app().Timer1_Timer();
    }
    void StorePassword(std::string_view plain) { settings.Set("P", Encipher(plain)); }
};

TEST_F(Unlock, ThePromptIsMaskedAndInTheAppsName) {
    PressF5Typing("lotus7391");
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].prompt, "Enter master password:");
    EXPECT_EQ(dialogs.prompts[0].caption, "Quellgate");
    EXPECT_TRUE(dialogs.prompts[0].masked);
}

TEST_F(Unlock, NothingTypedOrCancelAsksForThePassword) {
    for (auto answer : {std::optional<std::string>(""), std::optional<std::string>()}) {
        PressF5Typing(answer);
        EXPECT_THAT(dialogs.Texts(), ElementsAre("Please enter master password!"));
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
        EXPECT_FALSE(view.mainShown);
    }
}

TEST_F(Unlock, TheDefaultOpensOnFirstUseWarnsAndIsStored) {
    PressF5Typing("lotus7391");
    EXPECT_THAT(dialogs.Texts(), ElementsAre("Your master password is 'lotus7391' and not safe to use! "
                                             "Please change your password!"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(view.mainShown);
    EXPECT_EQ(Decipher(settings.Get("P").value_or("")), "lotus7391");
    EXPECT_EQ(settings.Get("U"), "");
}

TEST_F(Unlock, WrongCaseOrATrailingBlankIsRefused) {
    StorePassword("Secret-Pass");
    for (const char* typed : {"secret-pass", "Secret-Pass ", "lotus7391"}) {
        PressF5Typing(typed);
        ASSERT_EQ(dialogs.messages.size(), 1u) << typed;
        EXPECT_EQ(dialogs.messages[0].text, "Password not match!!!");
        EXPECT_EQ(dialogs.messages[0].caption, "Password verification");
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_FALSE(view.mainShown);
    }
    PressF5Typing("Secret-Pass");
    EXPECT_THAT(dialogs.Texts(), IsEmpty());
    EXPECT_TRUE(view.mainShown);
}

TEST_F(Unlock, ADefaultThatCannotBeStoredIsSaidSo) {
    settings.failWrites = true;
    PressF5Typing("lotus7391");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[1].text.find("could not store the master password"), std::string::npos);
    EXPECT_NE(dialogs.messages[1].text.find("Access is denied."), std::string::npos);
    EXPECT_TRUE(view.mainShown);
}

class ChangePassword : public App {
protected:
    void SetUp() override {
        settings.Set("P", Encipher("old-password"));
        settings.Set("U", Encipher("kept as it is"));
        Start();
    }
    bool Ok(std::string_view oldPassword, std::string_view newPassword, std::string_view retyped) {
        dialogs.messages.clear();
        return app().ChangePassword_OK(oldPassword, newPassword, retyped);
    }
    std::string Stored() { return Decipher(settings.Get("P").value_or("")); }
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
        EXPECT_THAT(dialogs.Texts(), ElementsAre(c.message));
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(Stored(), "old-password");
    }
}

TEST_F(ChangePassword, StoresANewPasswordOfEightOrMoreAndKeepsU) {
    EXPECT_TRUE(Ok("old-password", "12345678", "12345678"));
    EXPECT_THAT(dialogs.Texts(), ElementsAre("Pasword changed!"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(Stored(), "12345678");
    EXPECT_EQ(Decipher(settings.Get("U").value_or("")), "kept as it is");

    dialogs.typed = {"old-password", "12345678"};
    desktop.Tap(Key::F5);
    app().Timer1_Timer();
    EXPECT_FALSE(view.mainShown) << "the old password no longer opens";
    desktop.Tap(Key::F5);
    app().Timer1_Timer();
    EXPECT_TRUE(view.mainShown);
}

TEST_F(ChangePassword, AcceptsAnEmptyOldPasswordWhenNoneIsStored) {
    settings.Set("P", "");
    EXPECT_TRUE(Ok("", "lotus7391", "lotus7391"));
    EXPECT_EQ(Stored(), "lotus7391");
}

TEST_F(ChangePassword, AWriteThatFailsDoesNotClaimSuccess) {
    settings.failWrites = true;
    EXPECT_FALSE(Ok("old-password", "new-password", "new-password"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("NOT changed"), std::string::npos);
    settings.failWrites = false;
    EXPECT_EQ(Stored(), "old-password");
    EXPECT_FALSE(Ok("new-password", "another-one", "another-one")) << "the old one is still in force";
}

}  // namespace
}  // namespace quellgate::testing
