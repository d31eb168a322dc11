// The executable's path and the one-instance claim.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "linux/process.h"
#include "scratch.h"

namespace quellgate::testing {
namespace {

using posix::LinuxProcess;
namespace fs = std::filesystem;

using Executable = Scratch;
using InstanceClaim = Scratch;

// Runs `body` in a fork, which exits with its result; killed, if still
// running, when the test is done with it.
class Child {
public:
    template <typename Body>
    explicit Child(Body body) : pid_(fork()) {
        if (pid_ == 0) _exit(body());
    }
    ~Child() { Kill(); }
    int ExitStatus() {
        int status = 0;
        waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Kill() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(std::exchange(pid_, -1), nullptr, 0);
    }

private:
    pid_t pid_;
};

struct Pipe {
    explicit Pipe(int flags = 0) {
        int ends[2] = {-1, -1};
        if (pipe2(ends, flags) != 0) return;
        readEnd = posix::UniqueFd(ends[0]);
        writeEnd = posix::UniqueFd(ends[1]);
    }
    // A byte, or 0 once every write end is closed (by an exit, or an exec
    // for a close-on-exec pipe).
    char ReadOne() {
        char byte = 0;
        while (read(readEnd.get(), &byte, 1) < 0 && errno == EINTR) {
        }
        return byte;
    }
    posix::UniqueFd readEnd, writeEnd;
};

TEST_F(Executable, KnowsItsPathAndName) {
    LinuxProcess process;
    EXPECT_EQ(fs::path(process.ExecutablePath()).filename(), "quellgate_linux_system_tests");
    EXPECT_TRUE(fs::path(process.ExecutablePath()).is_absolute());
    EXPECT_EQ(process.ExecutableName(), "quellgate_linux_system_tests");
    EXPECT_EQ(posix::ProgramName("/opt/q.app/Quellgate.AppImage"), "Quellgate");
    EXPECT_EQ(posix::ProgramName("/home/u/.quellgate"), ".quellgate");
}

TEST_F(Executable, ReadsALinkOfAnyLength) {
    const std::string longTarget = "/" + std::string(300, 'd') + "/" + std::string(200, 'e') + "/quellgate";
    ASSERT_EQ(symlink(longTarget.c_str(), (root / "link").c_str()), 0);
    EXPECT_EQ(posix::LinkTarget((root / "link").c_str()), longTarget);
}

TEST_F(InstanceClaim, OneInstancePerDisplay) {
    ScopedEnv display("DISPLAY", ":7");
    auto first = std::make_unique<LinuxProcess>();
    ASSERT_TRUE(first->ClaimSingleInstance());
    EXPECT_TRUE(first->ClaimSingleInstance()) << "still its own";
    const fs::path lock = runtime / "quellgate-_7.lock";
    EXPECT_EQ(posix::InstanceLockPath(), lock.string());
    struct stat status {};
    ASSERT_EQ(stat(lock.c_str(), &status), 0);
    EXPECT_TRUE(status.st_mode & S_ISVTX) << "the sticky bit keeps the runtime folder's clean-up away";

    EXPECT_FALSE(LinuxProcess().ClaimSingleInstance());
    {
        ScopedEnv sameServer("DISPLAY", ":7.1");
        EXPECT_FALSE(LinuxProcess().ClaimSingleInstance());
        ScopedEnv otherDisplay("DISPLAY", ":8");
        EXPECT_TRUE(LinuxProcess().ClaimSingleInstance());
    }
    first.reset();
    EXPECT_TRUE(LinuxProcess().ClaimSingleInstance()) << "given up with the object";
}

TEST_F(InstanceClaim, AnotherProcessIsRefusedUntilTheHolderDies) {
    ScopedEnv display("DISPLAY", ":7");
    {
        LinuxProcess holder;
        ASSERT_TRUE(holder.ClaimSingleInstance());
        Child refused([] { return LinuxProcess().ClaimSingleInstance() ? 1 : 0; });
        EXPECT_EQ(refused.ExitStatus(), 0);
    }

    Pipe ready;
    Child holder([&] {
        LinuxProcess process;
        const char claimed = process.ClaimSingleInstance() ? 'y' : 'n';
        if (write(ready.writeEnd.get(), &claimed, 1) != 1) return 2;
        for (;;) pause();
    });
    ready.writeEnd.reset();
    ASSERT_EQ(ready.ReadOne(), 'y');
    EXPECT_FALSE(LinuxProcess().ClaimSingleInstance());
    holder.Kill();  // no chance to let go of it
    EXPECT_TRUE(LinuxProcess().ClaimSingleInstance());
}

TEST_F(InstanceClaim, AProgramStartedByTheHolderDoesNotKeepTheClaim) {
    ScopedEnv display("DISPLAY", ":7");
    auto holder = std::make_unique<LinuxProcess>();
    ASSERT_TRUE(holder->ClaimSingleInstance());
    Pipe execed(O_CLOEXEC);
    Child program([] {
        execl("/bin/sleep", "sleep", "3600", nullptr);
        return 127;
    });
    execed.writeEnd.reset();
    execed.ReadOne();  // the child's copy went with the exec
    holder.reset();
    EXPECT_TRUE(LinuxProcess().ClaimSingleInstance());
}

TEST_F(InstanceClaim, WithoutAPrivateRuntimeFolderTheLockLivesInOneOfItsOwnUnderTmp) {
    const std::string tag = "quellgate-test-" + std::to_string(getpid());
    ScopedEnv display("DISPLAY", "host/" + tag + ":3.0");
    const fs::path own = "/tmp/quellgate-" + std::to_string(geteuid());
    const std::string expected = (own / ("quellgate-host_" + tag + "_3.lock")).string();
    {
        ScopedEnv unset("XDG_RUNTIME_DIR", std::nullopt);
        EXPECT_EQ(posix::InstanceLockPath(), expected);
    }
    {
        ScopedEnv relative("XDG_RUNTIME_DIR", "runtime");
        EXPECT_EQ(posix::InstanceLockPath(), expected);
    }
    fs::permissions(runtime, fs::perms::group_write, fs::perm_options::add);
    EXPECT_EQ(posix::InstanceLockPath(), expected) << "others may write to it";
    struct stat status {};
    ASSERT_EQ(lstat(own.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_uid, geteuid());
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    LinuxProcess first;
    ASSERT_TRUE(first.ClaimSingleInstance());
    EXPECT_FALSE(LinuxProcess().ClaimSingleInstance());
    fs::remove(expected);
}

}  // namespace
}  // namespace quellgate::testing
