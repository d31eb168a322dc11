// Custom keywords through the add and remove buttons, kept in the blocklist file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "blocklist/blocklist_file.h"
#include "harness.h"
#include "protect/rotor_cipher.h"

namespace quellgate::testing {
namespace {

constexpr int kAddButton = 1025, kRemoveButton = 1026, kList3 = 1020, kPromptText = 101;

class KeywordsTest : public ProgramTest {
protected:
    void WriteBlocklist(const std::string& content) {
        std::ofstream(std::filesystem::path(program.BlocklistPath()), std::ios::binary) << content;
    }

    // Clicks the add button and types the keyword into the real input box.
    void AddThroughButton(const std::string& keyword) {
        PostMessageW(GetDlgItem(program.MainWindow(), kAddButton), BM_CLICK, 0, 0);
        HWND box = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::InputBox);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowTextOf(GetDlgItem(box, kPromptText)), "Add keyword or sitename to block list...!");
        EXPECT_EQ(SendMessageW(FirstEdit(box), EM_GETPASSWORDCHAR, 0, 0), 0) << "a keyword is not masked";
        TypeInto(FirstEdit(box), keyword);
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5s));
    }
};

TEST_F(KeywordsTest, AnAddedKeywordIsBlockedSavedAndLoadedAgain) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    AddThroughButton("Gossip Corner");
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"gossip corner"}));
    EXPECT_TRUE(WaitUntil([&] { return program.ReadBlocklist() == Encipher("gossip corner") + "\r\n"; }, 3s))
        << program.ReadBlocklist();

    ASSERT_TRUE(program.Exit());
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"gossip corner"}));

    ProbeWindow probe("Gossip Corner - today's news");
    ASSERT_TRUE(probe.Focus());
    probe.ResetCount();
    Pump(1500ms);
    EXPECT_GE(probe.AltHomes(), 3) << "one Alt+Home per tick";
}

TEST_F(KeywordsTest, RemovingTakesTheKeywordOutOfTheFile) {
    WriteBlocklist(EncodeBlocklist({"alpha", "beta"}));
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    SendMessageW(GetDlgItem(program.MainWindow(), kList3), LB_SETCURSEL, 0, 0);
    PostMessageW(GetDlgItem(program.MainWindow(), kRemoveButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return program.ReadBlocklist() == EncodeBlocklist({"beta"}); }, 3s));
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"beta"}));
}

TEST_F(KeywordsTest, AReadOnlyBlocklistIsReportedAndNothingIsLost) {
    WriteBlocklist(EncodeBlocklist({"kept"}));
    SetFileAttributesW(program.BlocklistPath().c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());

    PostMessageW(GetDlgItem(program.MainWindow(), kAddButton), BM_CLICK, 0, 0);
    HWND box = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::InputBox);
    ASSERT_NE(box, nullptr);
    TypeInto(FirstEdit(box), "added later");
    PressButton(box, IDOK);
    HWND told = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        told = program.WaitForDialog(L"Quellgate", 100ms, Program::Kind::MessageBox);
        return told != nullptr;
    }));
    EXPECT_NE(DialogText(told).find("could not save your blocked keywords"), std::string::npos) << DialogText(told);
    PressButton(told, IDOK);

    EXPECT_TRUE(program.Running());
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"added later", "kept"}));
    EXPECT_EQ(program.ReadBlocklist(), EncodeBlocklist({"kept"}));
    SetFileAttributesW(program.BlocklistPath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace quellgate::testing
