// Custom keywords through the add and remove buttons, kept in the blocklist file.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdio>
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

TEST_F(KeywordsTest, ABlocklistOfTenThousandLinesStartsAtOnceAndBlocks) {
    std::vector<std::string> keywords;
    for (int i = 0; i < 10000; ++i) keywords.push_back("keyword number " + std::to_string(i));
    WriteBlocklist(EncodeBlocklist(keywords));
    ProbeWindow probe("Page about keyword number 9999 " + std::to_string(GetTickCount()));
    ASSERT_TRUE(probe.Focus());
    const auto started = Clock::now();
    ASSERT_TRUE(program.Start());
    const auto splash = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return probe.AltHomes() > 0; }, 10s));
    // Generous bounds: a slow machine passes, a load that grows with the
    // square of the list (about a minute here) does not.
    EXPECT_LT(splash - started, 15s);
    std::printf("10,000 keywords: splash after %lld ms, first Alt+Home %lld ms later\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(splash - started).count()),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - splash).count()));
    EXPECT_EQ(SendMessageW(GetDlgItem(program.MainWindow(), kList3), LB_GETCOUNT, 0, 0), 10000);
}

TEST_F(KeywordsTest, TheWatchBlocksWhileAStartUpMessageIsOpen) {
    StoreSetting("A", "True");
    // A folder that has taken the file's name cannot be read.
    std::filesystem::create_directory(std::filesystem::path(program.BlocklistPath()));
    ASSERT_TRUE(program.Start());
    HWND told = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::MessageBox);
    ASSERT_NE(told, nullptr);
    EXPECT_NE(DialogText(told).find("could not read"), std::string::npos) << DialogText(told);

    ProbeWindow probe("Facebook - Log In");
    ASSERT_TRUE(probe.Focus());
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 2; }, 3s)) << "blocked while the message waits";
    EXPECT_TRUE(IsWindowVisible(told));
    PressButton(told, IDOK);
}

}  // namespace
}  // namespace quellgate::testing
