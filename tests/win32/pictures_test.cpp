// The pictures as the windows get them: from the resources of the Quellgate.exe
// this build made, decoded by WIC, scaled and blended by our own code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "harness.h"
#include "win32/pictures.h"
#include "win32/resource_ids.h"

namespace quellgate::testing {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;  // in no picture of ours

std::uint32_t Alpha(std::uint32_t bgra) { return bgra >> 24; }
int Red(std::uint32_t bgra) { return static_cast<int>((bgra >> 16) & 0xFF); }
int Green(std::uint32_t bgra) { return static_cast<int>((bgra >> 8) & 0xFF); }

// A 32-bit DIB section selected into a memory DC, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        std::fill(bits_, bits_ + static_cast<std::size_t>(width) * height, kMagenta);
    }
    ~Canvas() { SelectObject(dc_.get(), previous_); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_.get(); }
    std::uint32_t At(int x, int y) const {
        GdiFlush();
        return bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF;
    }

private:
    int width_;
    win32::UniqueDc dc_;
    win32::UniqueBitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

class Pictures : public ::testing::Test {
protected:
    win32::ComApartment com;
    win32::UniqueModule program{LoadLibraryExW(ProgramUnderTest().c_str(), nullptr,
                                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)};
};

TEST_F(Pictures, EveryPictureDecodesAndScalesToTheSizeAskedWithSoftEdges) {
    ASSERT_TRUE(program);
    for (const int id : {IDP_FACEBOOK, IDP_TWITTER, IDP_LINKEDIN, IDP_MYSPACE, IDP_YOUTUBE, IDP_ADD,
                         IDP_REMOVE, IDP_SPLASH, IDP_INFO}) {
        SCOPED_TRACE(id);
        const win32::Pixels source = win32::DecodePicture(program.get(), id);
        ASSERT_FALSE(source.Empty());
        const win32::Pixels scaled = win32::AreaAverage(source, 37, 23);
        ASSERT_EQ(scaled.width, 37);
        ASSERT_EQ(scaled.height, 23);
        ASSERT_EQ(scaled.bgra.size(), 37u * 23u);
        EXPECT_EQ(Alpha(scaled.bgra[11 * 37 + 18]), 255u) << "opaque in the middle";
    }

    // The rim of a round button 24 px wide is some 66 px long; an area average
    // leaves most of it partly covered, the nearest pixel only a few.
    const win32::Pixels button = win32::AreaAverage(win32::DecodePicture(program.get(), IDP_ADD), 24, 24);
    int soft = 0;
    for (const std::uint32_t pixel : button.bgra) soft += Alpha(pixel) > 0 && Alpha(pixel) < 255;
    EXPECT_GT(soft, 40);
}

TEST_F(Pictures, DrawsCentredInItsPlaceAndTransparentAroundARoundButton) {
    ASSERT_TRUE(program);
    for (const auto& [id, green] : {std::pair{IDP_ADD, true}, std::pair{IDP_REMOVE, false}}) {
        SCOPED_TRACE(id);
        const win32::Picture picture(program.get(), id);
        Canvas canvas(40, 24);
        picture.Draw(canvas.dc(), RECT{0, 0, 40, 24});
        // Fitted to 24 x 24 in the middle of 40 x 24: x from 8 to 31.
        for (const int y : {0, 11, 23}) {
            EXPECT_EQ(canvas.At(7, y), kMagenta) << "left of the picture, row " << y;
            EXPECT_EQ(canvas.At(32, y), kMagenta) << "right of the picture, row " << y;
        }
        EXPECT_EQ(canvas.At(8, 0), kMagenta) << "transparent corner";
        EXPECT_EQ(canvas.At(8 + 11, 11), 0xFFFFFFu) << "the sign in the middle";
        const std::uint32_t face = canvas.At(8 + 11, 4);
        EXPECT_EQ(Green(face) > Red(face), green) << std::hex << face;
    }

    // A picture that is not there leaves its place as it was.
    Canvas canvas(8, 8);
    win32::Picture(program.get(), 9999).Draw(canvas.dc(), RECT{0, 0, 8, 8});
    EXPECT_EQ(canvas.At(4, 4), kMagenta);
}

}  // namespace
}  // namespace quellgate::testing
