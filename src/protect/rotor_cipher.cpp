#include "protect/rotor_cipher.h"

#include <array>

namespace quellgate {
namespace {

// The cipher's key. Changing any of these makes every stored blocklist and
// password unreadable.
constexpr std::array<std::string_view, kRotorCount> kAlphabets = {
    R"(goA~,M[>^f{2v}1Z!X ;cYm/xawO@yIQrbFiH6:4V-%?$0j=uJ#C9E).s*tR]ledKS\3U(_n8'qk+LT5`WGNDpz&<h7B|P)",
    R"(`?T}ugKDkZc WV8\NoI41jE0w%&~;HvR=h6_L+bq,3'ax)Af7{CQt*.BXP9y$]Mms/FYGz@!rdJnU(<2iO:#[p^5Sl-e>|)",
    R"(]1Q*/Huo`xLFtPV3hai$>c e(&<T#;|sDW\%^m)ClMvZK~?,rGI!UR7{=6ANB}4@+'[-b0Jyd82YOng.q:z_59fkXjpwES)",
    R"(4lVZ.^s2dgjM +h}n~CtJ:5f<7'_c%K*w@9LNq>\eyDpmS`|br,#]=-IW01)R;XBFY{uUoaA?[x&vi/k6H!T3O$z8GP(EQ)",
    R"(hLRv'8@b.VQJ^odN_T|&S7BUAGp0E!\z%}*[u]{l,/OcYHsj Dr=9t;n>6~:+Mi)I-1axZwFX53$2#WKyfqPg(eCk<?`4m)",
    R"(:VEwR9FObBcYU]?Z*;|>z{yQ%!`_g'G#$k.hX2-3SiN&1r7~\4sloMW} [Pp,IatmLxuH/8C=<De(TK6A@j0n)dJ5qf^v+)",
    R"( wr9ZC8[YW+$OtDh(@3i)s=~qK^>;`}X{cf5p'B0lR6A,T-e.4nSk:zaJ]<&d%LEg*7xHF\uP!?QN2/j|voV_G#UMbym1I)",
    R"(L,mb5 k*~'tj#W1l&M^y0rEQZ|U$g{?uC[Kq3RB>DTfYs79On4VI)<AdFo:2+x}Jcv(/h8P`6@%.i\Xz=pweHGN-!S_];a)",
    R"(Jf]R^yA`L_q7c,nbI#.KOGuV=jgBh9k{-*/+6iXT)mE<w'Woz!25rFY[ dHMev}>?483Za:Qtp%xlN@;|0&~\s$(CP1SUD)",
    R"(ep5]2$ZRSjQq9d<n' v_!K*J-Tt({.N3;4D+@UWiGzVlP}H/O:`Xso?~YM,%hLfrxbEy)7#06Fw\[>|uCgAB&18mk=Ica^)",
};

// Where each byte stands in each alphabet; -1 for bytes that pass through.
struct AlphabetIndex {
    std::array<std::array<int, 256>, kRotorCount> position{};

    AlphabetIndex() {
        for (std::size_t rotor = 0; rotor < kRotorCount; ++rotor) {
            position[rotor].fill(-1);
            for (std::size_t i = 0; i < kAlphabets[rotor].size(); ++i)
                position[rotor][static_cast<unsigned char>(kAlphabets[rotor][i])] = static_cast<int>(i);
        }
    }
};

const AlphabetIndex& Index() {
    static const AlphabetIndex index;
    return index;
}

// Each character position turns the plain-side rotors one way and the
// cipher-side rotors the other, so the pair's offset grows by two a step.
int StepOffset(std::size_t position) {
    return static_cast<int>((2 * (position % kRotorLength)) % kRotorLength);
}

}  // namespace

std::string_view RotorAlphabet(std::size_t rotor) { return kAlphabets.at(rotor); }

std::string Encipher(std::string_view plain) {
    const auto& index = Index();
    std::string out(plain);
    for (std::size_t t = 0; t < out.size(); ++t) {
        const int offset = StepOffset(t);
        auto c = static_cast<unsigned char>(out[t]);
        if (index.position[0][c] < 0) continue;
        for (std::size_t plainSide = 0; plainSide < kRotorCount; plainSide += 2) {
            const int p = index.position[plainSide][c];
            const int shifted = (p - offset + kRotorLength) % kRotorLength;
            c = static_cast<unsigned char>(kAlphabets[plainSide + 1][shifted]);
        }
        out[t] = static_cast<char>(c);
    }
    return out;
}

std::string Decipher(std::string_view cipher) {
    const auto& index = Index();
    std::string out(cipher);
    for (std::size_t t = 0; t < out.size(); ++t) {
        const int offset = StepOffset(t);
        auto c = static_cast<unsigned char>(out[t]);
        if (index.position[0][c] < 0) continue;
        for (std::size_t plainSide = kRotorCount - 2;; plainSide -= 2) {
            const int p = index.position[plainSide + 1][c];
            c = static_cast<unsigned char>(kAlphabets[plainSide][(p + offset) % kRotorLength]);
            if (plainSide == 0) break;
        }
        out[t] = static_cast<char>(c);
    }
    return out;
}

}  // namespace quellgate
