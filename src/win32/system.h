#pragma once

#include "platform/desktop.h"
#include "platform/file_store.h"
#include "platform/process.h"
#include "platform/text_case.h"
#include "win32/handles.h"

namespace quellgate::win32 {

class WinDesktop : public Desktop {
public:
    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override;
    bool SendAltHome() override;
    bool IsKeyPressed(Key key) override;
};

class WinTextCase : public TextCase {
public:
    std::string LowerCase(std::string_view text) const override;
};

class WinFileStore : public FileStore {
public:
    ReadResult Read(std::string_view path) const override;
    Outcome Replace(std::string_view path, std::string_view content) override;
};

class WinProcess : public Process {
public:
    std::string ExecutableFolder() const override;
    std::string ExecutableBaseName() const override;
    bool ClaimSingleInstance() override;

private:
    UniqueHandle instanceMutex_;
};

}  // namespace quellgate::win32
