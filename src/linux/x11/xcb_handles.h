#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace quellgate::x11 {

// xcb hands out replies and events in malloc'd memory.
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// True when sequence number `a` was sent before `b`; they wrap at 2^32.
inline bool SentBefore(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }

// The atoms the desktop reads; interned once, in one round trip.
struct Atoms {
    xcb_atom_t utf8String = XCB_ATOM_NONE;
    xcb_atom_t compoundText = XCB_ATOM_NONE;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
    xcb_atom_t netSupportingWmCheck = XCB_ATOM_NONE;
    xcb_atom_t netClientList = XCB_ATOM_NONE;
    xcb_atom_t netClientListStacking = XCB_ATOM_NONE;
};

// The desktop's own connection to the X server, apart from the toolkit's, and
// a count of the times it waited for the server.
class Connection {
public:
    // `display` null means $DISPLAY. A server that cannot be reached gives a
    // broken connection, not an exception.
    explicit Connection(const char* display);

    xcb_connection_t* get() const { return connection_.get(); }
    xcb_window_t Root() const { return root_; }
    const Atoms& KnownAtoms() const { return atoms_; }
    bool Broken() const { return xcb_connection_has_error(connection_.get()) != 0; }

    // Every wait for a reply, or for a batch of pipelined replies, counts once.
    void CountRoundTrip() { ++roundTrips_; }
    std::uint64_t RoundTrips() const { return roundTrips_; }

    // Asks for up to `longWords` 32-bit words of a property, of any type; the
    // reply is null when the window is gone or the connection broke.
    xcb_get_property_cookie_t RequestProperty(xcb_window_t window, xcb_atom_t property,
                                              std::uint32_t longWords) const;
    static std::string_view Bytes(const xcb_get_property_reply_t& reply);

private:
    struct Disconnect {
        void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
    };
    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    Atoms atoms_;
    std::uint64_t roundTrips_ = 0;
};

}  // namespace quellgate::x11
