#pragma once

// How tests and accessibility tools find the program's controls: every
// control built from a layout table, and every menu action, carries the
// object name "control-<id>" with its id from shell/window_layout.h, e.g.
// "control-1020" for the keyword list. Top-level windows are named too.

#include <QString>

namespace quellgate::qt {

inline QString ControlName(int id) { return QStringLiteral("control-%1").arg(id); }

inline constexpr char kMainWindowName[] = "quellgate-main";
inline constexpr char kSplashWindowName[] = "quellgate-splash";
inline constexpr char kInfoWindowName[] = "quellgate-info";
inline constexpr char kChangePasswordWindowName[] = "quellgate-change-password";
inline constexpr char kBlockingHoursWindowName[] = "quellgate-blocking-hours";

}  // namespace quellgate::qt
