#include "harness.h"

#include <cstdio>
#include <filesystem>
#include <utility>

#include "platform/shadowed_stores.h"
#include "shell/window_layout.h"
#include "win32/settings_store.h"
#include "win32/start_at_logon.h"
#include "win32/wide.h"

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
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void SendKey(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
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
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (Clock::now() < end);
}

ProbeWindow::ProbeWindow(const std::string& caption, bool visible) {
    thread_ = std::thread([this, caption, visible] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ProbeWindow::Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuellgateTestProbe";
        windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        RegisterClassW(&windowClass);
        HWND window = CreateWindowExW(0, L"QuellgateTestProbe", win32::Wide(caption).c_str(),
                                      WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 40, 40, 320, 200,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&altHomes_));
        window_ = window;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    });
    WaitUntil([this] { return window_.load() != nullptr; });
}

ProbeWindow::~ProbeWindow() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

bool ProbeWindow::Focus() const {
    HWND window = window_;
    return WaitUntil(
        [window] {
            if (GetForegroundWindow() == window) return true;
            SetForegroundWindow(window);
            return false;
        },
        3s);
}

LRESULT CALLBACK ProbeWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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

void TapKey(WORD virtualKey) {
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
}

std::wstring WindowsPath(const std::string& path) {
    // Under Wine a Unix path lives on drive Z:.
    std::wstring windows = win32::Wide(path);
    for (auto& c : windows)
        if (c == L'/') c = L'\\';
    if (!windows.empty() && windows[0] == L'\\') windows = L"Z:" + windows;
    return windows;
}

std::wstring ProgramUnderTest() {
    // CTest passes the build's path.
    return WindowsPath(getenv("QUELLGATE_EXE") ? getenv("QUELLGATE_EXE") : "Quellgate.exe");
}

std::string WindowTextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return win32::Narrow(text);
}

std::string DialogText(HWND dialog) { return WindowTextOf(GetDlgItem(dialog, 0xFFFF)); }

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
    std::filesystem::copy_file(ProgramUnderTest(), folder_ + L"\\Quellgate.exe");
}

Program::Program(std::wstring folder) : folder_(std::move(folder)), ownsFolder_(false) {}

Program::~Program() {
    Stop();
    if (!ownsFolder_) return;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder_, ignored);
}

bool Program::Start() {
    process_ = StartAnother();
    // Generous: a cold Wine on a busy machine can take seconds to start a program.
    if (process_.hProcess && WaitUntil([this] { return FindTopWindow(L"QuellgateSplash") != nullptr; }, 30s))
        return true;
    std::fprintf(stderr, "Quellgate showed no splash; running: %d, windows:", Running());
    for (HWND window : VisibleWindows()) std::fprintf(stderr, " \"%s\"", WindowTextOf(window).c_str());
    std::fprintf(stderr, "\n");
    return false;
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
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    process_ = {};
}

HWND Program::MainWindow() const { return FindTopWindow(L"QuellgateMain", false); }

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
                if (ClassOf(window) == L"#32770" && IsWindowVisible(window) &&
                    win32::Wide(WindowTextOf(window)) == caption &&
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
    const std::string text = DialogText(box);
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
        // OK on the warning about the default password.
        if (HWND warning = WaitForDialog(L"Quellgate", 0ms, Kind::MessageBox)) PressButton(warning, IDOK);
        return IsWindowVisible(MainWindow()) != FALSE;
    });
}

bool Program::Exit() {
    PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
    HWND question = WaitForDialog(L"Quellgate", 10s, Kind::MessageBox);
    if (!question || DialogText(question) != "Exit Quellgate?") return false;
    PressButton(question, IDYES);
    return WaitUntil([this] { return !Running(); });
}

void Program::Click(int id) const { PostMessageW(GetDlgItem(MainWindow(), id), BM_CLICK, 0, 0); }

std::string Program::TextOf(int id) const { return WindowTextOf(GetDlgItem(MainWindow(), id)); }

bool Program::Checked(int id) const {
    return SendMessageW(GetDlgItem(MainWindow(), id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> Program::Keywords() const {
    HWND list = GetDlgItem(MainWindow(), layout::kKeywordList);
    std::vector<std::string> keywords;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        const auto length = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        keywords.push_back(win32::Narrow(text));
    }
    return keywords;
}

std::string Program::ReadBlocklist() const {
    win32::UniqueFile file(CreateFileW(BlocklistPath().c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    std::string content(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    content.resize(read);
    return content;
}

void ClearStoredState() {
    win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Quellgate.exe") != 0) continue;
        win32::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (!process) continue;
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
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
