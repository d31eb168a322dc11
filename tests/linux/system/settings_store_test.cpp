// The network switches and the password, in the file "settings".
#include <sys/stat.h>

#include "linux/settings_store.h"
#include "scratch.h"

namespace quellgate::testing {
namespace {

using posix::FileSettingsStore;
namespace fs = std::filesystem;

using Settings = Scratch;
using namespace std::string_literals;

TEST_F(Settings, KeepsAnyStringAndAbsentApartFromEmpty) {
    FileSettingsStore store;
    EXPECT_EQ(store.Location(), (config / "quellgate/settings").string());
    EXPECT_FALSE(store.SharedByAllUsers());
    EXPECT_EQ(store.Read("A"), std::nullopt) << "no file";
    ASSERT_TRUE(store.Write("A", ""));
    EXPECT_EQ(store.Read("A"), "");
    EXPECT_EQ(store.Read("B"), std::nullopt) << "no line";

    const std::string hostile[] = {
        "True",
        "\r\n\0\t\\%41%=#\x7F\""s,
        "line\nB=True",      // must not become a value of its own
        "\xCE\x94\xC3\x28",  // UTF-8, then a broken sequence
        "%zz=",
        "trailing CR\r",
        std::string(20000, '~'),
    };
    for (const auto& text : hostile) {
        ASSERT_TRUE(store.Write("P", text));
        ASSERT_TRUE(store.Write("U", text));
        EXPECT_EQ(FileSettingsStore().Read("P"), text);
        EXPECT_EQ(FileSettingsStore().Read("U"), text);
    }
    EXPECT_EQ(store.Read("B"), std::nullopt);
    EXPECT_EQ(store.Read("A"), "") << "other values stay";

    ASSERT_TRUE(store.Write("C", "a=b%\n#"));
    ASSERT_TRUE(store.Write("A", "False"));
    const std::string file = ReadBytes(config / "quellgate/settings");
    EXPECT_EQ(file.substr(0, 2), "# ") << "a comment on top says what the file is";
    EXPECT_NE(file.find("\nA=False\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\nC=a%3Db%25%0A%23\n"), std::string::npos) << file;
    EXPECT_EQ(Listing(config / "quellgate"), std::set<std::string>{"settings"});
}

TEST_F(Settings, JunkReadsAsAbsentAndLinesOfOtherVersionsSurviveARewrite) {
    fs::create_directories(config / "quellgate");
    const std::string junk = "\0\xFF\x01garbage\n=\n%\n"s +
                             "A=%zz\n"     // damaged
                             "B=True\r\n"  // saved by a Windows editor
                             "# kept comment\n"
                             "Later=from 2.0\n"  // a value of a later version
                             "D=1\nD=2\n"        // the last one counts
                             "E=no line break";
    WriteBytes(config / "quellgate/settings", junk);
    FileSettingsStore store;
    EXPECT_EQ(store.Read("A"), std::nullopt);
    EXPECT_EQ(store.Read("B"), "True");
    EXPECT_EQ(store.Read("D"), "2");
    EXPECT_EQ(store.Read("E"), "no line break");

    ASSERT_TRUE(store.Write("D", "3"));
    ASSERT_TRUE(store.Write("A", "True"));
    EXPECT_EQ(store.Read("A"), "True");
    EXPECT_EQ(store.Read("D"), "3");
    EXPECT_EQ(store.Read("Later"), "from 2.0");
    const std::string file = ReadBytes(config / "quellgate/settings");
    EXPECT_NE(file.find("\n# kept comment\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\nA=%zz\n"), std::string::npos) << "a line this version cannot read stays";
    EXPECT_EQ(file.find("D=1"), std::string::npos) << "one line a name";
    EXPECT_EQ(file.find("D=2"), std::string::npos);
}

// Made of a pipe and a folder where files should be: root is refused too.
TEST_F(Settings, NeverOverwritesValuesItCannotRead) {
    fs::create_directories(config / "quellgate");
    ASSERT_EQ(mkfifo((config / "quellgate/settings").c_str(), 0600), 0);
    FileSettingsStore store;
    EXPECT_EQ(store.Read("A"), std::nullopt);
    EXPECT_EQ(store.Write("A", "True").reason(), "not an ordinary file");
    EXPECT_TRUE(fs::is_fifo(config / "quellgate/settings"));

    fs::remove(config / "quellgate/settings");
    fs::create_directory(config / "quellgate/settings");
    EXPECT_EQ(store.Write("A", "True").reason(), "Is a directory");
}

}  // namespace
}  // namespace quellgate::testing
