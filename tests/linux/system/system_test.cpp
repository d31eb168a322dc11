// The Linux seams against the real system: the program's files, its settings,
// its logon entry and its one-instance claim. CI runs as root, which no
// permission bit stops: failures are made of files or folders standing in
// the way, a pipe, a size limit and a failing fsync.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

#include "linux/system/command_socket.h"
#include "linux/system/file_store.h"
#include "linux/system/process.h"
#include "linux/system/settings_store.h"
#include "linux/system/start_at_logon.h"

extern char** environ;

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
using Step = Outcome::Step;

static std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

static void WriteBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

static std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

static std::string Content(const FileStore::ReadResult& read) {
    if (const auto* text = std::get_if<std::string>(&read)) return *text;
    if (const auto* failure = std::get_if<FileStore::Unreadable>(&read))
        return "unreadable: " + failure->reason;
    return "missing";
}

// Each test in a fresh folder: XDG_CONFIG_HOME, XDG_RUNTIME_DIR and HOME
// point into it, and it goes with everything in it afterwards, as every
// variable the test set goes back to what it was.
class Scratch : public ::testing::Test {
protected:
    Scratch() {
        fs::create_directory(runtime, root);
        Set("XDG_CONFIG_HOME", config.string());
        Set("XDG_RUNTIME_DIR", runtime.string());
        Set("HOME", home.string());
    }
    ~Scratch() override {
        for (const auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    // Sets an environment variable, or unsets it for nothing.
    void Set(const std::string& name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name.c_str());
        saved_.try_emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

    const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "quellgate-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
        return fs::path(pattern);
    }();
    const fs::path config = root / "config", runtime = root / "runtime", home = root / "home";
    const fs::path folder = config / "quellgate";  // the program's own

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

using Files = Scratch;

TEST_F(Files, LiveInTheXdgConfigFolderMadePrivateByTheFirstWrite) {
    for (const char* invalid : {"relative/config", ""}) {
        Set("XDG_CONFIG_HOME", invalid);
        EXPECT_EQ(posix::PosixFileStore().PathOf("blocklist"),
                  (home / ".config/quellgate/blocklist").string());
    }
    Set("XDG_CONFIG_HOME", config.string());
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
        EXPECT_EQ(Listing(folder), std::set<std::string>{"blocklist"});
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
    Set("QUELLGATE_TEST_FAIL_FSYNC", "file");
    const Outcome unflushed = files.Replace("blocklist", "new");
    EXPECT_TRUE(unflushed.reason().starts_with("Input/output error, " + writing)) << unflushed.reason();
    expectOldKept();
    Set("QUELLGATE_TEST_FAIL_FSYNC", "folder");
    EXPECT_EQ(files.Replace("blocklist", "new").reason(),
              "Input/output error, flushing the folder " + folder.string());
    Set("QUELLGATE_TEST_FAIL_FSYNC", std::nullopt);
    fs::resize_file(folder / "blocklist", FileStore::kLargestFile + 1);
    EXPECT_EQ(Content(files.Read("blocklist")), "unreadable: " + std::string(FileStore::kTooLarge));
    fs::resize_file(folder / "blocklist", FileStore::kLargestFile);
    EXPECT_EQ(Content(files.Read("blocklist")).size(), FileStore::kLargestFile);
    fs::remove(folder / "blocklist");
    fs::create_directory(folder / "blocklist");
    EXPECT_EQ(files.Replace("blocklist", "new").reason(), "Is a directory");
    EXPECT_EQ(Content(files.Read("blocklist")), "unreadable: Is a directory");
    fs::remove_all(folder);
    WriteBytes(folder, "a file, not a folder");
    EXPECT_EQ(files.Replace("blocklist", "x").reason(),
              "Not a directory, opening the folder " + folder.string());
    EXPECT_EQ(Content(files.Read("blocklist")), "unreadable: Not a directory");
}

TEST_F(Files, TemporariesOfASaveCutShortGoWhenOld) {
    posix::PosixFileStore files;
    ASSERT_TRUE(files.Replace("blocklist", "first"));
    const std::string stale = ".blocklist.tmp-00000000000000aa";
    const std::string recent = ".blocklist.tmp-00000000000000bb";  // perhaps another instance's save
    WriteBytes(folder / stale, "half");
    WriteBytes(folder / recent, "half");
    const timeval hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimes((folder / stale).c_str(), hourAgo), 0);
    ASSERT_TRUE(files.Replace("blocklist", "second"));
    EXPECT_EQ(Listing(folder), (std::set<std::string>{"blocklist", recent}));
}

using Settings = Scratch;

TEST_F(Settings, KeepAnyStringAndAbsentApartFromEmpty) {
    posix::FileSettingsStore store;
    EXPECT_EQ(store.Location(), (folder / "settings").string());
    EXPECT_EQ(store.Read("A"), std::nullopt) << "no file";
    ASSERT_TRUE(store.Write("A", ""));
    EXPECT_EQ(store.Read("A"), "");
    EXPECT_EQ(store.Read("B"), std::nullopt) << "no line";
    const std::string texts[] = {"\r\n\0\t\\%41%=#\x7F\""s, "line\nB=True",
                                 "\xCE\x94\xC3\x28 %zz=", "trailing CR\r", std::string(20000, '~')};
    for (const auto& text : texts) {
        ASSERT_TRUE(store.Write("P", text));
        EXPECT_EQ(posix::FileSettingsStore().Read("P"), text);
    }
    EXPECT_EQ(store.Read("B"), std::nullopt) << "no value forged by another's line break";
    EXPECT_EQ(store.Read("A"), "") << "other values stay";
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

TEST_F(Settings, SayWhenTheyCannotBeReadAndNeverOverwriteThem) {
    const fs::path file = folder / "settings";
    const auto bigFile = [&] {
        WriteBytes(file, "A=True\n");
        fs::resize_file(file, FileStore::kLargestFile + 1);
    };
    struct Case {
        std::function<void()> make;
        std::string reason;
    };
    for (const auto& [make, reason] : {
             Case{[&] { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }, "not an ordinary file"},
             Case{[&] { fs::create_symlink("/dev/zero", file); }, "not an ordinary file"},
             Case{[&] { fs::create_directory(file); }, "Is a directory"},
             Case{bigFile, std::string(FileStore::kTooLarge)},
         }) {
        SCOPED_TRACE(reason);
        fs::remove_all(folder);
        fs::create_directories(folder);
        make();
        const auto before = fs::symlink_status(file).type();
        posix::FileSettingsStore store;
        EXPECT_EQ(store.Readable().reason(), reason) << "without hanging on a pipe";
        EXPECT_EQ(store.Read("A"), std::nullopt);
        EXPECT_EQ(store.Write("A", "True").reason(), reason);
        EXPECT_EQ(fs::symlink_status(file).type(), before) << "kept as it is";
    }
    fs::remove_all(folder);
    EXPECT_TRUE(posix::FileSettingsStore().Readable()) << "a missing file is no failure";
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
        ReadBytes(file),
        "[Desktop Entry]\nType=Application\nName=Quellgate\nComment=Keeps you away from social networks\n"
        "Exec=/usr/local/bin/quellgate\nTerminal=false\nNoDisplay=false\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(autostart.Exists("quellgate"));
    EXPECT_FALSE(autostart.Exists("other"));
    EXPECT_TRUE(autostart.Remove("quellgate"));
    EXPECT_FALSE(autostart.Exists("quellgate"));
    EXPECT_TRUE(autostart.Remove("quellgate")) << "a missing entry is no error";
    EXPECT_EQ(autostart.Write("../escape", "/bin/x").code(), EINVAL);
}

// What the session reads back as exactly the path: quoted when the path holds
// a character the command line reserves, '"', '`', '$' and '\' escaped within
// the quotes, '%' doubled; then backslash, tab, LF and CR escaped once more,
// as in every string value of a desktop entry.
TEST_F(Autostart, QuotesAnyPathSoTheSessionStartsExactlyThatFile) {
    for (const auto& [path, exec] : std::initializer_list<std::pair<std::string, std::string>>{
             {"/usr/bin/plain-name_1.0", "/usr/bin/plain-name_1.0"},
             {"/a b/\\$%", R"("/a b/\\\\\\$%%")"},
             {"/x;y&z|w<v>u*t?s#r(q)~p'", R"("/x;y&z|w<v>u*t?s#r(q)~p'")"},
             {"/`tick`/\"q\"/100%", R"("/\\`tick\\`/\\"q\\"/100%%")"},
             {"/tab\there/new\nline/cr\r", R"("/tab\there/new\nline/cr\r")"},
         })
        EXPECT_EQ(posix::ExecValue(path), exec) << path;
}

TEST_F(Autostart, SaysWhetherTheFolderOrTheEntryFailed) {
    posix::XdgStartAtLogon autostart;
    fs::create_directories(config);
    WriteBytes(config / "autostart", "");
    for (const auto& result : {autostart.Write("quellgate", "/bin/q"), autostart.Remove("quellgate")}) {
        EXPECT_EQ(result.step(), Step::Opening);
        EXPECT_EQ(result.code(), ENOTDIR);
    }
    fs::remove(config / "autostart");
    fs::create_directories(config / "autostart/quellgate.desktop");
    const auto written = autostart.Write("quellgate", "/bin/q");
    EXPECT_EQ(written.step(), Step::Writing);
    EXPECT_EQ(written.code(), EISDIR);
    EXPECT_EQ(autostart.Remove("quellgate").step(), Step::Writing);
    EXPECT_FALSE(autostart.Exists("quellgate")) << "a folder is no entry";
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
    Set("DISPLAY", ":7");
    auto holder = std::make_unique<posix::LinuxProcess>();
    ASSERT_TRUE(holder->ClaimSingleInstance());
    EXPECT_TRUE(holder->ClaimSingleInstance()) << "still its own";
    const fs::path lock = runtime / "quellgate-_7.lock";
    EXPECT_EQ(posix::InstanceLockPath(), lock.string());
    EXPECT_NE(fs::status(lock).permissions() & fs::perms::sticky_bit, fs::perms::none)
        << "the sticky bit keeps the runtime folder's clean-up away";
    EXPECT_FALSE(posix::LinuxProcess().ClaimSingleInstance());
    Set("DISPLAY", ":7.1");
    EXPECT_FALSE(posix::LinuxProcess().ClaimSingleInstance()) << "the same server";
    Set("DISPLAY", ":8");
    EXPECT_TRUE(posix::LinuxProcess().ClaimSingleInstance());
    // A program the holder starts has no share in the claim (posix_spawn
    // returns once the child has run its exec).
    pid_t program = 0;
    char* argv[] = {const_cast<char*>("sleep"), const_cast<char*>("3600"), nullptr};
    ASSERT_EQ(posix_spawn(&program, "/bin/sleep", nullptr, nullptr, argv, environ), 0);
    holder.reset();
    EXPECT_TRUE(posix::LinuxProcess().ClaimSingleInstance()) << "given up with the object";
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
}

// A client of the running instance's command socket, connected at once.
static posix::UniqueFd CommandClient() {
    sockaddr_un address{AF_UNIX, {}};
    posix::CommandSocketPath().copy(address.sun_path, sizeof address.sun_path - 1);
    posix::UniqueFd client(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (connect(client.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) client = {};
    return client;
}

TEST_F(ThisProcess, ACommandArrivesWholeWithinItsMomentAndAFloodIsServedAFewAtATime) {
    Set("DISPLAY", ":7");
    posix::CommandListener listener;
    ASSERT_TRUE(listener.Listening());
    std::vector<RemoteCommand> performed;
    const auto serve = [&] { listener.Serve([&](RemoteCommand c) { performed.push_back(c); }); };

    posix::UniqueFd slow = CommandClient();
    ASSERT_TRUE(slow);
    std::thread dripping([fd = slow.get()] {
        for (const char c : std::string("home-now\n")) {
            send(fd, &c, 1, MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    serve();
    dripping.join();
    EXPECT_TRUE(performed.empty()) << "a byte now and then holds the watch no longer than a whole line may";

    std::vector<posix::UniqueFd> flood;
    for (int i = 0; i < 9; ++i)
        if (auto client = CommandClient(); client && send(client.get(), "hide\n", 5, MSG_NOSIGNAL) == 5)
            flood.push_back(std::move(client));
    ASSERT_EQ(flood.size(), 9u);
    serve();
    EXPECT_EQ(performed.size(), 8u);
    serve();
    EXPECT_EQ(performed, std::vector<RemoteCommand>(9, RemoteCommand::Hide));
}

TEST_F(ThisProcess, WithoutAPrivateRuntimeFolderTheLockLivesInOneOfItsOwnUnderTmp) {
    const std::string tag = "quellgate-test-" + std::to_string(getpid());
    Set("DISPLAY", "host/" + tag + ":3.0");
    const fs::path own = "/tmp/quellgate-" + std::to_string(geteuid());
    const std::string expected = (own / ("quellgate-host_" + tag + "_3.lock")).string();
    std::error_code ignored;
    fs::remove(own, ignored);  // only when empty: a running copy keeps its lock
    Set("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(posix::InstanceLockPath(), expected);
    Set("XDG_RUNTIME_DIR", fs::relative(runtime).string());
    EXPECT_EQ(posix::InstanceLockPath(), expected) << "a relative runtime folder depends on where it started";
    Set("XDG_RUNTIME_DIR", runtime.string());
    fs::permissions(runtime, fs::perms::group_write, fs::perm_options::add);
    EXPECT_EQ(posix::InstanceLockPath(), expected) << "others may write to the runtime folder";
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(own)));
    EXPECT_EQ(fs::symlink_status(own).permissions(), fs::perms::owner_all);
}
