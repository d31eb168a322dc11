#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/desktop.h"

class QDBusMessage;

namespace quellgate::gnome {

// GNOME Shell on Wayland, through the program's extension of the shell
// (extension/): on the session bus it lists the windows, tells their changes
// as they happen, and sends Alt+Home to the focused window. It answers the
// connection that holds the name org.quellgate.Quellgate, which this desktop
// takes.
//
// The list is kept from the extension's signals, which the program's event
// loop delivers as they come, so a listing asks the shell nothing. While the
// extension does not run (switched off, the shell gone) nothing is listed;
// the extension is then enabled again and its list asked for anew, at most
// every two seconds. No key is seen here: F4, F5 and F8 are commands.
class GnomeDesktop final : public QObject, public Desktop {
    Q_OBJECT

public:
    // What the shell makes of the extension.
    enum class Status {
        Running,
        NotLoaded,     // installed after the shell started, which looks only then
        NotInstalled,  // in no folder the shell reads extensions from
        SwitchedOff,   // user extensions switched off, or the list of them locked
        Failed,        // an error, a release it was not made for, or no answer
    };

    GnomeDesktop();

    // Enables the form of the extension that suits this shell for the user,
    // keeping whatever else is enabled, and takes the list of windows from
    // it, waiting at most some seconds for the shell to start it.
    Status Open();

    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override;
    Outcome SendAltHome() override;
    bool IsKeyPressed(Key) override { return false; }

private slots:
    void TakeChanges(const QDBusMessage& changes);
    void NoteExtensionState(const QString& uuid, const QVariantMap& state);

private:
    // Enables the extension in the user's settings, as the shell's own
    // Extensions app would. False when the settings cannot be read or written.
    bool Enable();
    // The whole list, afresh; false when the extension does not answer.
    bool List();
    void Lose();
    void Recover();

    QDBusConnection bus_;
    QDBusServiceWatcher shellWatch_;
    QString uuid_;
    bool listing_ = false;
    QDBusError::ErrorType listError_ = QDBusError::NoError;  // of the last List
    std::uint64_t listedSerial_ = 0;                         // signals up to this one are in the list
    std::map<std::uint64_t, std::string> windows_;           // by id, which is the order they were made in
    std::chrono::steady_clock::time_point nextTry_;
};

// Whether GNOME Shell is on the session bus.
bool IsShellOnBus();

}  // namespace quellgate::gnome
