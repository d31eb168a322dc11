#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fakes/fakes.h"
#include "shell/quellgate.h"

namespace quellgate::testing {

// The controller wired to fakes of every seam, as the Windows front end wires
// it to the real ones.
class App : public ::testing::Test {
protected:
    // Builds the controller; tests arrange the fakes first.
    Quellgate& Start() {
        app_ = std::make_unique<Quellgate>(
            Platform{settings, desktop, textCase, dialogs, autostart, process, files}, view);
        started = app_->Form_Load();
        return *app_;
    }
    Quellgate& app() { return *app_; }

    std::string BlocklistPath() const { return process.folder + "\\blocklist"; }

    fakes::Journal journal;
    fakes::MemorySettingsStore settings{&journal};
    fakes::FakeDesktop desktop;
    fakes::UnicodeTextCase textCase;
    fakes::ScriptedDialogs dialogs;
    fakes::FakeAutostart autostart;
    fakes::FakeProcess process;
    fakes::MemoryFileStore files;
    fakes::RecordingView view;
    bool started = false;

private:
    std::unique_ptr<Quellgate> app_;
};

}  // namespace quellgate::testing
