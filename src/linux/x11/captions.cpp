#include "linux/x11/captions.h"

#include <algorithm>

#include "text/utf8.h"

namespace quellgate::x11 {
namespace {

constexpr char kEscape = '\x1B';
constexpr unsigned char kControlSequence = 0x9B;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void AppendLatin1(std::string& out, unsigned char c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != '\0') AppendLatin1(out, static_cast<unsigned char>(c));
    return out;
}

std::string CompoundTextToUtf8(std::string_view text) {
    std::string out;
    bool leftIsAscii = true;    // GL, bytes 0x20-0x7F
    bool rightIsLatin1 = true;  // GR, bytes 0xA0-0xFF
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == static_cast<unsigned char>(kEscape)) {
            std::size_t end = i + 1;
            while (end < text.size() && text[end] >= 0x20 && text[end] <= 0x2F) ++end;  // intermediates
            if (end >= text.size()) break;
            const std::string_view intermediates = text.substr(i + 1, end - i - 1);
            const char final = text[end];
            i = end + 1;
            if (intermediates == "%" && final == 'G') {
                // A UTF-8 segment runs to ESC % @ or to the end.
                const std::size_t close = text.find("\x1B%@", i);
                out += SanitizeUtf8(text.substr(i, close == std::string_view::npos ? close : close - i));
                i = close == std::string_view::npos ? text.size() : close + 3;
            } else if (intermediates == "%/" && i + 2 <= text.size()) {
                // An extended segment says its own length: skip it.
                const std::size_t length = (static_cast<unsigned char>(text[i]) & 0x7F) * 128u +
                                           (static_cast<unsigned char>(text[i + 1]) & 0x7F);
                out += kReplacement;
                i = std::min(text.size(), i + 2 + length);
            } else if (intermediates == "(" || intermediates == "$(" || intermediates == "$") {
                leftIsAscii = intermediates == "(" && final == 'B';
            } else if (intermediates == "-" || intermediates == ")" || intermediates == "$)") {
                rightIsLatin1 = intermediates == "-" && final == 'A';
            }
            continue;
        }
        if (c == kControlSequence) {  // direction changes; they carry no text
            ++i;
            while (i < text.size() && (text[i] < 0x40 || text[i] > 0x7E)) ++i;
            ++i;
            continue;
        }
        if (c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7F)) {
            if (leftIsAscii || c < 0x21)
                out += static_cast<char>(c);
            else
                out += kReplacement;
        } else if (c >= 0xA0) {
            if (rightIsLatin1)
                AppendLatin1(out, c);
            else
                out += kReplacement;
        }
        ++i;
    }
    return out;
}

std::string CaptionText(std::string_view bytes, xcb_atom_t type, const Atoms& atoms) {
    if (type == XCB_ATOM_STRING) return Latin1ToUtf8(bytes);
    if (type == atoms.compoundText && type != XCB_ATOM_NONE) return CompoundTextToUtf8(bytes);
    return SanitizeUtf8(bytes);
}

}  // namespace quellgate::x11
