#include "linux/x11/window_list.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "linux/x11/captions.h"

namespace quellgate::x11 {
namespace {

constexpr std::uint32_t kCaptionWords = 1024;  // 4 KiB, far more than the 255 characters matched
constexpr std::uint32_t kListWords = 1u << 16;
constexpr std::uint32_t kWithdrawnState = 0;
constexpr std::uint32_t kWatchedEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

template <typename Event>
const Event& As(const xcb_generic_event_t& event) {
    return reinterpret_cast<const Event&>(event);
}

// The first 32-bit item of a property of `type`, if it has one.
std::optional<std::uint32_t> FirstWord(const xcb_get_property_reply_t* reply, xcb_atom_t type) {
    if (!reply || reply->type != type || reply->format != 32 || xcb_get_property_value_length(reply) < 4)
        return std::nullopt;
    std::uint32_t word = 0;
    std::memcpy(&word, xcb_get_property_value(reply), sizeof word);
    return word;
}

// The caption a reply holds; nullopt when the window has no such property.
std::optional<std::string> Caption(const xcb_get_property_reply_t* reply, const Atoms& atoms) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8) return std::nullopt;
    std::string text = CaptionText(Connection::Bytes(*reply), reply->type, atoms);
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

void WindowList::OnEvent(const xcb_generic_event_t& event) {
    const std::uint32_t sequence = event.full_sequence;
    switch (event.response_type & 0x7F) {
    case XCB_PROPERTY_NOTIFY: OnPropertyNotify(As<xcb_property_notify_event_t>(event), sequence); break;
    case XCB_DESTROY_NOTIFY: {
        const auto& destroyed = As<xcb_destroy_notify_event_t>(event);
        if (destroyed.window == wmCheck_) wmStale_ = true;
        // The server hands a destroyed window's id to the next client that
        // connects: a listing may already hold a new window by that id.
        if (Forget(destroyed.window)) orderStale_ = true;
        break;
    }
    case XCB_CREATE_NOTIFY: OnStructureChange(As<xcb_create_notify_event_t>(event).parent, sequence); break;
    case XCB_REPARENT_NOTIFY:
        OnStructureChange(As<xcb_reparent_notify_event_t>(event).event, sequence);
        break;
    case XCB_CONFIGURE_NOTIFY:  // may have restacked
        OnStructureChange(As<xcb_configure_notify_event_t>(event).event, sequence);
        break;
    case XCB_CIRCULATE_NOTIFY:
        OnStructureChange(As<xcb_circulate_notify_event_t>(event).event, sequence);
        break;
    case XCB_MAP_NOTIFY: {
        const auto& mapped = As<xcb_map_notify_event_t>(event);
        OnMapChange(mapped.event, mapped.window, true, sequence);
        break;
    }
    case XCB_UNMAP_NOTIFY: {
        const auto& unmapped = As<xcb_unmap_notify_event_t>(event);
        OnMapChange(unmapped.event, unmapped.window, false, sequence);
        break;
    }
    default: break;
    }
}

void WindowList::OnPropertyNotify(const xcb_property_notify_event_t& event, std::uint32_t sequence) {
    const Atoms& atoms = connection_.KnownAtoms();
    if (event.window == connection_.Root()) {
        const bool list = event.atom == atoms.netClientList || event.atom == atoms.netClientListStacking;
        if (event.atom == atoms.netSupportingWmCheck || (list && !FromWindowManager()))
            wmStale_ = true;
        else if (list && !SentBefore(sequence, orderFetchedAt_))
            orderStale_ = true;
        return;
    }
    const auto found = windows_.find(event.window);
    if (found == windows_.end()) return;
    Window& window = found->second;
    if (event.atom == XCB_ATOM_WM_NAME || event.atom == atoms.netWmName) {
        if (!SentBefore(sequence, window.captionFetchedAt)) window.captionStale = true;
    } else if (event.atom == atoms.wmState && FromWindowManager()) {
        if (!SentBefore(sequence, window.stateFetchedAt)) window.stateStale = true;
    }
}

void WindowList::OnStructureChange(xcb_window_t parent, std::uint32_t sequence) {
    if (!FromWindowManager() && parent == connection_.Root() && !SentBefore(sequence, orderFetchedAt_))
        orderStale_ = true;
}

void WindowList::OnMapChange(xcb_window_t parent, xcb_window_t window, bool mapped, std::uint32_t sequence) {
    if (FromWindowManager() || parent != connection_.Root()) return;
    const auto found = windows_.find(window);
    if (found != windows_.end() && !SentBefore(sequence, found->second.stateFetchedAt))
        found->second.visible = mapped;  // a child of the root is viewable while mapped
}

bool WindowList::Forget(xcb_window_t window) {
    if (windows_.erase(window) == 0) return false;
    order_.erase(std::find(order_.begin(), order_.end(), window));
    return true;
}

void WindowList::Refresh() {
    if (connection_.Broken()) return;
    if (wmStale_) CheckWindowManager();
    if (orderStale_) FetchOrder();
    FetchStaleWindows();
}

void WindowList::Visit(const std::function<void(const TopLevelWindow&)>& visit) const {
    for (const xcb_window_t id : order_) {
        const Window& window = windows_.at(id);
        visit(TopLevelWindow{id, window.caption, window.visible});
    }
}

void WindowList::CheckWindowManager() {
    xcb_connection_t* c = connection_.get();
    const xcb_atom_t checkAtom = connection_.KnownAtoms().netSupportingWmCheck;
    wmStale_ = false;
    connection_.CountRoundTrip();
    const Reply<xcb_get_property_reply_t> rootCheck{
        xcb_get_property_reply(c, connection_.RequestProperty(connection_.Root(), checkAtom, 1), nullptr)};
    const auto check = FirstWord(rootCheck.get(), XCB_ATOM_WINDOW);
    bool confirmed = false;
    if (check && *check != XCB_WINDOW_NONE) {
        // A manager that left may leave the root's property behind, but its
        // check window goes with it: hear of that, and confirm it is there now.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, *check, XCB_CW_EVENT_MASK, &mask);
        connection_.CountRoundTrip();
        const Reply<xcb_get_property_reply_t> own{
            xcb_get_property_reply(c, connection_.RequestProperty(*check, checkAtom, 1), nullptr)};
        confirmed = FirstWord(own.get(), XCB_ATOM_WINDOW) == check;
    }
    wmCheck_ = confirmed ? *check : xcb_window_t{XCB_WINDOW_NONE};
    UseSource(confirmed ? Source::WindowManager : Source::RootChildren);
}

void WindowList::UseSource(Source source) {
    if (source == source_ && rootWatched_) return;
    source_ = source;
    rootWatched_ = true;
    windows_.clear();
    order_.clear();
    orderStale_ = true;
    // Without a manager the root's children are the top-level windows, and
    // their comings and goings are the root's substructure events. With one,
    // those would only be a stream of frame moves.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE |
                               (source == Source::RootChildren ? XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY : 0);
    xcb_change_window_attributes(connection_.get(), connection_.Root(), XCB_CW_EVENT_MASK, &mask);
}

void WindowList::FetchOrder() {
    xcb_connection_t* c = connection_.get();
    const xcb_window_t root = connection_.Root();
    orderStale_ = false;
    std::vector<xcb_window_t> order;
    if (FromWindowManager()) {
        const auto stackingCookie =
            connection_.RequestProperty(root, connection_.KnownAtoms().netClientListStacking, kListWords);
        const auto listCookie =
            connection_.RequestProperty(root, connection_.KnownAtoms().netClientList, kListWords);
        orderFetchedAt_ = stackingCookie.sequence;
        connection_.CountRoundTrip();
        const Reply<xcb_get_property_reply_t> stacking{xcb_get_property_reply(c, stackingCookie, nullptr)};
        const Reply<xcb_get_property_reply_t> list{xcb_get_property_reply(c, listCookie, nullptr)};
        const auto* usable = stacking && stacking->type == XCB_ATOM_WINDOW ? stacking.get()
                             : list && list->type == XCB_ATOM_WINDOW       ? list.get()
                                                                           : nullptr;
        if (!usable || usable->format != 32) {
            UseSource(Source::RootChildren);  // a manager that keeps no client list
            FetchOrder();
            return;
        }
        const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(usable));
        order.assign(ids, ids + xcb_get_property_value_length(usable) / 4);
    } else {
        const auto cookie = xcb_query_tree(c, root);
        orderFetchedAt_ = cookie.sequence;
        connection_.CountRoundTrip();
        const Reply<xcb_query_tree_reply_t> tree{xcb_query_tree_reply(c, cookie, nullptr)};
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            order.assign(children, children + xcb_query_tree_children_length(tree.get()));
        }
    }
    std::unordered_map<xcb_window_t, Window> kept;
    order_.clear();
    for (const xcb_window_t id : order) {
        if (kept.contains(id)) continue;
        if (const auto found = windows_.find(id); found != windows_.end())
            kept.insert(windows_.extract(found));
        else
            kept.try_emplace(id);
        order_.push_back(id);
    }
    windows_ = std::move(kept);
}

void WindowList::FetchStaleWindows() {
    xcb_connection_t* c = connection_.get();
    const Atoms& atoms = connection_.KnownAtoms();
    struct Pending {
        xcb_window_t id;
        Window* window;
        bool caption, state;
        xcb_get_property_cookie_t netName{}, wmName{}, wmState{};
        xcb_get_window_attributes_cookie_t attributes{};
    };
    std::vector<Pending> pending;
    for (const xcb_window_t id : order_) {
        Window& window = windows_.at(id);
        if (!window.captionStale && !window.stateStale) continue;
        Pending p{id, &window, window.captionStale, window.stateStale};
        // Watch first: a change made while the properties are read is then
        // heard of, not lost.
        if (!window.watched) {
            xcb_change_window_attributes(c, id, XCB_CW_EVENT_MASK, &kWatchedEvents);
            window.watched = true;
        }
        if (p.caption) {
            p.netName = connection_.RequestProperty(id, atoms.netWmName, kCaptionWords);
            p.wmName = connection_.RequestProperty(id, XCB_ATOM_WM_NAME, kCaptionWords);
            window.captionFetchedAt = p.netName.sequence;
            window.captionStale = false;
        }
        if (p.state) {
            if (FromWindowManager()) {
                p.wmState = connection_.RequestProperty(id, atoms.wmState, 1);
                window.stateFetchedAt = p.wmState.sequence;
            } else {
                p.attributes = xcb_get_window_attributes(c, id);
                window.stateFetchedAt = p.attributes.sequence;
            }
            window.stateStale = false;
        }
        pending.push_back(p);
    }
    if (pending.empty()) return;
    connection_.CountRoundTrip();
    for (const Pending& p : pending) {
        bool gone = false;
        if (p.caption) {
            const Reply<xcb_get_property_reply_t> net{xcb_get_property_reply(c, p.netName, nullptr)};
            const Reply<xcb_get_property_reply_t> plain{xcb_get_property_reply(c, p.wmName, nullptr)};
            p.window->caption = Caption(net.get(), atoms).value_or(Caption(plain.get(), atoms).value_or(""));
            gone = !net || !plain;
        }
        if (p.state && FromWindowManager()) {
            const Reply<xcb_get_property_reply_t> state{xcb_get_property_reply(c, p.wmState, nullptr)};
            // A managed client without WM_STATE is taken as shown.
            p.window->visible = FirstWord(state.get(), atoms.wmState) != kWithdrawnState;
            gone = gone || !state;
        } else if (p.state) {
            const Reply<xcb_get_window_attributes_reply_t> attributes{
                xcb_get_window_attributes_reply(c, p.attributes, nullptr)};
            p.window->visible = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            gone = gone || !attributes;
        }
        if (gone) {
            // Destroyed before it was watched, so no DestroyNotify will say so.
            // Its id may soon name a new window: the next listing asks afresh.
            Forget(p.id);
            orderStale_ = true;
        }
    }
}

}  // namespace quellgate::x11
