// Arbitrary bytes as the blocklist file: a user can edit it, a disk can damage
// it. What the rest of the program relies on, for any bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "blocklist/blocklist_file.h"
#include "blocklist/networks.h"
#include "property.h"
#include "protect/rotor_cipher.h"
#include "text/utf8.h"

using namespace quellgate;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string ciphered = Encipher(bytes), deciphered = Decipher(bytes);
    Require(ciphered.size() == size && deciphered.size() == size, "the cipher keeps the length");
    Require(Decipher(ciphered) == bytes && Encipher(deciphered) == bytes, "the cipher round-trips both ways");

    std::vector<std::string> keywords = DecodeBlocklist(bytes), kept;
    for (const std::string& keyword : keywords) {
        Require(
            !keyword.empty() && SanitizeUtf8(keyword) == keyword && ControlRunsToSpaces(keyword) == keyword,
            "a keyword is valid UTF-8, not empty, without NUL or a control character");
        if (!IsNetworkName(keyword)) kept.push_back(keyword);
    }
    keywords.emplace_back(kNetworks[size % kNetworkCount].name);  // the list may always hold one
    Require(DecodeBlocklist(EncodeBlocklist(keywords)) == kept,
            "saved keywords read back, network names left out");
    return 0;
}
