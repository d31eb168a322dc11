#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "linux/x11/xcb_handles.h"
#include "platform/desktop.h"

namespace quellgate::x11 {

// The top-level windows and their captions, kept up to date from the server's
// events, so that listing them asks the server nothing while nothing changes.
//
// With an EWMH window manager the windows are its clients, in its stacking
// order; a client is visible unless its WM_STATE says Withdrawn, so minimised
// windows count, as they do on Windows. Without one they are the root's
// children, visible while viewable.
class WindowList {
public:
    explicit WindowList(Connection& connection) : connection_(connection) {}

    // Takes note of an event from the desktop's connection, if it concerns the list.
    void OnEvent(const xcb_generic_event_t& event);

    // Fetches what the events said has changed: nothing on a quiet desktop,
    // else one round trip for the order and one for all changed windows.
    void Refresh();

    void Visit(const std::function<void(const TopLevelWindow&)>& visit) const;

    bool FromWindowManager() const { return source_ == Source::WindowManager; }

private:
    enum class Source { WindowManager, RootChildren };
    struct Window {
        std::string caption;
        bool visible = false;
        bool watched = false;
        bool captionStale = true;
        bool stateStale = true;
        // Sequence numbers of the last fetches: events the server sent before
        // them are already in what was fetched.
        std::uint32_t captionFetchedAt = 0;
        std::uint32_t stateFetchedAt = 0;
    };

    void OnPropertyNotify(const xcb_property_notify_event_t& event, std::uint32_t sequence);
    void OnStructureChange(xcb_window_t parent, std::uint32_t sequence);
    void OnMapChange(xcb_window_t parent, xcb_window_t window, bool mapped, std::uint32_t sequence);
    bool Forget(xcb_window_t window);

    void CheckWindowManager();
    void UseSource(Source source);
    void FetchOrder();
    void FetchStaleWindows();

    Connection& connection_;
    Source source_ = Source::RootChildren;
    bool rootWatched_ = false;
    xcb_window_t wmCheck_ = XCB_WINDOW_NONE;
    bool wmStale_ = true;
    bool orderStale_ = true;
    std::uint32_t orderFetchedAt_ = 0;
    std::vector<xcb_window_t> order_;
    std::unordered_map<xcb_window_t, Window> windows_;
};

}  // namespace quellgate::x11
