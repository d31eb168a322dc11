// The program's files in the user's configuration folder.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <csignal>

#include "blocklist/blocklist_file.h"
#include "linux/file_store.h"
#include "scratch.h"

namespace quellgate::testing {
namespace {

using posix::PosixFileStore;
namespace fs = std::filesystem;

using Files = Scratch;
using namespace std::string_literals;

std::string Content(const FileStore::ReadResult& read) {
    if (const auto* text = std::get_if<std::string>(&read)) return *text;
    if (const auto* failure = std::get_if<FileStore::Unreadable>(&read))
        return "unreadable: " + failure->reason;
    return "missing";
}

mode_t Mode(const fs::path& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Writes beyond a few bytes fail with EFBIG, for root as for anyone.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit limited{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }

private:
    rlimit old_{};
    void (*oldSignal_)(int) = nullptr;
};

TEST_F(Files, LiveInTheXdgConfigFolderMadePrivateByTheFirstWrite) {
    const fs::path folder = config / "quellgate";
    EXPECT_EQ(PosixFileStore().PathOf("blocklist"), (folder / "blocklist").string());
    {
        // Relative or empty: not a valid XDG_CONFIG_HOME.
        ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(PosixFileStore().PathOf("blocklist"), (home / ".config/quellgate/blocklist").string());
        ScopedEnv empty("XDG_CONFIG_HOME", "");
        EXPECT_EQ(PosixFileStore().PathOf("blocklist"), (home / ".config/quellgate/blocklist").string());
    }

    PosixFileStore files;
    EXPECT_EQ(Content(files.Read("blocklist")), "missing");
    EXPECT_FALSE(fs::exists(config)) << "reading makes nothing";
    const std::string bytes = "one\r\ntwo\0\xCE\x94"s;
    ASSERT_TRUE(files.Replace("blocklist", bytes));
    EXPECT_EQ(Content(files.Read("blocklist")), bytes);
    EXPECT_EQ(Mode(config), 0700u) << "made with its parent";
    EXPECT_EQ(Mode(folder), 0700u);
    EXPECT_EQ(Mode(folder / "blocklist"), 0600u);
    ASSERT_TRUE(files.Replace("blocklist", ""));
    EXPECT_EQ(Content(files.Read("blocklist")), "");
    EXPECT_EQ(Listing(folder), std::set<std::string>{"blocklist"}) << "no temporary file left behind";
}

TEST_F(Files, AFailedReplaceKeepsTheOldFileAndRemovesItsTemporary) {
    PosixFileStore files;
    const fs::path folder = config / "quellgate";
    ASSERT_TRUE(files.Replace("blocklist", "old"));
    {
        FileSizeLimit limit(4);
        const Outcome tooBig = files.Replace("blocklist", std::string(100000, 'x'));
        EXPECT_FALSE(tooBig);
        EXPECT_EQ(tooBig.reason().rfind("File too large, writing " + folder.string() + "/.blocklist.tmp-", 0),
                  0u)
            << tooBig.reason();
    }
    EXPECT_EQ(Content(files.Read("blocklist")), "old");
    EXPECT_EQ(Listing(folder), std::set<std::string>{"blocklist"});
    {
        // The new bytes may not be on the disk: the old file must stay.
        ScopedEnv failing("QUELLGATE_TEST_FAIL_FSYNC", "file");
        const Outcome unflushed = files.Replace("blocklist", "new");
        EXPECT_EQ(unflushed.reason().rfind("Input/output error, writing ", 0), 0u) << unflushed.reason();
    }
    EXPECT_EQ(Content(files.Read("blocklist")), "old");
    EXPECT_EQ(Listing(folder), std::set<std::string>{"blocklist"});
    {
        ScopedEnv failing("QUELLGATE_TEST_FAIL_FSYNC", "folder");
        EXPECT_EQ(files.Replace("blocklist", "new").reason(),
                  "Input/output error, flushing the folder " + folder.string());
    }
    fs::remove(folder / "blocklist");
    fs::create_directory(folder / "blocklist");
    EXPECT_EQ(files.Replace("blocklist", "new").reason(), "Is a directory");
    EXPECT_EQ(Content(files.Read("blocklist")), "unreadable: Is a directory");
    EXPECT_EQ(Listing(folder), std::set<std::string>{"blocklist"});
}

TEST_F(Files, TemporariesOfASaveCutShortNeverBlockAndGoWhenOld) {
    PosixFileStore files;
    const fs::path folder = config / "quellgate";
    ASSERT_TRUE(files.Replace("blocklist", "first"));
    const std::string stale = ".blocklist.tmp-00000000000000aa";
    const std::string recent = ".blocklist.tmp-00000000000000bb";  // perhaps another instance's save
    const std::string blocked = ".blocklist.tmp-00000000000000cc";
    WriteBytes(folder / stale, "half");
    WriteBytes(folder / recent, "half");
    fs::create_directory(folder / blocked);
    const timeval hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimes((folder / stale).c_str(), hourAgo), 0);
    ASSERT_EQ(utimes((folder / blocked).c_str(), hourAgo), 0);

    ASSERT_TRUE(files.Replace("blocklist", "second"));
    EXPECT_EQ(Content(files.Read("blocklist")), "second");
    EXPECT_EQ(Listing(folder), (std::set<std::string>{"blocklist", recent, blocked}));
}

// CI runs as root, which no permission bit stops: the failures below are
// made of files standing where folders should be, which bind root too.
TEST_F(Files, SaysWhyTheFolderCannotBeUsed) {
    fs::create_directories(config);
    WriteBytes(config / "quellgate", "a file, not a folder");
    PosixFileStore files;
    const auto failure = files.ReplaceFile("blocklist", "x");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, PosixFileStore::ReplaceFailure::Step::Folder);
    EXPECT_EQ(failure->error, ENOTDIR);
    EXPECT_EQ(failure->reason, "Not a directory, opening the folder " + (config / "quellgate").string());
    EXPECT_EQ(Content(files.Read("blocklist")), "unreadable: Not a directory");

    ScopedEnv underAFile("XDG_CONFIG_HOME", (config / "quellgate" / "deeper").string());
    EXPECT_EQ(PosixFileStore().Replace("blocklist", "x").reason(),
              "Not a directory, opening the folder " + (config / "quellgate/deeper/quellgate").string());
    fs::remove(config / "quellgate");
    ScopedEnv missingParents("XDG_CONFIG_HOME", (config / "quellgate" / "deeper").string());
    EXPECT_TRUE(PosixFileStore().Replace("blocklist", "x")) << "parents made";
}

TEST_F(Files, ReadsNothingButOrdinaryFilesAndNeverHangsOnAPipe) {
    fs::create_directories(config / "quellgate");
    ASSERT_EQ(mkfifo((config / "quellgate/blocklist").c_str(), 0600), 0);
    EXPECT_EQ(Content(PosixFileStore().Read("blocklist")), "unreadable: not an ordinary file");
}

// Made by the Windows edition's BlocklistFile: each keyword enciphered, CR LF
// after each.
TEST_F(Files, ReadsTheBlocklistOfTheWindowsEdition) {
    fs::create_directories(config / "quellgate");
    fs::copy_file(fs::path(QUELLGATE_TEST_DATA) / "blocklist", config / "quellgate/blocklist");
    PosixFileStore files;
    const BlocklistFile::Loaded loaded = BlocklistFile(files).Load();
    EXPECT_EQ(loaded.unreadable, std::nullopt);
    EXPECT_EQ(loaded.keywords, (std::vector<std::string>{"gossip", "celebrity news",
                                                         "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1",
                                                         "say \"hi\"", "reddit.com"}));
}

}  // namespace
}  // namespace quellgate::testing
