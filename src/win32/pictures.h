// The pictures of src/pictures, built into the program as RCDATA resources:
// decoded with WIC, scaled for the window's DPI, drawn with their alpha.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "shell/view_rules.h"
#include "win32/handles.h"

namespace quellgate::win32 {

// Premultiplied BGRA, one 32-bit value a pixel, rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> bgra;

    bool Empty() const { return bgra.empty(); }
};

// The PNG resource of `module` of that name, decoded; empty when it is
// missing or is no picture. Needs COM on the calling thread.
Pixels DecodePicture(HMODULE module, std::string_view name);

// The picture at width x height, each pixel the average of the area it covers.
// WIC's own scaler is not used: Wine's picks the nearest pixel in every mode.
Pixels AreaAverage(const Pixels& source, int width, int height);

// One picture of a window. Decoded when made; kept scaled for the place it is
// drawn in, and scaled again only when that place changes size, which happens
// when the window moves to a monitor of another DPI.
class Picture {
public:
    Picture(HMODULE module, std::string_view name) : source_(DecodePicture(module, name)) {}

    // As large as fits in `place`, centred, moved `nudge` pixels right and
    // down (a pressed button). Draws nothing when the picture did not decode.
    void Draw(HDC dc, const RECT& place, int nudge = 0) const;

private:
    void Scale(SIZE box) const;

    Pixels source_;
    // The scaled copy is a cache: drawing fills it in.
    mutable SIZE box_{};
    mutable layout::Box fitted_{};
    mutable UniqueBitmap scaled_;
};

}  // namespace quellgate::win32
