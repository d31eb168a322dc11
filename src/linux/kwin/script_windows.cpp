#include "linux/kwin/script_windows.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QFile>
#include <chrono>
#include <thread>

#include "linux/system/file_store.h"
#include "linux/system/process.h"
#include "text/utf8.h"

namespace quellgate::kwin {
namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kScriptName = QStringLiteral("quellgate");
// Where the script calls, as window_script.js names them.
const QString kOwnPath = QStringLiteral("/org/quellgate/KWin");
const QString kOwnInterface = QStringLiteral("org.quellgate.KWin");
constexpr std::string_view kBusNamePlace = "@QUELLGATE_BUS_NAME@";
constexpr int kAnswerWithinMs = 2000;
constexpr std::chrono::seconds kCheckEvery{3};

std::string Text(const QString& text) { return text.toStdString(); }

// A call to KWin that waits for its answer, without running the event loop
// meanwhile. Never starts a KWin where none runs.
QDBusMessage CallKWin(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kKWin, path, interface, method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kAnswerWithinMs);
}

bool Failed(const QDBusMessage& answer) { return answer.type() != QDBusMessage::ReplyMessage; }

// The script, told where to call back, in a file of the instance's that KWin
// (the same user) can read.
Outcome WriteScript(const std::string& path, const QString& busName) {
    QFile resource(QStringLiteral(":/kwin/window_script.js"));
    if (!resource.open(QIODevice::ReadOnly))
        return Outcome::Failure("the script is missing from the program");
    std::string script = resource.readAll().toStdString();
    if (const auto place = script.find(kBusNamePlace); place != std::string::npos)
        script.replace(place, kBusNamePlace.size(), Text(busName));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return Outcome::Failure("there is no private folder for the script");
    return posix::PosixFileStore(path.substr(0, slash)).Replace(path.substr(slash + 1), script);
}

// Loads the script in that file in place of any of the same name, and runs
// it; why that failed, or nothing.
std::string LoadScript(const std::string& path) {
    const QDBusMessage unloaded =
        CallKWin(kScripting, kScriptingInterface, QStringLiteral("unloadScript"), {kScriptName});
    if (Failed(unloaded))
        return "KWin does not answer on the session bus (" + Text(unloaded.errorMessage()) + ")";
    // An unloaded script goes once KWin's event loop comes round again:
    // until then its name still counts as loaded, and a load is refused.
    int id = -1;
    for (int attempt = 0; attempt < 10 && id < 0; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const QDBusMessage loaded = CallKWin(kScripting, kScriptingInterface, QStringLiteral("loadScript"),
                                             {QString::fromStdString(path), kScriptName});
        if (Failed(loaded)) return "KWin did not load " + path + " (" + Text(loaded.errorMessage()) + ")";
        id = loaded.arguments().value(0).toInt();
    }
    if (id < 0) return "KWin would not load " + path;
    // KWin 6 names the script's object /Scripting/Script<id>, KWin 5 /<id>.
    for (const QString& object :
         {QStringLiteral("/Scripting/Script%1").arg(id), QStringLiteral("/%1").arg(id)}) {
        const QDBusMessage ran =
            CallKWin(object, QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run"));
        if (!Failed(ran)) return "";
        if (ran.errorName() != QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"))
            return "KWin did not run " + path + " (" + Text(ran.errorMessage()) + ")";
    }
    return "KWin loaded " + path + " but offers no way to run it";
}

}  // namespace

ScriptWindows::ScriptWindows() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        failure_ = "the session bus cannot be reached (" + Text(bus.lastError().message()) + ")";
        return;
    }
    bus.registerVirtualObject(kOwnPath, this);
    restarts_ = std::make_unique<QDBusServiceWatcher>(kKWin, bus, QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(restarts_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
                     [this](const QString&, const QString&, const QString& owner) {
                         captions_.clear();
                         if (!owner.isEmpty()) Load();
                     });
    checks_.callOnTimeout(this, [this] { Check(); });
    checks_.start(kCheckEvery);
    Load();
}

ScriptWindows::~ScriptWindows() {
    if (!restarts_) return;
    QDBusConnection::sessionBus().unregisterObject(kOwnPath);
    if (!kwin_.isEmpty())
        CallKWin(kScripting, kScriptingInterface, QStringLiteral("unloadScript"), {kScriptName});
    unlink(posix::InstanceFilePath(".kwin.js").c_str());
}

void ScriptWindows::Load() {
    heard_ = false;
    silentChecks_ = 0;
    kwin_.clear();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusReply<QString> owner = bus.interface()->serviceOwner(kKWin);
    if (!owner.isValid()) {
        failure_ = "KWin is not on the session bus";
        return;
    }
    const std::string path = posix::InstanceFilePath(".kwin.js");
    if (const Outcome written = WriteScript(path, bus.baseService()); !written) {
        failure_ = "the script could not be written to " + path + " (" + written.reason() + ")";
        return;
    }
    kwin_ = owner.value();
    failure_ = LoadScript(path);
}

void ScriptWindows::Check() {
    if (!heard_) {
        // KWin 5 numbers a script by how many are loaded: after unloads, the
        // number it gave may name another script's object, and the run went
        // there. Starting every loaded script runs ours too.
        if (failure_.empty() && ++silentChecks_ == 1) {
            QDBusMessage start = QDBusMessage::createMethodCall(kKWin, kScripting, kScriptingInterface,
                                                                QStringLiteral("start"));
            start.setAutoStartService(false);
            QDBusConnection::sessionBus().asyncCall(start);
        } else {
            Load();
        }
        return;
    }
    if (stillLoaded_) return;  // the last question is not answered yet
    QDBusMessage question = QDBusMessage::createMethodCall(kKWin, kScripting, kScriptingInterface,
                                                           QStringLiteral("isScriptLoaded"));
    question.setArguments({kScriptName});
    question.setAutoStartService(false);
    stillLoaded_ = std::make_unique<QDBusPendingCallWatcher>(
        QDBusConnection::sessionBus().asyncCall(question, kAnswerWithinMs));
    QObject::connect(stillLoaded_.get(), &QDBusPendingCallWatcher::finished, this, [this] {
        const QDBusPendingReply<bool> answer = *stillLoaded_;
        // Not deleted here: it is the sender of this very signal.
        stillLoaded_.release()->deleteLater();
        if (answer.isValid() && !answer.value()) Load();
    });
}

void ScriptWindows::Visit(const std::function<void(const TopLevelWindow&)>& visit) const {
    for (const auto& [number, caption] : captions_) visit({number, caption, true});
}

QString ScriptWindows::introspect(const QString&) const { return {}; }

bool ScriptWindows::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    // Any program on the bus can call here; only KWin's calls come from the
    // script. Another could empty the list and so stop the blocking.
    if (kwin_.isEmpty() || message.service() != kwin_ || message.interface() != kOwnInterface) {
        connection.send(
            message.createErrorReply(QDBusError::AccessDenied, QStringLiteral("only KWin calls here")));
        return true;
    }
    const QString member = message.member();
    const QString signature = message.signature();
    const QVariantList values = message.arguments();
    const auto number = [&values] { return values.value(0).toString().toULongLong(); };
    if (member == QLatin1String("Reset") && signature.isEmpty()) {
        captions_.clear();
        heard_ = true;
    } else if (member == QLatin1String("Caption") && signature == QLatin1String("ss")) {
        captions_[number()] = SanitizeUtf8(values.value(1).toString().toStdString());
    } else if (member == QLatin1String("Closed") && signature == QLatin1String("s")) {
        captions_.erase(number());
    } else {
        connection.send(message.createErrorReply(QDBusError::UnknownMethod, member));
        return true;
    }
    // KWin waits for an answer to each call, and keeps it in mind until then.
    connection.send(message.createReply());
    return true;
}

}  // namespace quellgate::kwin
