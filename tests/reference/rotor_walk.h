#pragma once

// The cipher done the long way, rotor by rotor and turn by turn, to check the
// closed form the program uses and to measure it against.

#include <array>
#include <string>
#include <string_view>

#include "protect/rotor_cipher.h"

namespace quellgate::reference {

class Rotors {
public:
    Rotors() {
        for (std::size_t k = 0; k < kRotorCount; ++k) rotor_[k] = std::string(RotorAlphabet(k));
    }
    // Odd-numbered rotors (0-based even) turn left, the others right.
    void StepForward() {
        for (std::size_t k = 0; k < kRotorCount; ++k) Turn(k, k % 2 == 0);
    }
    void StepBack() {
        for (std::size_t k = kRotorCount; k-- > 0;) Turn(k, k % 2 != 0);
    }
    char Through(char c, std::size_t from, std::size_t to) const {
        return rotor_[to][rotor_[from].find(c)];
    }

private:
    void Turn(std::size_t k, bool left) {
        auto& r = rotor_[k];
        if (left)
            r = r.substr(1) + r.front();
        else
            r = r.back() + r.substr(0, r.size() - 1);
    }
    std::array<std::string, kRotorCount> rotor_;
};

inline bool PassesThrough(char c) { return RotorAlphabet(0).find(c) == std::string_view::npos; }

inline std::string RotorWalkEncipher(std::string_view text) {
    Rotors rotors;
    std::string out;
    for (char c : text) {
        if (!PassesThrough(c))
            for (std::size_t s = 0; s < kRotorCount; s += 2) c = rotors.Through(c, s, s + 1);
        out += c;
        rotors.StepForward();
    }
    return out;
}

inline std::string RotorWalkDecipher(std::string_view text) {
    Rotors rotors;
    for (std::size_t i = 0; i < text.size() % kRotorLength; ++i) rotors.StepForward();
    std::string out;
    for (std::size_t i = text.size(); i-- > 0;) {
        rotors.StepBack();
        char c = text[i];
        if (!PassesThrough(c))
            for (std::size_t s = kRotorCount; s >= 2; s -= 2) c = rotors.Through(c, s - 1, s - 2);
        out.insert(out.begin(), c);
    }
    return out;
}

}  // namespace quellgate::reference
