#include "text/utf8.h"

namespace quellgate {
namespace {

// Length of the well-formed sequence at the start of s, or 0.
std::size_t SequenceLength(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto cont = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    const unsigned char lead = b(0);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return cont(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!cont(1) || !cont(2)) return 0;
        if (lead == 0xE0 && b(1) < 0xA0) return 0;  // overlong
        if (lead == 0xED && b(1) > 0x9F) return 0;  // surrogate
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        if (lead == 0xF0 && b(1) < 0x90) return 0;  // overlong
        if (lead == 0xF4 && b(1) > 0x8F) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    const std::string valid = SanitizeUtf8(text);
    std::u16string out;
    out.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size();) {
        const auto lead = static_cast<unsigned char>(valid[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (valid[i + k] & 0x3F);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

std::string SanitizeUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = SequenceLength(bytes);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            bytes.remove_prefix(1);
            continue;
        }
        if (bytes[0] != '\0') out.append(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t length = SequenceLength(bytes);
        if (length == 0 || bytes[0] == '\0') return false;
        bytes.remove_prefix(length);
    }
    return true;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char ch : text)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++count;
    return count;
}

// Bytes of the control character at the front of text, or 0.
static std::size_t ControlLength(std::string_view text) {
    const auto b0 = static_cast<unsigned char>(text[0]);
    const auto b1 = text.size() > 1 ? static_cast<unsigned char>(text[1]) : 0;
    const auto b2 = text.size() > 2 ? static_cast<unsigned char>(text[2]) : 0;
    if (b0 < 0x20 || b0 == 0x7F) return 1;
    if (b0 == 0xC2 && b1 >= 0x80 && b1 <= 0x9F) return 2;
    if (b0 == 0xE2 && b1 == 0x80 && (b2 == 0xA8 || b2 == 0xA9)) return 3;
    return 0;
}

bool HasControlCharacters(std::string_view text) {
    for (; !text.empty(); text.remove_prefix(1))
        if (ControlLength(text) > 0) return true;
    return false;
}

std::string ControlRunsToSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inRun = false;
    while (!text.empty()) {
        if (const std::size_t control = ControlLength(text); control > 0) {
            if (!inRun) out += ' ';
            inRun = true;
            text.remove_prefix(control);
            continue;
        }
        inRun = false;
        out += text[0];
        text.remove_prefix(1);
    }
    return out;
}

std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size() && seen < count; ++seen) {
        do {
            ++end;
        } while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80);
    }
    return text.substr(0, end);
}

std::string Abbreviated(std::string_view text, std::size_t count) {
    const std::string_view shown = FirstCharacters(text, count);
    if (shown.size() == text.size()) return std::string(text);
    return std::string(shown) + "\u2026";
}

}  // namespace quellgate
