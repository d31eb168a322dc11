#include "linux/kwin/fake_keyboard.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <thread>
#include <utility>

#include "fake-input-client.h"
#include "linux/system/process.h"
#include "linux/wayland/wayland_globals.h"
#include "shell/main_view.h"

namespace quellgate::kwin {
namespace {

using std::chrono::milliseconds;

// Key codes are evdev's; 1 is down, 0 up.
constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 4> kAltHome{
    {{KEY_LEFTALT, 1}, {KEY_HOME, 1}, {KEY_HOME, 0}, {KEY_LEFTALT, 0}}};
// Chromium has been seen to miss an Alt+Home whose key events came in one
// instant; a quick typist's keys are this far apart.
constexpr milliseconds kGap{20};
constexpr int kMostQueued = kWatchIntervalMs / static_cast<int>(kAltHome.size() * kGap.count());
// Keys go to the keyboard from version 4 on.
constexpr std::uint32_t kKeysSince = 4;

void DestroyInput(org_kde_kwin_fake_input* input) { org_kde_kwin_fake_input_destroy(input); }
void DestroyRegistry(wl_registry* registry) { wl_registry_destroy(registry); }

}  // namespace

struct FakeKeyboard::Connection {
    std::unique_ptr<wl_display, void (*)(wl_display*)> display{nullptr, wl_display_disconnect};
    std::unique_ptr<wl_registry, void (*)(wl_registry*)> registry{nullptr, DestroyRegistry};
    std::unique_ptr<org_kde_kwin_fake_input, void (*)(org_kde_kwin_fake_input*)> input{nullptr, DestroyInput};
    std::uint32_t version = 0;

    bool Broken() const { return !display || wl_display_get_error(display.get()) != 0; }
    bool Ready() const { return !Broken() && input && version >= kKeysSince; }
};

namespace {

const wl_registry_listener kGlobals = {
    .global =
        [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
            auto& connection = *static_cast<FakeKeyboard::Connection*>(data);
            if (std::string_view(interface) != org_kde_kwin_fake_input_interface.name || connection.input)
                return;
            connection.version = std::min(version, kKeysSince);
            connection.input.reset(static_cast<org_kde_kwin_fake_input*>(
                wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, connection.version)));
        },
    .global_remove = [](void*, wl_registry*, std::uint32_t) {},
};

}  // namespace

FakeKeyboard::FakeKeyboard(milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    Connect();
    while (connection_->display && !connection_->input && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(milliseconds(250));
        Connect();
    }
    gap_.callOnTimeout([this] { SendNext(); });
}

FakeKeyboard::~FakeKeyboard() {
    // No key of a press under way stays down.
    while (sent_ != 0) SendNext();
}

void FakeKeyboard::Connect() {
    connection_.reset();
    connection_ = std::make_unique<Connection>();
    Connection& connection = *connection_;
    nextTry_ = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    connection.display.reset(wl_display_connect(nullptr));
    if (!connection.display) return;
    connection.registry.reset(wl_display_get_registry(connection.display.get()));
    wl_registry_add_listener(connection.registry.get(), &kGlobals, &connection);
    wayland::Roundtrip(connection.display.get(), std::chrono::seconds(1));
    if (connection.input && connection.version >= kKeysSince)
        org_kde_kwin_fake_input_authenticate(connection.input.get(), "Quellgate",
                                             "sends Alt+Home when a window shows a blocked page");
    wl_display_flush(connection.display.get());
}

std::string FakeKeyboard::Failure() const {
    if (!connection_->display) return "no Wayland compositor could be reached (WAYLAND_DISPLAY)";
    if (connection_->Broken()) return "the Wayland connection to KWin broke";
    if (!connection_->input)
        return "KWin does not offer its fake input (org_kde_kwin_fake_input) to " +
               posix::LinkTarget("/proc/self/exe");
    if (connection_->version < kKeysSince) return "this KWin's fake input cannot press keys";
    return "";
}

Outcome FakeKeyboard::Press() {
    if (connection_->Broken() && std::chrono::steady_clock::now() >= nextTry_) {
        presses_ = sent_ = 0;
        gap_.stop();
        Connect();
    }
    if (!connection_->Ready()) return Outcome::Failure(Failure());
    if (presses_ >= kMostQueued) return Outcome::Failure("a tick's worth of Alt+Home waits to be sent");
    wayland::TakePending(connection_->display.get());
    ++presses_;
    if (!gap_.isActive()) {
        SendNext();
        gap_.start(kGap);
    }
    return Outcome::Success();
}

void FakeKeyboard::SendNext() {
    if (presses_ == 0 || !connection_->Ready()) {
        gap_.stop();
        presses_ = sent_ = 0;
        return;
    }
    const auto [key, state] = kAltHome.at(static_cast<std::size_t>(sent_));
    org_kde_kwin_fake_input_keyboard_key(connection_->input.get(), key, state);
    wl_display_flush(connection_->display.get());
    if (++sent_ == static_cast<int>(kAltHome.size())) {
        sent_ = 0;
        if (--presses_ == 0) gap_.stop();
    }
}

}  // namespace quellgate::kwin
