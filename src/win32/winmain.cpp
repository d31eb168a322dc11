#include "shell/quellgate.h"
#include "win32/dialogs.h"
#include "win32/main_window.h"
#include "win32/registry.h"
#include "win32/system.h"
#include "win32/windows_api.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace quellgate;
    using namespace quellgate::win32;

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    RegistryStore settings;
    WinDesktop desktop;
    WinTextCase textCase;
    WinDialogs dialogs(instance);
    RunKey autostart;
    WinProcess process;
    WinFileStore files;

    OwnerWindow owner(instance);
    MainWindow window(instance, owner.hwnd());
    if (!window.hwnd()) return 1;
    dialogs.SetOwner(window.hwnd());

    Quellgate app({settings, desktop, textCase, dialogs, autostart, process, files}, window);
    window.Attach(app);
    if (!app.Form_Load()) return 0;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
