#pragma once

// The cipher done the long way, rotor by rotor and turn by turn, to check the
// closed form the program uses and to measure it against.

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "protect/rotor_cipher.h"

namespace quellgate::reference {

class Rotors {
public:
    Rotors() {
        for (std::size_t k = 0; k < kRotorCount; ++k) rotor_[k] = RotorAlphabet(k);
    }
    // Odd-numbered rotors (0-based even) turn left going forward, the others right.
    void Step(bool forward) {
        for (std::size_t k = 0; k < kRotorCount; ++k) {
            auto& r = rotor_[k];
            std::rotate(r.begin(), (k % 2 == 0) == forward ? r.begin() + 1 : r.end() - 1, r.end());
        }
    }
    char Through(char c, std::size_t from, std::size_t to) const { return rotor_[to][rotor_[from].find(c)]; }
    bool PassesThrough(char c) const { return rotor_[0].find(c) == std::string::npos; }

private:
    std::array<std::string, kRotorCount> rotor_;
};

inline std::string RotorWalkEncipher(std::string_view text) {
    Rotors rotors;
    std::string out;
    for (char c : text) {
        if (!rotors.PassesThrough(c))
            for (std::size_t s = 0; s < kRotorCount; s += 2) c = rotors.Through(c, s, s + 1);
        out += c;
        rotors.Step(true);
    }
    return out;
}

inline std::string RotorWalkDecipher(std::string_view text) {
    Rotors rotors;
    for (std::size_t i = 0; i < text.size() % kRotorLength; ++i) rotors.Step(true);
    std::string out(text);
    for (std::size_t i = text.size(); i-- > 0;) {
        rotors.Step(false);
        if (!rotors.PassesThrough(out[i]))
            for (std::size_t s = kRotorCount; s >= 2; s -= 2) out[i] = rotors.Through(out[i], s - 1, s - 2);
    }
    return out;
}

}  // namespace quellgate::reference
