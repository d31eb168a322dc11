#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quellgate {

// Valid UTF-8 from any bytes: each byte that does not belong to a well-formed
// sequence becomes U+FFFD, NUL bytes are dropped.
std::string SanitizeUtf8(std::string_view bytes);
// Whether SanitizeUtf8 would give the bytes back unchanged.
bool IsValidUtf8(std::string_view bytes);

// UTF-16 and UTF-8, either way. Unpaired surrogates and broken UTF-8 become
// U+FFFD, so text from other programs is always read and never refused.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

std::size_t CharacterCount(std::string_view text);

// Valid UTF-8 with every run of control characters (C0, DEL, C1 and the
// Unicode line and paragraph separators) turned into one space.
std::string ControlRunsToSpaces(std::string_view text);
bool HasControlCharacters(std::string_view text);

// The first `count` characters (code points) of valid UTF-8 text.
std::string_view FirstCharacters(std::string_view text, std::size_t count);

// The text, or its first `count` characters and an ellipsis.
std::string Abbreviated(std::string_view text, std::size_t count);

}  // namespace quellgate
