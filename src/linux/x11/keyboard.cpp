#include "linux/x11/keyboard.h"

#include <xcb/xinput.h>

#include <algorithm>

namespace quellgate::x11 {

bool KeyboardMap::Load(Connection& connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection.get());
    if (connection.Broken() || !setup) return false;
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    connection.CountRoundTrip();
    const Reply<xcb_get_keyboard_mapping_reply_t> reply{xcb_get_keyboard_mapping_reply(
        connection.get(), xcb_get_keyboard_mapping(connection.get(), setup->min_keycode, count), nullptr)};
    if (!reply) return false;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    keysyms_.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
    firstKeycode_ = setup->min_keycode;
    keysymsPerKeycode_ = reply->keysyms_per_keycode;
    return true;
}

std::vector<xcb_keycode_t> KeyboardMap::KeycodesOf(xcb_keysym_t keysym) const {
    std::vector<xcb_keycode_t> keycodes;
    if (keysymsPerKeycode_ == 0) return keycodes;
    const std::size_t rows = keysyms_.size() / keysymsPerKeycode_;
    for (std::size_t column = 0; column < keysymsPerKeycode_; ++column)
        for (std::size_t row = 0; row < rows; ++row) {
            const auto keycode = static_cast<xcb_keycode_t>(firstKeycode_ + row);
            if (keysyms_[row * keysymsPerKeycode_ + column] == keysym &&
                std::find(keycodes.begin(), keycodes.end(), keycode) == keycodes.end())
                keycodes.push_back(keycode);
        }
    return keycodes;
}

KeyWatch::KeyWatch(Connection& connection) {
    xcb_connection_t* c = connection.get();
    if (connection.Broken()) return;
    connection.CountRoundTrip();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_input_id);
    if (!extension || !extension->present) return;
    // 2.1 and later deliver raw events even while another client grabs the keyboard.
    connection.CountRoundTrip();
    const Reply<xcb_input_xi_query_version_reply_t> version{
        xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr)};
    if (!version || version->major_version < 2) return;

    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
           XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE};
    const auto selected = xcb_input_xi_select_events_checked(c, connection.Root(), 1, &mask.head);
    const auto keymapCookie = xcb_query_keymap(c);
    connection.CountRoundTrip();
    if (Reply<xcb_generic_error_t> error{xcb_request_check(c, selected)}) {
        xcb_discard_reply(c, keymapCookie.sequence);
        return;
    }
    if (const Reply<xcb_query_keymap_reply_t> keymap{xcb_query_keymap_reply(c, keymapCookie, nullptr)})
        for (std::size_t keycode = 0; keycode < down_.size(); ++keycode)
            down_[keycode] = (keymap->keys[keycode / 8] >> (keycode % 8)) & 1;
    opcode_ = extension->major_opcode;
}

bool KeyWatch::OnEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != XCB_GE_GENERIC) return false;
    const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
    if (opcode_ == 0 || generic.extension != opcode_) return false;
    if (generic.event_type != XCB_INPUT_RAW_KEY_PRESS && generic.event_type != XCB_INPUT_RAW_KEY_RELEASE)
        return false;
    const auto keycode = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event).detail & 0xFF;
    if (generic.event_type == XCB_INPUT_RAW_KEY_PRESS) {
        down_.set(keycode);
        for (Keycodes& pressed : pressedSinceQuery_) pressed.set(keycode);
    } else {
        down_.reset(keycode);
    }
    return true;
}

bool KeyWatch::Query(std::size_t key, std::span<const xcb_keycode_t> keycodes) {
    Keycodes& pressed = pressedSinceQuery_.at(key);
    const bool answer = std::any_of(keycodes.begin(), keycodes.end(), [&](xcb_keycode_t keycode) {
        return down_[keycode] || pressed[keycode];
    });
    pressed.reset();
    return answer;
}

}  // namespace quellgate::x11
