// The Quellgate.exe of a release zip, where the zip was unpacked
// (QUELLGATE_RELEASE_DIR, a Unix path): it carries the project's version,
// starts, and refuses a second start with a message. Run by
// tests/package/package_test.sh, not by CTest.

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "harness.h"
#include "version.h"
#include "win32/wide.h"
#include "win32/window_text.h"

namespace quellgate::testing {
namespace {

std::wstring ReleaseFolder() {
    const char* folder = std::getenv("QUELLGATE_RELEASE_DIR");
    return folder ? WindowsPath(folder) : L"";
}

// The version resource's product version as FILEVERSION holds it, then the
// strings ProductVersion and FileVersion.
std::vector<std::string> Versions(const std::wstring& exe) {
    std::vector<char> info(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    if (info.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return {};
    void* value = nullptr;
    UINT length = 0;
    std::vector<std::string> versions;
    if (VerQueryValueW(info.data(), L"\\", &value, &length)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        versions.push_back(std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." +
                           std::to_string(LOWORD(fixed->dwProductVersionMS)) + "." +
                           std::to_string(HIWORD(fixed->dwProductVersionLS)) + "." +
                           std::to_string(LOWORD(fixed->dwProductVersionLS)));
    }
    for (const wchar_t* name : {L"ProductVersion", L"FileVersion"})
        if (VerQueryValueW(info.data(), (std::wstring(L"\\StringFileInfo\\040904B0\\") + name).c_str(),
                           &value, &length))
            versions.push_back(win32::Narrow(static_cast<const wchar_t*>(value)));
    return versions;
}

// The version in the manifest's own assemblyIdentity.
std::string ManifestVersion(const std::wstring& exe) {
    win32::UniqueModule module(
        LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC resource = module ? FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
    HGLOBAL data = resource ? LoadResource(module.get(), resource) : nullptr;
    if (!data) return "<no manifest>";
    const std::string manifest(static_cast<const char*>(LockResource(data)),
                               SizeofResource(module.get(), resource));
    const std::string identity = R"(name="Quellgate" version=")";
    const auto start = manifest.find(identity);
    if (start == std::string::npos) return "<no identity>";
    const auto version = start + identity.size();
    return manifest.substr(version, manifest.find('"', version) - version);
}

class ReleaseZip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ReleaseFolder().empty()) << "set QUELLGATE_RELEASE_DIR to the unpacked zip";
        ClearStoredState();
    }
    void TearDown() override { ClearStoredState(); }

    const std::wstring exe = ReleaseFolder() + L"\\Quellgate.exe";
};

TEST_F(ReleaseZip, CarriesTheProjectVersion) {
    EXPECT_EQ(Versions(exe),
              (std::vector<std::string>{QUELLGATE_VERSION ".0", QUELLGATE_VERSION, QUELLGATE_VERSION}));
    EXPECT_EQ(ManifestVersion(exe), QUELLGATE_VERSION ".0");
}

TEST_F(ReleaseZip, StartsFromItsFolderAndOnlyOnce) {
    Program program(ReleaseFolder());
    ASSERT_TRUE(program.Start());

    PROCESS_INFORMATION second = program.StartAnother();
    ASSERT_NE(second.hProcess, nullptr);
    win32::UniqueHandle secondProcess(second.hProcess);
    HWND refusal = WaitForDialogOf(second.dwProcessId, L"Quellgate");
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(win32::WindowText(GetDlgItem(refusal, 0xFFFF)), "'");
    PressButton(refusal, IDOK);
    EXPECT_EQ(WaitForSingleObject(secondProcess.get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(program.Running());
}

}  // namespace
}  // namespace quellgate::testing
