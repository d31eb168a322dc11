// The Linux seams against the real system: the program's files, its settings,
// its logon entry and its one-instance claim. CI runs as root, which no
// permission bit stops: failures are made of files or folders standing in
// the way, a pipe, a size limit and a failing fsync.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>

#include "linux/system/file_store.h"
#include "linux/system/process.h"
#include "linux/system/settings_store.h"
#include "linux/system/start_at_logon.h"

// The store's fsync (linked with --wrap=fsync). QUELLGATE_TEST_FAIL_FSYNC=file
// fails it for ordinary files, =folder for folders, as a failing disk would.
extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
    struct stat status {};
    const char* failing = std::getenv("QUELLGATE_TEST_FAIL_FSYNC");
    if (failing && fstat(fd, &status) == 0 &&
        failing == std::string(S_ISDIR(status.st_mode) ? "folder" : "file")) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

using namespace quellgate;
namespace fs = std::filesystem;
using namespace std::string_literals;

static std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

static void WriteBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

static std::string Content(const FileStore::ReadResult& read) {
    if (const auto* text = std::get_if<std::string>(&read)) return *text;
    if (const auto* failure = std::get_if<FileStore::Unreadable>(&read))
        return "unreadable: " + failure->reason;
    return "missing";
}

// Each test in a fresh folder that XDG_CONFIG_HOME, XDG_RUNTIME_DIR and HOME
// point into (CTest runs each test in a process of its own).
class Scratch : public ::testing::Test {
protected:
    Scratch() {
        fs::create_directories(runtime);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("HOME", home.c_str(), 1);
    }
    ~Scratch() override { fs::remove_all(root); }

    const fs::path root = fs::temp_directory_path() / ("quellgate-test-" + std::to_string(getpid()));
    const fs::path config = root / "config", runtime = root / "runtime", home = root / "home";
    const fs::path folder = config / "quellgate";  // the program's own
};

using Files = Scratch;

TEST_F(Files, LiveInTheXdgConfigFolderMadePrivateByTheFirstWrite) {
    for (const char* invalid : {"relative/config", ""}) {
        setenv("XDG_CONFIG_HOME", invalid, 1);
        EXPECT_EQ(posix::PosixFileStore().PathOf("blocklist"),
                  (home / ".config/quellgate/blocklist").string());
    }
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    posix::PosixFileStore files;
    EXPECT_EQ(files.PathOf("blocklist"), (folder / "blocklist").string());
    EXPECT_EQ(Content(files.Read("blocklist")), "missing");
    EXPECT_FALSE(fs::exists(config)) << "reading makes nothing";
    const std::string bytes = "one\r\ntwo\0\xCE\x94"s;
    ASSERT_TRUE(files.Replace("blocklist", bytes));
    EXPECT_EQ(Content(files.Read("blocklist")), bytes);
    EXPECT_EQ(fs::status(config).permissions(), fs::perms::owner_all) << "made with its parent";
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder / "blocklist").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(Files, AFailedReplaceSaysWhyKeepsTheOldFileAndRemovesItsTemporary) {
    posix::PosixFileStore files;
    ASSERT_TRUE(files.Replace("blocklist", "old"));
    const auto expectOldKept = [&] {
        EXPECT_EQ(Content(files.Read("blocklist")), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
    };
    const std::string writing = "writing " + (folder / ".blocklist.tmp-").string();
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit tiny{4, unlimited.rlim_max};  // beyond it writes fail with EFBIG, for root too
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    const Outcome tooBig = files.Replace("blocklist", std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_TRUE(tooBig.reason().starts_with("File too large, " + writing)) << tooBig.reason();
    expectOldKept();
    // The new bytes may not be on the disk: the old file must stay.
    setenv("QUELLGATE_TEST_FAIL_FSYNC", "file", 1);
    const Outcome unflushed = files.Replace("blocklist", "new");
    EXPECT_TRUE(unflushed.reason().starts_with("Input/output error, " + writing)) << unflushed.reason();
    expectOldKept();
    setenv("QUELLGATE_TEST_FAIL_FSYNC", "folder", 1);
    EXPECT_EQ(files.Replace("blocklist", "new").reason(),
              "Input/output error, flushing the folder " + folder.string());
    unsetenv("QUELLGATE_TEST_FAIL_FSYNC");
    fs::remove_all(folder);
    WriteBytes(folder, "a file, not a folder");
    EXPECT_EQ(files.Replace("blocklist", "x").reason(),
              "Not a directory, opening the folder " + folder.string());
    EXPECT_EQ(Content(files.Read("blocklist")), "unreadable: Not a directory");
}

// The keyword list and the settings alike: what stands in a file's place is
// told at once, without hanging on a pipe, and kept as it is.
TEST_F(Files, ThatCannotBeReadAreToldAndNeverOverwritten) {
    const auto tooLarge = [](const fs::path& file) {
        WriteBytes(file, "A=True\n");
        fs::resize_file(file, FileStore::kLargestFile + 1);
    };
    struct Case {
        std::function<void(const fs::path&)> spoil;
        std::string reason;
    };
    for (const auto& [spoil, reason] : {
             Case{[](const fs::path& file) { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); },
                  "not an ordinary file"},
             Case{[](const fs::path& file) { fs::create_symlink("/dev/zero", file); },
                  "not an ordinary file"},
             Case{[](const fs::path& file) { fs::create_directory(file); }, "Is a directory"},
             Case{tooLarge, std::string(FileStore::kTooLarge)},
         }) {
        SCOPED_TRACE(reason);
        fs::remove_all(folder);
        fs::create_directories(folder);
        spoil(folder / "blocklist");
        spoil(folder / "settings");
        const auto before = fs::symlink_status(folder / "settings").type();
        EXPECT_EQ(Content(posix::PosixFileStore().Read("blocklist")), "unreadable: " + reason);
        posix::FileSettingsStore store;
        EXPECT_EQ(store.Readable().reason(), reason);
        EXPECT_EQ(store.Read("A"), std::nullopt);
        EXPECT_EQ(store.Write("A", "True").reason(), reason);
        EXPECT_EQ(fs::symlink_status(folder / "settings").type(), before) << "kept as it is";
    }
    fs::resize_file(folder / "blocklist", FileStore::kLargestFile);
    EXPECT_EQ(Content(posix::PosixFileStore().Read("blocklist")).size(), FileStore::kLargestFile);
    fs::remove_all(folder);
    EXPECT_TRUE(posix::FileSettingsStore().Readable()) << "a missing file is no failure";
}

using Settings = Scratch;

TEST_F(Settings, KeepAbsentApartFromEmpty) {
    posix::FileSettingsStore store;
    EXPECT_EQ(store.Location(), (folder / "settings").string());
    EXPECT_EQ(store.Read("A"), std::nullopt) << "no file";
    ASSERT_TRUE(store.Write("A", ""));
    EXPECT_EQ(store.Read("A"), "");
    EXPECT_EQ(store.Read("B"), std::nullopt) << "no line";
}

TEST_F(Settings, JunkReadsAsAbsentAndLinesOfOtherVersionsSurviveARewrite) {
    fs::create_directories(folder);
    WriteBytes(folder / "settings", "\0\xFF\x01garbage\n=\n%\n"s +
                                        "A=%zz\n"     // damaged
                                        "B=True\r\n"  // saved by a Windows editor
                                        "# kept comment\n"
                                        "Later=from 2.0\n"  // a value of a later version
                                        "D=1\nD=2\n"        // the last one counts
                                        "E=no line break");
    posix::FileSettingsStore store;
    EXPECT_EQ(store.Read("A"), std::nullopt);
    EXPECT_TRUE(store.Holds("A")) << "damaged is not absent";
    EXPECT_FALSE(store.Holds("C"));
    EXPECT_EQ(store.Read("B"), "True");
    EXPECT_EQ(store.Read("D"), "2");
    EXPECT_EQ(store.Read("E"), "no line break");
    ASSERT_TRUE(store.Write("D", "3"));
    ASSERT_TRUE(store.Write("A", "True"));
    EXPECT_EQ(store.Read("A"), "True");
    EXPECT_EQ(store.Read("D"), "3");
    EXPECT_EQ(store.Read("Later"), "from 2.0");
    const std::string file = ReadBytes(folder / "settings");
    EXPECT_NE(file.find("\n# kept comment\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\nA=%zz\n"), std::string::npos) << "a line this version cannot read stays";
}

using Autostart = Scratch;

TEST_F(Autostart, WritesTheEntryFindsItAndRemovesIt) {
    posix::XdgStartAtLogon autostart;
    const fs::path file = config / "autostart/quellgate.desktop";
    EXPECT_EQ(autostart.PathOf("quellgate"), file.string());
    EXPECT_FALSE(autostart.Exists("quellgate"));
    EXPECT_TRUE(autostart.Remove("quellgate")) << "no folder yet";
    fs::create_directories(file.parent_path());
    WriteBytes(file, "[Desktop Entry]\nExec=the user's own\n");
    ASSERT_TRUE(autostart.Write("quellgate", "/usr/local/bin/quellgate"));
    EXPECT_EQ(
        std::regex_replace(ReadBytes(file), std::regex("(Name|Comment)=.*\n"), ""),  // wording aside
        "[Desktop Entry]\nType=Application\nExec=/usr/local/bin/quellgate\nTerminal=false\nNoDisplay=false\n"
        "X-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(autostart.Exists("quellgate"));
    EXPECT_FALSE(autostart.Exists("other"));
    EXPECT_TRUE(autostart.Remove("quellgate"));
    EXPECT_FALSE(autostart.Exists("quellgate"));
    EXPECT_TRUE(autostart.Remove("quellgate")) << "a missing entry is no error";
    fs::create_directory(file);
    EXPECT_FALSE(autostart.Write("quellgate", "/bin/q"));
    EXPECT_FALSE(autostart.Exists("quellgate")) << "a folder is no entry";
}

// What the session reads back as exactly the path: quoted when the path holds
// a character the command line reserves, '"', '`', '$' and '\' escaped within
// the quotes, '%' doubled; then backslash, tab, LF and CR escaped once more,
// as in every string value of a desktop entry.
TEST_F(Autostart, QuotesAnyPathSoTheSessionStartsExactlyThatFile) {
    for (const auto& [path, exec] : std::initializer_list<std::pair<std::string, std::string>>{
             {"/usr/bin/plain-name_1.0", "/usr/bin/plain-name_1.0"},
             {"/home/me/My Apps/quellgate", R"("/home/me/My Apps/quellgate")"},
             {"/a b/\\$%", R"("/a b/\\\\\\$%%")"},
             {"/x;y&z|w<v>u*t?s#r(q)~p'", R"("/x;y&z|w<v>u*t?s#r(q)~p'")"},
             {"/`tick`/\"q\"/100%", R"("/\\`tick\\`/\\"q\\"/100%%")"},
             {"/tab\there/new\nline/cr\r", R"("/tab\there/new\nline/cr\r")"},
         })
        EXPECT_EQ(posix::ExecValue(path), exec) << path;
}

using ThisProcess = Scratch;

TEST_F(ThisProcess, KnowsItsPathAndNameHoweverLongTheLink) {
    const posix::LinuxProcess process;
    EXPECT_TRUE(fs::path(process.ExecutablePath()).is_absolute());
    EXPECT_EQ(process.ExecutableName(), "quellgate_linux_system_tests");
    EXPECT_EQ(posix::ProgramName("/opt/q.app/Quellgate.AppImage"), "Quellgate");
    EXPECT_EQ(posix::ProgramName("/home/u/.quellgate"), ".quellgate");
    const std::string longTarget = "/" + std::string(300, 'd') + "/" + std::string(200, 'e') + "/quellgate";
    ASSERT_EQ(symlink(longTarget.c_str(), (root / "link").c_str()), 0);
    EXPECT_EQ(posix::LinkTarget((root / "link").c_str()), longTarget);
}

TEST_F(ThisProcess, OneInstancePerDisplayUntilTheHolderGoes) {
    setenv("DISPLAY", ":7", 1);
    auto holder = std::make_unique<posix::LinuxProcess>();
    ASSERT_TRUE(holder->ClaimSingleInstance());
    EXPECT_TRUE(holder->ClaimSingleInstance()) << "still its own";
    for (const auto& lock : fs::directory_iterator(runtime))
        EXPECT_NE(lock.status().permissions() & fs::perms::sticky_bit, fs::perms::none)
            << "the sticky bit keeps the runtime folder's clean-up away";
    EXPECT_FALSE(posix::LinuxProcess().ClaimSingleInstance());
    setenv("DISPLAY", ":7.1", 1);
    EXPECT_FALSE(posix::LinuxProcess().ClaimSingleInstance()) << "the same server";
    setenv("DISPLAY", ":8", 1);
    EXPECT_TRUE(posix::LinuxProcess().ClaimSingleInstance());
    holder.reset();
    EXPECT_TRUE(posix::LinuxProcess().ClaimSingleInstance()) << "given up with the object";
}

// Without a private runtime folder the claim is kept in a folder of its own
// under /tmp, which others may not write.
TEST_F(ThisProcess, WithoutAPrivateRuntimeFolderTheClaimIsKeptUnderTmp) {
    setenv("DISPLAY", ("host/quellgate-test-" + std::to_string(getpid()) + ":3.0").c_str(), 1);
    const fs::path own = "/tmp/quellgate-" + std::to_string(geteuid());
    std::error_code ignored;
    fs::remove(own, ignored);  // only when empty: a running copy keeps its lock
    fs::permissions(runtime, fs::perms::group_write, fs::perm_options::add);
    for (const char* runtimeFolder : {"", "relative/runtime", runtime.c_str()}) {
        SCOPED_TRACE(runtimeFolder);
        setenv("XDG_RUNTIME_DIR", runtimeFolder, 1);
        posix::LinuxProcess holder;
        ASSERT_TRUE(holder.ClaimSingleInstance());
        EXPECT_FALSE(posix::LinuxProcess().ClaimSingleInstance());
        EXPECT_TRUE(fs::is_empty(runtime));
    }
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(own)));
    EXPECT_EQ(fs::symlink_status(own).permissions(), fs::perms::owner_all);
}
