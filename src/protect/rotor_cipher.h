#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quellgate {

// Ten rotors in five pairs over the printable ASCII characters without the
// double quote. Every other byte (the double quote, CR, LF, tab, the bytes of
// UTF-8 text beyond ASCII) is copied unchanged, though the rotors still turn
// for it, so Decipher(Encipher(x)) == x for every text and the output always
// has the input's length. Used for the blocklist file and the stored password.
inline constexpr std::size_t kRotorCount = 10;
inline constexpr int kRotorLength = 94;

std::string Encipher(std::string_view plain);
std::string Decipher(std::string_view cipher);

// Alphabet 0..9 as fixed in the program, for checks of the key itself.
std::string_view RotorAlphabet(std::size_t rotor);

}  // namespace quellgate
