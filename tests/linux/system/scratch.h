#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace quellgate::testing {

// Sets an environment variable (or unsets it, for nothing) until the end of
// the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Each test in a fresh folder of its own: XDG_CONFIG_HOME, XDG_RUNTIME_DIR
// and HOME point into it, and it goes with everything in it afterwards.
class Scratch : public ::testing::Test {
protected:
    Scratch();
    ~Scratch() override;

    const std::filesystem::path root;
    const std::filesystem::path config = root / "config";
    const std::filesystem::path runtime = root / "runtime";
    const std::filesystem::path home = root / "home";

private:
    ScopedEnv configHome_{"XDG_CONFIG_HOME", config.string()};
    ScopedEnv runtimeDir_{"XDG_RUNTIME_DIR", runtime.string()};
    ScopedEnv home_{"HOME", home.string()};
    ScopedEnv failFsync_{"QUELLGATE_TEST_FAIL_FSYNC", std::nullopt};
};

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
std::set<std::string> Listing(const std::filesystem::path& folder);

}  // namespace quellgate::testing
