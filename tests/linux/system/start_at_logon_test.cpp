// The logon entry: a desktop entry in the XDG autostart folder.
#include <cerrno>

#include "linux/start_at_logon.h"
#include "scratch.h"

namespace quellgate::testing {
namespace {

using posix::XdgStartAtLogon;
using Stage = StartAtLogon::Result::Stage;
namespace fs = std::filesystem;

using Autostart = Scratch;

// The Exec value's arguments as a desktop session reads them: first the
// escapes of a string value, then the command line's quoting, then %%. A
// reserved character outside quotes is an error.
std::vector<std::string> ExecArguments(std::string_view value) {
    std::string line;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            line += value[i];
            continue;
        }
        const char next = value[++i];
        line += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    std::vector<std::string> arguments;
    std::string argument;
    bool quoted = false, inArgument = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
            argument += line[++i];
        } else if (quoted && c == '\\' && i + 1 < line.size()) {
            argument += line[++i];
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            if (inArgument) arguments.push_back(std::exchange(argument, {}));
            inArgument = false;
            continue;
        } else if (!quoted && std::string_view("\t\n'\\><~|&;$*?#()`").find(c) != std::string_view::npos) {
            return {"reserved character outside quotes: " + std::string(1, c)};
        } else {
            argument += c;
        }
        inArgument = true;
    }
    if (inArgument) arguments.push_back(argument);
    return arguments;
}

std::string ExecOf(const std::string& entry) {
    const auto start = entry.find("\nExec=") + 6;
    return entry.substr(start, entry.find('\n', start) - start);
}

TEST_F(Autostart, WritesTheEntryFindsItAndRemovesIt) {
    XdgStartAtLogon autostart;
    const fs::path file = config / "autostart/quellgate.desktop";
    EXPECT_EQ(autostart.PathOf("quellgate"), file.string());
    EXPECT_FALSE(autostart.Exists("quellgate"));
    EXPECT_EQ(autostart.Remove("quellgate").stage, Stage::Done) << "no folder yet";

    fs::create_directories(config / "autostart");
    WriteBytes(file, "[Desktop Entry]\nExec=the user's own\n");
    ASSERT_EQ(autostart.Write("quellgate", "/usr/local/bin/quellgate").stage, Stage::Done);
    EXPECT_EQ(ReadBytes(file),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Quellgate\n"
              "Comment=Keeps you away from social networks\n"
              "Exec=/usr/local/bin/quellgate\n"
              "Terminal=false\n"
              "NoDisplay=false\n"
              "X-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(autostart.Exists("quellgate"));
    EXPECT_FALSE(autostart.Exists("other"));

    EXPECT_EQ(autostart.Remove("quellgate").stage, Stage::Done);
    EXPECT_FALSE(autostart.Exists("quellgate"));
    EXPECT_EQ(autostart.Remove("quellgate").stage, Stage::Done) << "a missing entry is no error";
    EXPECT_EQ(Listing(config / "autostart"), std::set<std::string>{});
    EXPECT_EQ(autostart.Write("../escape", "/bin/x").code, EINVAL);
}

TEST_F(Autostart, QuotesAnyPathSoTheSessionStartsExactlyThatFile) {
    XdgStartAtLogon autostart;
    ASSERT_EQ(autostart.Write("quellgate", "/a b/\\$%").stage, Stage::Done);
    // A literal backslash is four, a dollar two and one.
    EXPECT_EQ(ExecOf(ReadBytes(config / "autostart/quellgate.desktop")), R"("/a b/\\\\\\$%%")");

    for (const std::string path : {
             "/opt/Quellgate 2/quellgate",
             "/home/o'neil/\"quoted\"/`tick`/$HOME/back\\slash/100%/q",
             "/tmp/x;y&z|w<v>u*t?s#r(q)~p",
             "/tab\there/new\nline/cr\r/\xCE\x94",
             "/usr/bin/plain-name_1.0",
         }) {
        ASSERT_EQ(autostart.Write("quellgate", path).stage, Stage::Done);
        EXPECT_EQ(ExecArguments(ExecOf(ReadBytes(config / "autostart/quellgate.desktop"))),
                  std::vector<std::string>{path});
    }
}

// Files standing where folders should be, since root ignores permissions.
TEST_F(Autostart, SaysWhetherTheFolderOrTheEntryFailed) {
    XdgStartAtLogon autostart;
    fs::create_directories(config);
    WriteBytes(config / "autostart", "");
    EXPECT_EQ(autostart.Write("quellgate", "/bin/q").stage, Stage::Opening);
    EXPECT_EQ(autostart.Write("quellgate", "/bin/q").code, ENOTDIR);
    EXPECT_EQ(autostart.Remove("quellgate").stage, Stage::Opening);
    EXPECT_EQ(autostart.Remove("quellgate").code, ENOTDIR);

    fs::remove(config / "autostart");
    fs::create_directories(config / "autostart/quellgate.desktop");
    const auto written = autostart.Write("quellgate", "/bin/q");
    EXPECT_EQ(written.stage, Stage::Writing);
    EXPECT_EQ(written.code, EISDIR);
    EXPECT_EQ(autostart.Remove("quellgate").stage, Stage::Writing);
    EXPECT_FALSE(autostart.Exists("quellgate")) << "a folder is no entry";
}

}  // namespace
}  // namespace quellgate::testing
