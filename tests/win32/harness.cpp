#include "harness.h"

#include <filesystem>
#include <utility>

#include "platform/shadowed_stores.h"
#include "shell/window_layout.h"
#include "win32/file_store.h"
#include "win32/start_at_logon.h"
#include "win32/wide.h"
#include "win32/window_text.h"

#include <sddl.h>
#include <tlhelp32.h>

namespace quellgate::testing {
namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> TopWindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& [id, found] = *reinterpret_cast<decltype(search)*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == id) found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

void SetDacl(const win32::RegistryStore& store, const wchar_t* sddl) {
    win32::UniqueKey key;
    if (RegCreateKeyExW(store.Root(), store.Path(), 0, nullptr, 0, WRITE_DAC | store.View(), nullptr,
                        key.out(), nullptr))
        return;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSKEYDOWN:
        if (wParam == VK_HOME && (lParam & (1 << 29)))
            ++*reinterpret_cast<std::atomic<int>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    case WM_SYSKEYUP:
    case WM_SYSCHAR: return 0;  // Alt must not open the system menu
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = Clock::now() + deadline;
    while (!condition()) {
        if (Clock::now() > end) return false;
        Pump(10ms);
    }
    return true;
}

void Pump(std::chrono::milliseconds duration) {
    const auto end = Clock::now() + duration;
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (Clock::now() < end);
}

ProbeWindow::ProbeWindow(const std::string& caption, bool visible) {
    thread_ = std::thread([this, caption, visible] {
        const WNDCLASSW windowClass{0,
                                    &ProbeProc,
                                    0,
                                    0,
                                    GetModuleHandleW(nullptr),
                                    nullptr,
                                    nullptr,
                                    GetSysColorBrush(COLOR_WINDOW),
                                    nullptr,
                                    L"QuellgateTestProbe"};
        RegisterClassW(&windowClass);
        HWND window = CreateWindowExW(0, L"QuellgateTestProbe", win32::Wide(caption).c_str(),
                                      WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 40, 40, 320, 200,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&altHomes_));
        window_ = window;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    });
    WaitUntil([this] { return window_.load() != nullptr; });
}

ProbeWindow::~ProbeWindow() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

bool ProbeWindow::Focus() const {
    return WaitUntil(
        [window = window_.load()] { return SetForegroundWindow(window), GetForegroundWindow() == window; },
        3s);
}

void TapKey(WORD virtualKey) {
    INPUT keys[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

std::wstring WindowsPath(const std::string& path) {
    std::wstring windows = win32::Wide(path);  // under Wine a Unix path lives on drive Z:
    for (auto& c : windows)
        if (c == L'/') c = L'\\';
    return !windows.empty() && windows[0] == L'\\' ? L"Z:" + windows : windows;
}

HWND FirstEdit(HWND dialog) { return FindWindowExW(dialog, nullptr, L"Edit", nullptr); }

void TypeInto(HWND edit, const std::string& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(win32::Wide(text).c_str()));
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

Program::Program() {
    static int count = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"quellgate-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++count);
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    const char* built = std::getenv("QUELLGATE_EXE");  // CTest names the build's
    std::filesystem::copy_file(WindowsPath(built ? built : "Quellgate.exe"), folder_ + L"\\Quellgate.exe");
}

Program::~Program() {
    Stop();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder_, ignored);
}

std::string Program::ReadBlocklist() const {
    const auto read = win32::WinFolderStore([this] { return folder_; }).Read("blocklist");
    const auto* content = std::get_if<std::string>(&read);
    return content ? *content : "<missing>";
}

bool Program::Start() {
    process_ = StartAnother();
    // Generous: a cold Wine on a busy machine can take seconds to start a program.
    return process_.hProcess &&
           WaitUntil([this] { return FindTopWindow(L"QuellgateSplash") != nullptr; }, 30s);
}

PROCESS_INFORMATION Program::StartAnother() const {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + folder_ + L"\\Quellgate.exe\"";
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                   &startup, &process);
    if (process.hThread) CloseHandle(process.hThread);
    return process;
}

bool Program::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

void Program::Stop() {
    if (!process_.hProcess) return;
    if (Running()) TerminateProcess(process_.hProcess, 1), WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess);
    process_ = {};
}

HWND Program::FindTopWindow(const wchar_t* className, bool visibleOnly) const {
    for (HWND window : TopWindowsOf(Id()))
        if (ClassOf(window) == className && (!visibleOnly || IsWindowVisible(window))) return window;
    return nullptr;
}

std::vector<HWND> Program::VisibleWindows() const {
    std::vector<HWND> visible;
    for (HWND window : TopWindowsOf(Id()))
        if (IsWindowVisible(window)) visible.push_back(window);
    return visible;
}

HWND Program::WaitForDialog(const std::wstring& caption, std::chrono::milliseconds deadline,
                            Kind kind) const {
    return WaitForDialogOf(Id(), caption, deadline, kind);
}

HWND WaitForDialogOf(DWORD processId, const std::wstring& caption, std::chrono::milliseconds deadline,
                     Program::Kind kind) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId))
                // Visible only once its WM_INITDIALOG has run.
                if (ClassOf(window) == L"#32770" && IsWindowVisible(window) &&
                    win32::Wide(win32::WindowText(window)) == caption &&
                    (kind == Program::Kind::Any ||
                     (kind == Program::Kind::InputBox) == (FirstEdit(window) != nullptr)))
                    return (found = window) != nullptr;
            return false;
        },
        deadline);
    return found;
}

std::string Program::Acknowledge(const std::wstring& caption) const {
    HWND box = WaitForDialog(caption, 10s, Kind::MessageBox);
    if (!box) return "<no message>";
    const std::string text = win32::WindowText(GetDlgItem(box, 0xFFFF));
    PressButton(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); }, 3s);
    return text;
}

bool Program::Unlock(const std::string& password) {
    TapKey(VK_F5);
    HWND prompt = WaitForDialog(L"Quellgate", 10s, Kind::InputBox);
    if (!prompt) return false;
    TypeInto(FirstEdit(prompt), password);
    PressButton(prompt, IDOK);
    return WaitUntil([&] {
        if (HWND warning = WaitForDialog(L"Quellgate", 0ms, Kind::MessageBox)) PressButton(warning, IDOK);
        return IsWindowVisible(MainWindow()) != FALSE;
    });
}

bool Program::Exit() {
    PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
    HWND question = WaitForDialog(L"Quellgate", 10s, Kind::MessageBox);
    if (!question || win32::WindowText(GetDlgItem(question, 0xFFFF)) != "Exit Quellgate?") return false;
    PressButton(question, IDYES);
    return WaitUntil([this] { return !Running(); });
}

void Program::Click(int id) const { PostMessageW(GetDlgItem(MainWindow(), id), BM_CLICK, 0, 0); }

std::string Program::TextOf(int id) const { return win32::WindowText(GetDlgItem(MainWindow(), id)); }

bool Program::Checked(int id) const {
    return SendMessageW(GetDlgItem(MainWindow(), id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> Program::Keywords() const {
    HWND list = GetDlgItem(MainWindow(), layout::kKeywordList);
    std::vector<std::string> keywords;
    for (LRESULT i = 0, count = SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        keywords.push_back(win32::Narrow(text));
    }
    return keywords;
}

void ClearStoredState() {
    const win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Quellgate.exe") != 0) continue;
        const win32::UniqueHandle process(
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process) TerminateProcess(process.get(), 1), WaitForSingleObject(process.get(), 5000);
    }
    for (const win32::RegistryStore& store : {win32::MachineSettings(), win32::OwnSettings()}) {
        AllowWrites(store);
        std::wstring path = store.Path();
        path.resize(path.find(L"\\Korvane"));
        win32::UniqueKey parent;
        if (RegOpenKeyExW(store.Root(), path.c_str(), 0, KEY_ALL_ACCESS | store.View(), parent.out()) == 0)
            RegDeleteTreeW(parent.get(), L"Korvane");
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, win32::WinStartAtLogon::kRunKeyPath, L"Quellgate");
}

std::optional<std::string> StoredSetting(const char* name) {
    win32::RegistryStore machine = win32::MachineSettings(), own = win32::OwnSettings();
    return ShadowedSettings(machine, own).Read(name);
}

void StoreSetting(const char* name, const std::string& value) { win32::MachineSettings().Write(name, value); }

void DenyWrites(const win32::RegistryStore& store) { SetDacl(store, L"D:P(A;;KR;;;WD)(A;;SDWD;;;WD)"); }

void AllowWrites(const win32::RegistryStore& store) { SetDacl(store, L"D:P(A;;KA;;;WD)"); }

std::optional<std::wstring> RunEntry() {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, win32::WinStartAtLogon::kRunKeyPath, L"Quellgate", RRF_RT_REG_SZ,
                     nullptr, data, &size))
        return std::nullopt;
    return std::wstring(data);
}

}  // namespace quellgate::testing
