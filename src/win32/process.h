#pragma once

#include "platform/process.h"
#include "win32/handles.h"

namespace quellgate::win32 {

class WinProcess : public Process {
public:
    std::string ExecutablePath() const override;
    std::string ExecutableName() const override;
    // Per logon session, that is per logged-on user.
    bool ClaimSingleInstance() override;

private:
    UniqueHandle instanceMutex_;
};

// The running executable's full path.
std::wstring ModulePath();

}  // namespace quellgate::win32
