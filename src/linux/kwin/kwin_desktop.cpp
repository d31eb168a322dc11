#include "linux/kwin/kwin_desktop.h"

#include "linux/kwin/fake_input_grant.h"
#include "linux/system/process.h"

namespace quellgate::kwin {
namespace {

// KWin looks at desktop entries again at most every second and a half or so.
constexpr std::chrono::milliseconds kNewGrantSeen{3000};

}  // namespace

KWinDesktop::KWinDesktop() : KWinDesktop(GrantFakeInput(posix::LinkTarget("/proc/self/exe"))) {}

KWinDesktop::KWinDesktop(const FakeInputGrant& grant)
    : grantFailure_(grant.outcome
                        ? ""
                        : FakeInputEntryPath() + " could not be written (" + grant.outcome.reason() + ")"),
      keyboard_(grant.outcome && grant.written ? kNewGrantSeen : std::chrono::milliseconds(0)) {}

std::string KWinDesktop::KeystrokeFailure() const {
    std::string failure = keyboard_.Failure();
    if (!failure.empty() && !grantFailure_.empty()) failure += ": " + grantFailure_;
    return failure;
}

}  // namespace quellgate::kwin
