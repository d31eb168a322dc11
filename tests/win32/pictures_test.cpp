// The pictures as the windows get them: from the resources of the Quellgate.exe
// this build made, decoded by WIC, scaled and blended by our own code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "harness.h"
#include "shell/view_rules.h"
#include "win32/com.h"
#include "win32/pictures.h"

using namespace quellgate;
using namespace quellgate::testing;

using layout::NameOf;

constexpr std::uint32_t kMagenta = 0xFF00FF;  // in no picture of ours

static std::uint32_t Alpha(std::uint32_t bgra) { return bgra >> 24; }

class Pictures : public ::testing::Test {
protected:
    // Draws the picture into a place of this size on a magenta 32-bit DIB
    // section; the pixels come back as 0xRRGGBB.
    std::vector<std::uint32_t> DrawnPixels(std::string_view name, int width, int height) const {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const win32::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const win32::UniqueDc dc(CreateCompatibleDC(nullptr));
        const HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
        auto* pixels = static_cast<std::uint32_t*>(bits);
        std::fill(pixels, pixels + width * height, kMagenta);
        win32::Picture(program.get(), name).Draw(dc.get(), RECT{0, 0, width, height});
        GdiFlush();
        std::vector<std::uint32_t> drawn(pixels, pixels + width * height);
        for (auto& pixel : drawn) pixel &= 0xFFFFFF;
        SelectObject(dc.get(), previous);
        return drawn;
    }

    win32::ComApartment com;
    win32::UniqueModule program{LoadLibraryExW(BuiltProgram().c_str(), nullptr,
                                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)};
};

TEST_F(Pictures, EveryOneDecodesScalesWithSoftEdgesAndIsDrawnCentredOnWhatWasThere) {
    ASSERT_TRUE(program);
    using layout::Picture;
    for (const Picture picture :
         {Picture::Facebook, Picture::Twitter, Picture::LinkedIn, Picture::MySpace, Picture::YouTube,
          Picture::Add, Picture::Remove, Picture::Splash, Picture::Info}) {
        const win32::Pixels scaled =
            win32::AreaAverage(win32::DecodePicture(program.get(), NameOf(picture)), 37, 23);
        ASSERT_EQ(scaled.bgra.size(), 37u * 23u) << NameOf(picture);
        EXPECT_EQ(Alpha(scaled.bgra[11 * 37 + 18]), 255u) << NameOf(picture) << ": opaque in the middle";
    }
    // The rim of a round button 24 px wide is some 66 px long; an area average
    // leaves most of it partly covered, the nearest pixel only a few.
    const win32::Pixels button = win32::AreaAverage(win32::DecodePicture(program.get(), "add"), 24, 24);
    EXPECT_GT(std::count_if(button.bgra.begin(), button.bgra.end(),
                            [](std::uint32_t pixel) { return Alpha(pixel) > 0 && Alpha(pixel) < 255; }),
              40);
    for (const auto& [name, green] : {std::pair{"add", true}, std::pair{"remove", false}}) {
        // Fitted to 24 x 24 in the middle of 40 x 24: x from 8 to 31.
        const auto at = [pixels = DrawnPixels(name, 40, 24)](int x, int y) { return pixels[y * 40 + x]; };
        for (const int y : {0, 11, 23})
            EXPECT_TRUE(at(7, y) == kMagenta && at(32, y) == kMagenta) << name << y;
        EXPECT_EQ(at(8, 0), kMagenta) << name << ": transparent corner";
        EXPECT_EQ(at(8 + 11, 11), 0xFFFFFFu) << name << ": the sign in the middle";
        const std::uint32_t face = at(8 + 11, 4);
        EXPECT_EQ(((face >> 8) & 0xFF) > (face >> 16), green) << name << ": " << std::hex << face;
    }
    EXPECT_EQ(DrawnPixels("nothing", 8, 8)[4 * 8 + 4], kMagenta)
        << "a missing picture leaves its place as it was";
}
