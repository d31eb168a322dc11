#include "win32/text_case.h"

#include <algorithm>

#include "win32/wide.h"
#include "win32/windows_api.h"

namespace quellgate::win32 {

namespace {

std::string LowerCaseOf(std::string_view text) {
    const std::wstring wide = Wide(text);
    if (wide.empty()) return {};
    const DWORD flags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const auto map = [&](wchar_t* out, int size) {
        return LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.data(), static_cast<int>(wide.size()), out,
                             size, nullptr, nullptr, 0);
    };
    // Lower case nearly always has the same length, so one call usually does;
    // every caption passes here on every tick.
    std::wstring lower(wide.size(), L'\0');
    int length = map(lower.data(), static_cast<int>(lower.size()));
    if (length <= 0) {
        length = map(nullptr, 0);
        if (length <= 0) return std::string(text);
        lower.assign(static_cast<std::size_t>(length), L'\0');
        length = map(lower.data(), length);
    }
    lower.resize(static_cast<std::size_t>(std::max(length, 0)));
    return Narrow(lower);
}

}  // namespace

std::string WinTextCase::LowerCase(std::string_view text) const {
    // A long text goes in pieces cut between characters, so that a huge
    // keyword does not need three more copies of itself at once.
    constexpr std::size_t kPiece = 1 << 16;
    if (text.size() <= kPiece) return LowerCaseOf(text);
    std::string lower;
    lower.reserve(text.size());
    while (!text.empty()) {
        std::size_t cut = std::min(kPiece, text.size());
        while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) ++cut;
        lower += LowerCaseOf(text.substr(0, cut));
        text.remove_prefix(cut);
    }
    return lower;
}

}  // namespace quellgate::win32
