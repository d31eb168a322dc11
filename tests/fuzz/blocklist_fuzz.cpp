// Any bytes may stand in the blocklist file: a user can edit it, a disk can
// damage it. This target checks, for arbitrary bytes, the properties the rest
// of the program relies on, and aborts on the first one that does not hold.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "blocklist/blocklist_file.h"
#include "blocklist/network_switches.h"
#include "protect/rotor_cipher.h"
#include "text/utf8.h"

using namespace quellgate;

static void Check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "blocklist_fuzz: property violated: %s\n", property);
    std::abort();
}

// Printable ASCII without the double quote, spelt apart from the cipher's tables.
static bool Turned(char c) {
    return c >= ' ' && c <= '~' && c != '"';
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string ciphered = Encipher(bytes), deciphered = Decipher(bytes);
    Check(ciphered.size() == size && deciphered.size() == size, "the cipher keeps the length");
    Check(Decipher(ciphered) == bytes && Encipher(deciphered) == bytes, "the cipher round-trips both ways");
    for (std::size_t i = 0; i < size; ++i)
        Check(Turned(bytes[i]) ? Turned(ciphered[i]) && Turned(deciphered[i])
                               : ciphered[i] == bytes[i] && deciphered[i] == bytes[i],
              "the alphabet maps to itself, other bytes pass through in place");

    std::vector<std::string> entries = DecodeBlocklist(bytes);
    std::vector<std::string> kept;
    for (const std::string& entry : entries) {
        Check(SanitizeUtf8(entry) == entry, "an entry is valid UTF-8 without NUL");
        Check(entry.find_first_of("\r\n") == std::string::npos, "an entry holds no line break");
        if (!IsNetworkNameExactly(entry)) kept.push_back(entry);
    }
    entries.emplace_back(kNetworkNames[size % kNetworkCount]);  // the list may always hold one
    Check(DecodeBlocklist(EncodeBlocklist(entries)) == kept,
          "saved entries read back, network names left out");
    return 0;
}
