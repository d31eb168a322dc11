#include "linux/gnome/gnome_desktop.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <memory>
#include <optional>
#include <string_view>

#include "extension_forms.h"
#include "linux/gnome/settings_list.h"
#include "scan/window_scan.h"
#include "text/utf8.h"

namespace quellgate::gnome {
namespace {

const QString kShell = QStringLiteral("org.gnome.Shell");
const QString kShellPath = QStringLiteral("/org/gnome/Shell");
const QString kExtensionsInterface = QStringLiteral("org.gnome.Shell.Extensions");
// The extension's side of these is in extension/windows.js.
const QString kWindowsPath = QStringLiteral("/org/quellgate/Windows");
const QString kWindowsInterface = QStringLiteral("org.quellgate.Windows");
const QString kClientName = QStringLiteral("org.quellgate.Quellgate");
constexpr int kAnswerWithinMs = 1000;
constexpr auto kRetryEvery = std::chrono::seconds(2);

// The shell's names for an extension's states.
constexpr int kEnabled = 1;
constexpr int kDisabled = 2;
constexpr int kInitialized = 6;

QDBusMessage CallShell(const QDBusConnection& bus, const QString& path, const QString& interface,
                       const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kShell, path, interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, kAnswerWithinMs);
}

QVariant ShellProperty(const QDBusConnection& bus, const QString& interface, const QString& name) {
    const QDBusMessage reply = CallShell(bus, kShellPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                         QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// The form of the extension made for this release of the shell.
QString ExtensionUuid(const QDBusConnection& bus) {
    const int release =
        ShellProperty(bus, kShell, QStringLiteral("ShellVersion")).toString().split('.')[0].toInt();
    std::string_view uuid = kExtensionForms[0].uuid;
    for (const auto& form : kExtensionForms)
        if (form.firstRelease <= release) uuid = form.uuid;
    return QString::fromUtf8(uuid.data(), static_cast<qsizetype>(uuid.size()));
}

// What gsettings printed, when it ran and succeeded.
std::optional<QString> Gsettings(const QStringList& arguments) {
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"), arguments);
    if (!gsettings.waitForFinished(5000) || gsettings.exitStatus() != QProcess::NormalExit ||
        gsettings.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(gsettings.readAllStandardOutput()).trimmed();
}

// (id, title) for each window in an a(ts).
template <typename Take>
void ForEachWindow(const QVariant& windows, Take take) {
    const auto list = windows.value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 id = 0;
        QString title;
        list.beginStructure();
        list >> id >> title;
        list.endStructure();
        take(id, title);
    }
    list.endArray();
}

std::string Caption(const QString& title) {
    return std::string(FirstCharacters(SanitizeUtf8(title.toStdString()), kCaptionCharacters));
}

}  // namespace

GnomeDesktop::GnomeDesktop()
    : bus_(QDBusConnection::sessionBus()),
      shellWatch_(kShell, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    // Only the shell's own signals are taken.
    bus_.connect(kShell, kWindowsPath, kWindowsInterface, QStringLiteral("Changed"), this,
                 SLOT(TakeChanges(QDBusMessage)));
    bus_.connect(kShell, kShellPath, kExtensionsInterface, QStringLiteral("ExtensionStateChanged"), this,
                 SLOT(NoteExtensionState(QString, QVariantMap)));
    connect(&shellWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { Lose(); });
}

GnomeDesktop::Status GnomeDesktop::Open() {
    uuid_ = ExtensionUuid(bus_);
    // The extension answers whoever holds this name; while this desktop
    // lives, no one else can take it.
    bus_.interface()->registerService(kClientName, QDBusConnectionInterface::DontQueueService,
                                      QDBusConnectionInterface::DontAllowReplacement);
    const bool enabled = Enable();
    // The shell starts an extension as soon as it sees it enabled; a shell
    // still busy starting the session may take some seconds to answer.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        if (List()) return Status::Running;
        const bool late = std::chrono::steady_clock::now() > deadline;
        const QVariant extensionsOn =
            ShellProperty(bus_, kExtensionsInterface, QStringLiteral("UserExtensionsEnabled"));
        if (extensionsOn.isValid() && !extensionsOn.toBool()) return Status::SwitchedOff;
        const QDBusMessage info =
            CallShell(bus_, kShellPath, kExtensionsInterface, QStringLiteral("GetExtensionInfo"), {uuid_});
        if (info.type() == QDBusMessage::ReplyMessage) {
            const auto extension = qdbus_cast<QVariantMap>(info.arguments().value(0));
            if (extension.isEmpty()) {
                const QString metadata = QStringLiteral("gnome-shell/extensions/%1/metadata.json").arg(uuid_);
                return QStandardPaths::locate(QStandardPaths::GenericDataLocation, metadata).isEmpty()
                           ? Status::NotInstalled
                           : Status::NotLoaded;
            }
            const int state = static_cast<int>(extension.value(QStringLiteral("state")).toDouble());
            if (!enabled && (state == kDisabled || state == kInitialized)) return Status::SwitchedOff;
            if (state != kEnabled && state != kDisabled && state != kInitialized) return Status::Failed;
            // It runs and has not said no, only not answered yet: the list
            // is asked for again as the program goes on.
            if (late && state == kEnabled && listError_ == QDBusError::NoReply) return Status::Running;
        }
        if (late) return Status::Failed;
        QThread::msleep(100);
    }
}

bool GnomeDesktop::Enable() {
    const QString schema = QStringLiteral("org.gnome.shell");
    const std::string uuid = uuid_.toStdString();
    // An extension listed as disabled stays off, whatever the other list says.
    for (const auto& [key, wanted] :
         {std::pair{"enabled-extensions", true}, {"disabled-extensions", false}}) {
        const auto text = Gsettings({QStringLiteral("get"), schema, QString::fromLatin1(key)});
        auto list = text ? SettingsList::Parse(text->toStdString()) : std::nullopt;
        if (!list) return false;
        if (list->Contains(uuid) == wanted) continue;
        if (wanted)
            list->Add(uuid);
        else
            list->Remove(uuid);
        if (!Gsettings({QStringLiteral("set"), schema, QString::fromLatin1(key),
                        QString::fromStdString(list->Text())}))
            return false;
    }
    return true;
}

bool GnomeDesktop::List() {
    const QDBusMessage reply = CallShell(bus_, kWindowsPath, kWindowsInterface, QStringLiteral("List"));
    listError_ = QDBusError(reply).type();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("ta(ts)"))
        return false;
    windows_.clear();
    listedSerial_ = reply.arguments()[0].toULongLong();
    ForEachWindow(reply.arguments()[1],
                  [this](quint64 id, const QString& title) { windows_[id] = Caption(title); });
    listing_ = true;
    return true;
}

void GnomeDesktop::TakeChanges(const QDBusMessage& changes) {
    // A signal sent before the list was made is in the list already.
    if (!listing_ || changes.signature() != QLatin1String("ta(ts)at") ||
        changes.arguments()[0].toULongLong() <= listedSerial_)
        return;
    ForEachWindow(changes.arguments()[1],
                  [this](quint64 id, const QString& title) { windows_[id] = Caption(title); });
    const auto closed = changes.arguments()[2].value<QDBusArgument>();
    closed.beginArray();
    while (!closed.atEnd()) {
        quint64 id = 0;
        closed >> id;
        windows_.erase(id);
    }
    closed.endArray();
}

void GnomeDesktop::NoteExtensionState(const QString& uuid, const QVariantMap& state) {
    if (uuid != uuid_) return;
    if (static_cast<int>(state.value(QStringLiteral("state")).toDouble()) != kEnabled)
        Lose();
    else if (!listing_)
        List();
}

void GnomeDesktop::Lose() {
    listing_ = false;
    windows_.clear();
}

void GnomeDesktop::Recover() {
    const auto now = std::chrono::steady_clock::now();
    if (listing_ || now < nextTry_) return;
    nextTry_ = now + kRetryEvery;
    // Switched off by the user, it is switched on again, as the program
    // writes its start-at-login entry again at every start.
    Enable();
    List();
}

void GnomeDesktop::EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) {
    Recover();
    // Minimised or not, a window counts as shown, as on every desktop.
    for (const auto& [id, caption] : windows_) visit({id, caption, true});
}

Outcome GnomeDesktop::SendAltHome() {
    Recover();
    if (!listing_) return Outcome::Failure("GNOME Shell's extension for Quellgate does not run");
    const QDBusMessage reply =
        CallShell(bus_, kWindowsPath, kWindowsInterface, QStringLiteral("SendAltHome"));
    if (reply.type() != QDBusMessage::ReplyMessage)
        return Outcome::Failure(reply.errorMessage().toStdString());
    return Outcome::Success();
}

bool IsShellOnBus() { return QDBusConnection::sessionBus().interface()->isServiceRegistered(kShell); }

}  // namespace quellgate::gnome
