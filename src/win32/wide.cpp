#include "win32/wide.h"

#include "text/utf8.h"

namespace quellgate::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Wide(std::string_view utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

std::string Narrow(std::wstring_view utf16) {
    return Utf16ToUtf8({reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()});
}

}  // namespace quellgate::win32
