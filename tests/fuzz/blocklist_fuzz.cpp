// Any bytes may stand in the blocklist file: a user can edit it, a disk can
// damage it. This target checks, for arbitrary bytes, the properties the rest
// of the program relies on, and aborts on the first one that does not hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "blocklist/blocklist_file.h"
#include "blocklist/network_switches.h"
#include "protect/rotor_cipher.h"
#include "text/utf8.h"

namespace {

using quellgate::Decipher;
using quellgate::DecodeBlocklist;
using quellgate::Encipher;
using quellgate::EncodeBlocklist;
using quellgate::SanitizeUtf8;

void Check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "blocklist_fuzz: property violated: %s\n", property);
    std::fflush(stderr);
    std::abort();
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// The bytes the rotors turn: printable ASCII without the double quote. Kept
// apart from the cipher's tables so a damaged table shows up here.
bool IsCipheredByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte <= 0x7E && byte != '"';
}

// UTF-8 well-formedness checked by decoding code points, a different route
// from SanitizeUtf8's lead-byte table, so a fault there cannot hide itself.
bool IsWellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07u;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3Fu);
        }
        constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// The file's lines, split independently of the code under test: a line ends
// at CR LF, at a lone CR or at a lone LF, and the text after the last break is
// a line when it is not empty.
std::vector<std::string_view> Lines(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (!IsLineBreak(content[i])) continue;
        lines.push_back(content.substr(start, i - start));
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < content.size()) lines.push_back(content.substr(start));
    return lines;
}

void CheckCipher(std::string_view bytes) {
    const std::string ciphered = Encipher(bytes);
    const std::string deciphered = Decipher(bytes);
    Check(ciphered.size() == bytes.size(), "Encipher keeps the length");
    Check(deciphered.size() == bytes.size(), "Decipher keeps the length");
    Check(Decipher(ciphered) == bytes, "Decipher(Encipher(x)) == x");
    Check(Encipher(deciphered) == bytes, "Encipher(Decipher(x)) == x");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (IsCipheredByte(bytes[i])) {
            Check(IsCipheredByte(ciphered[i]), "a ciphered byte stays in the alphabet");
            Check(IsCipheredByte(deciphered[i]), "a deciphered byte stays in the alphabet");
        } else {
            Check(ciphered[i] == bytes[i], "Encipher copies bytes outside the alphabet");
            Check(deciphered[i] == bytes[i], "Decipher copies bytes outside the alphabet");
        }
    }
}

// What reading back the file written for these entries must give.
std::vector<std::string> Expected(const std::vector<std::string>& entries) {
    std::vector<std::string> kept;
    for (const auto& entry : entries)
        if (!quellgate::IsNetworkNameExactly(entry)) kept.push_back(SanitizeUtf8(entry));
    return kept;
}

void CheckRoundTrip(const std::vector<std::string>& entries) {
    const std::vector<std::string> expected = Expected(entries);
    const std::string file = EncodeBlocklist(entries);
    // The cipher keeps lengths, so the file is each kept entry plus CR LF.
    std::size_t bytes = 0;
    for (const auto& entry : entries)
        if (!quellgate::IsNetworkNameExactly(entry)) bytes += entry.size() + 2;
    Check(file.size() == bytes, "the file holds each kept entry and one CR LF");
    Check(file.empty() || file.ends_with("\r\n"), "the file ends with CR LF");
    Check(DecodeBlocklist(file) == expected, "DecodeBlocklist(EncodeBlocklist(e)) gives e without networks");
}

void CheckDecode(std::string_view content) {
    const std::vector<std::string> entries = DecodeBlocklist(content);
    const std::vector<std::string_view> lines = Lines(content);
    Check(entries.size() == lines.size(), "one entry per line");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        Check(SanitizeUtf8(entry) == entry, "a decoded entry is valid UTF-8 without NUL");
        Check(IsWellFormedUtf8(entry), "a decoded entry is well-formed UTF-8");
        Check(entry.find('\0') == std::string::npos, "a decoded entry holds no NUL");
        Check(entry.find_first_of("\r\n") == std::string::npos, "a decoded entry holds no line break");
        Check(entry == SanitizeUtf8(Decipher(lines[i])), "an entry is its line deciphered");
    }

    // Decoded entries, saved and read again, come back unchanged.
    CheckRoundTrip(entries);

    // Raw lines as entries: arbitrary bytes without line breaks come back
    // as their sanitised text.
    CheckRoundTrip(std::vector<std::string>(lines.begin(), lines.end()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckCipher(bytes);
    CheckDecode(bytes);
    return 0;
}
