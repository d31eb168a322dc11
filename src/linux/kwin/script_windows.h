#pragma once

#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/desktop.h"

namespace quellgate::kwin {

// The windows as a script of ours inside KWin tells them (window_script.js):
// loaded over the session bus, it stays loaded and calls back with every
// caption and each change, so a tick asks KWin nothing. Only KWin's own
// connection is listened to. A copy left loaded by an earlier run is
// replaced, never doubled; the script is loaded again when KWin restarts or
// someone unloads it, and unloaded when this object goes. Needs the
// application's event loop.
class ScriptWindows final : public QDBusVirtualObject {
public:
    ScriptWindows();
    ~ScriptWindows() override;
    ScriptWindows(const ScriptWindows&) = delete;
    ScriptWindows& operator=(const ScriptWindows&) = delete;

    // What kept the script from being loaded the last time, in words; empty
    // when KWin took it.
    const std::string& Failure() const { return failure_; }

    // Each window, in the order KWin announced them; minimised ones too.
    void Visit(const std::function<void(const TopLevelWindow&)>& visit) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    void Load();
    // Every few seconds: loads the script again when it has gone or is silent.
    void Check();

    std::map<std::uint64_t, std::string> captions_;  // by the script's number for the window
    QString kwin_;                                   // KWin's connection on the bus
    std::string failure_;
    bool heard_ = false;  // from the script loaded last
    int silentChecks_ = 0;
    QTimer checks_;
    std::unique_ptr<QDBusServiceWatcher> restarts_;
    std::unique_ptr<QDBusPendingCallWatcher> stillLoaded_;
};

}  // namespace quellgate::kwin
