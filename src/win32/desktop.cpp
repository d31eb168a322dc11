#include "win32/desktop.h"

#include <algorithm>
#include <array>

#include "win32/error_text.h"
#include "win32/wide.h"

namespace quellgate::win32 {

void WinDesktop::EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) {
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            TopLevelWindow row{
                reinterpret_cast<std::uintptr_t>(window), {}, IsWindowVisible(window) != FALSE};
            // Hidden windows are never matched, so their captions are not read:
            // most top-level windows are hidden, and every read costs a call
            // into the window manager.
            if (row.visible) {
                std::array<wchar_t, 256> caption{};
                const int length = GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()));
                row.caption = Narrow({caption.data(), static_cast<std::size_t>(std::max(length, 0))});
            }
            (*reinterpret_cast<const std::function<void(const TopLevelWindow&)>*>(context))(row);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visit));
}

Outcome WinDesktop::SendAltHome() {
    std::array<INPUT, 4> keys{};
    for (auto& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_MENU;
    keys[1].ki.wVk = VK_HOME;
    keys[1].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    keys[2].ki.wVk = VK_HOME;
    keys[2].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_MENU;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    // The keys' own scan codes, as a keyboard gives them: programs that tell
    // keys by their place (Alt 38, Home E0 47) see the real ones.
    for (auto& key : keys) key.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.ki.wVk, MAPVK_VK_TO_VSC));
    if (SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size())
        return Outcome::Success();
    // Windows refuses input into a program of higher integrity, and says nothing more.
    return Outcome::Refused(ErrorText(GetLastError()));
}

bool WinDesktop::IsKeyPressed(Key key) {
    int virtualKey = VK_F4;
    switch (key) {
    case Key::F4: virtualKey = VK_F4; break;
    case Key::F5: virtualKey = VK_F5; break;
    case Key::F8: virtualKey = VK_F8; break;
    }
    return GetAsyncKeyState(virtualKey) != 0;
}

}  // namespace quellgate::win32
