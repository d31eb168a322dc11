#include "linux/x11/xcb_handles.h"

#include <array>
#include <cstring>
#include <utility>

namespace quellgate::x11 {

Connection::Connection(const char* display) {
    int screenNumber = 0;
    connection_.reset(xcb_connect(display, &screenNumber));
    if (Broken()) return;

    auto screens = xcb_setup_roots_iterator(xcb_get_setup(get()));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem > 0) root_ = screens.data->root;

    const std::array<std::pair<const char*, xcb_atom_t*>, 7> names{{
        {"UTF8_STRING", &atoms_.utf8String},
        {"COMPOUND_TEXT", &atoms_.compoundText},
        {"_NET_WM_NAME", &atoms_.netWmName},
        {"WM_STATE", &atoms_.wmState},
        {"_NET_SUPPORTING_WM_CHECK", &atoms_.netSupportingWmCheck},
        {"_NET_CLIENT_LIST", &atoms_.netClientList},
        {"_NET_CLIENT_LIST_STACKING", &atoms_.netClientListStacking},
    }};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(get(), 0, static_cast<std::uint16_t>(std::strlen(names[i].first)),
                                     names[i].first);
    CountRoundTrip();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (Reply<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(get(), cookies[i], nullptr)})
            *names[i].second = reply->atom;
}

xcb_get_property_cookie_t Connection::RequestProperty(xcb_window_t window, xcb_atom_t property,
                                                      std::uint32_t longWords) const {
    return xcb_get_property(get(), 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, longWords);
}

std::string_view Connection::Bytes(const xcb_get_property_reply_t& reply) {
    const int length = xcb_get_property_value_length(&reply);
    if (length <= 0) return {};
    return {static_cast<const char*>(xcb_get_property_value(&reply)), static_cast<std::size_t>(length)};
}

}  // namespace quellgate::x11
