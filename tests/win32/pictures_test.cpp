// The pictures as the windows get them: from the resources of the Quellgate.exe
// this build made, decoded by WIC, scaled and blended by our own code.
#include <gtest/gtest.h>

#include "harness.h"
#include "shell/view_rules.h"
#include "win32/com.h"
#include "win32/pictures.h"

using namespace quellgate;

TEST(Pictures, EveryOneDecodesAndIsDrawnFittedAndCentredWithSoftEdgesOnWhatWasThere) {
    const win32::ComApartment com;
    const win32::UniqueModule program(
        LoadLibraryExW(quellgate::testing::BuiltProgram().c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    for (int picture = 0; picture <= static_cast<int>(layout::Picture::Info); ++picture) {
        const auto name = layout::NameOf(static_cast<layout::Picture>(picture));
        EXPECT_EQ(win32::DecodePicture(program.get(), name).bgra.empty(), name.empty()) << name;
    }
    // The add button fitted to 24 x 24 in the middle of 40 x 24 (x from 8 to
    // 31), on magenta, which no picture of ours holds.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -24, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* pixels = nullptr;
    const win32::UniqueBitmap bitmap(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0));
    const win32::UniqueDc dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), bitmap.get());
    std::fill(pixels, pixels + 40 * 24, 0xFF00FFu);
    win32::Picture(program.get(), "add").Draw(dc.get(), RECT{0, 0, 40, 24});
    GdiFlush();
    const auto at = [&](int x, int y) { return pixels[y * 40 + x] & 0xFFFFFF; };
    EXPECT_TRUE(at(7, 11) == 0xFF00FF && at(32, 11) == 0xFF00FF && at(8, 0) == 0xFF00FF)
        << "beside it, its corner";
    EXPECT_EQ(at(19, 11), 0xFFFFFFu) << "the sign in the middle";
    EXPECT_GT((at(19, 4) >> 8) & 0xFF, at(19, 4) >> 16) << "a green face";
    // The rim of a round button 24 px wide is some 66 px long; an area average
    // leaves most of it partly covered, the nearest pixel only a few.
    const auto scaled = win32::AreaAverage(win32::DecodePicture(program.get(), "add"), 24, 24).bgra;
    EXPECT_GT(std::count_if(scaled.begin(), scaled.end(), [](auto p) { return p >> 24 && p >> 24 < 255; }),
              40);
}
