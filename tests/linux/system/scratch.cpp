#include "scratch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>

// The store's fsync. QUELLGATE_TEST_FAIL_FSYNC=file fails it for ordinary
// files, =folder for folders, with EIO, as a failing disk would.
extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
    if (const char* failing = std::getenv("QUELLGATE_TEST_FAIL_FSYNC")) {
        struct stat status {};
        if (fstat(fd, &status) == 0 &&
            std::string_view(failing) == (S_ISDIR(status.st_mode) ? "folder" : "file")) {
            errno = EIO;
            return -1;
        }
    }
    return __real_fsync(fd);
}

namespace quellgate::testing {
namespace {

std::filesystem::path MakeScratchRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quellgate-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
    return pattern;
}

}  // namespace

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (old_)
        setenv(name_.c_str(), old_->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

Scratch::Scratch() : root(MakeScratchRoot()) { std::filesystem::create_directory(runtime, root); }

Scratch::~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> Listing(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    return names;
}

}  // namespace quellgate::testing
