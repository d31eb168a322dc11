#include "platform/shadowed_stores.h"
#include "shell/controller.h"
#include "win32/com.h"
#include "win32/desktop.h"
#include "win32/diagnostics.h"
#include "win32/dialogs.h"
#include "win32/file_store.h"
#include "win32/local_clock.h"
#include "win32/main_window.h"
#include "win32/process.h"
#include "win32/settings_store.h"
#include "win32/start_at_logon.h"
#include "win32/text_case.h"
#include "win32/windows_api.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace quellgate;
    using namespace quellgate::win32;

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const ComApartment com;  // for WIC, which decodes the pictures

    // A standard account may not write machine-wide settings nor, often, the
    // executable's folder; then it keeps copies of its own, as Windows did for
    // the program's first release.
    RegistryStore machineSettings = MachineSettings(), ownSettings = OwnSettings();
    ShadowedSettings settings(machineSettings, ownSettings);
    WinFolderStore besideProgram(ExecutableFolder),
        ownFolder([] { return PerUserCopyOf(ExecutableFolder()); });
    ShadowedFiles files(besideProgram, ownFolder);
    WinDesktop desktop;
    WinTextCase textCase;
    WinDialogs dialogs(instance);
    WinStartAtLogon startAtLogon;
    WinProcess process;
    DebugOutput diagnostics;
    WinLocalClock clock;

    Controller controller(
        {settings, desktop, textCase, dialogs, startAtLogon, process, files, diagnostics, clock});
    OwnerWindow owner(instance);
    MainWindow window(instance, owner.hwnd(), controller);
    if (!window.hwnd()) return 1;
    dialogs.SetOwner(window.hwnd());
    if (!controller.Start(window)) return 0;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
