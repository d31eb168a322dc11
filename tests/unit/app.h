#pragma once

// The controller wired to fakes of every seam, as a front end wires it to
// the real ones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fakes/fakes.h"
#include "shell/controller.h"

namespace quellgate::testing {

using namespace ::testing;
using Message = fakes::ScriptedDialogs::Message;

inline Matcher<const Message&> Shown(Matcher<const std::string&> text, MessageIcon icon,
                                     std::string caption = "Quellgate",
                                     MessageButtons buttons = MessageButtons::Ok) {
    return AllOf(Field(&Message::text, text), Field(&Message::icon, icon), Field(&Message::caption, caption),
                 Field(&Message::buttons, buttons));
}

class App : public Test, protected fakes::FakeSystem {
protected:
    enum : std::size_t { Facebook, Twitter, LinkedIn, MySpace, YouTube };

    // A new run of the program on the fakes as they stand; false when it ended at once.
    bool Start() {
        app_ = std::make_unique<Controller>(platform());
        return app_->Start(view);
    }
    Controller& app() { return *app_; }
    std::string& File() { return files.files["blocklist"]; }

    void Type(std::optional<std::string> keyword) {
        dialogs.typed.push_back(std::move(keyword));
        app_->AddKeyword();
    }
    // F5 at the next tick, with this typed into the prompt.
    void Unlock(std::optional<std::string> typed) {
        dialogs.messages.clear();
        dialogs.typed.push_back(std::move(typed));
        desktop.taps.insert(Key::F5);
        app_->OnWatchTick();
    }

    fakes::RecordingView view;

private:
    std::unique_ptr<Controller> app_;
};

}  // namespace quellgate::testing
