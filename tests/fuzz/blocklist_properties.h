#pragma once

// Any bytes may stand in the blocklist file: a user can edit it, a disk can
// damage it. What the rest of the program relies on, for arbitrary bytes;
// checked by the fuzzer and, over the kept corpus, by the unit tests.

#include <string>
#include <string_view>
#include <vector>

#include "blocklist/blocklist_file.h"
#include "blocklist/networks.h"
#include "protect/rotor_cipher.h"
#include "text/utf8.h"

namespace quellgate::fuzz {

// Printable ASCII without the double quote, spelt apart from the cipher's tables.
inline bool Turned(char c) { return c >= ' ' && c <= '~' && c != '"'; }

// The first property that does not hold, or nullptr.
inline const char* ViolatedBlocklistProperty(std::string_view bytes) {
    const std::string ciphered = Encipher(bytes), deciphered = Decipher(bytes);
    if (ciphered.size() != bytes.size() || deciphered.size() != bytes.size())
        return "the cipher keeps the length";
    if (Decipher(ciphered) != bytes || Encipher(deciphered) != bytes)
        return "the cipher round-trips both ways";
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (Turned(bytes[i]) ? !Turned(ciphered[i]) || !Turned(deciphered[i])
                             : ciphered[i] != bytes[i] || deciphered[i] != bytes[i])
            return "the alphabet maps to itself, other bytes pass through in place";

    std::vector<std::string> keywords = DecodeBlocklist(bytes);
    std::vector<std::string> kept;
    for (const std::string& keyword : keywords) {
        if (keyword.empty()) return "a keyword is never empty";
        if (SanitizeUtf8(keyword) != keyword) return "a keyword is valid UTF-8 without NUL";
        if (ControlRunsToSpaces(keyword) != keyword) return "a keyword holds no control character";
        if (!IsNetworkName(keyword)) kept.push_back(keyword);
    }
    keywords.emplace_back(kNetworks[bytes.size() % kNetworkCount].name);  // the list may always hold one
    if (DecodeBlocklist(EncodeBlocklist(keywords)) != kept)
        return "saved keywords read back, network names left out";
    return nullptr;
}

}  // namespace quellgate::fuzz
