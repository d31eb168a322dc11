// The pictures as the windows get them: from the resources of the Quellgate.exe
// this build made, decoded by WIC, scaled and blended by our own code.
#include <gtest/gtest.h>

#include "harness.h"
#include "shell/view_rules.h"
#include "win32/com.h"
#include "win32/pictures.h"

using namespace quellgate;

TEST(Pictures, EveryOneDecodesAndOneIsDrawnInTheMiddleOfItsPlace) {
    const win32::ComApartment com;
    const win32::UniqueModule program(
        LoadLibraryExW(quellgate::testing::BuiltProgram().c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    for (int picture = 0; picture <= static_cast<int>(layout::Picture::Info); ++picture) {
        const auto name = layout::NameOf(static_cast<layout::Picture>(picture));
        EXPECT_EQ(win32::DecodePicture(program.get(), name).bgra.empty(), name.empty()) << name;
    }
    // The round add button in a place wider than high: its white sign in the
    // middle, its green face above the sign.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -24, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* pixels = nullptr;
    const win32::UniqueBitmap bitmap(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0));
    const win32::UniqueDc dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), bitmap.get());
    win32::Picture(program.get(), "add").Draw(dc.get(), RECT{0, 0, 40, 24});
    GdiFlush();
    const auto at = [&](int x, int y) { return pixels[y * 40 + x] & 0xFFFFFF; };
    EXPECT_EQ(at(20, 12), 0xFFFFFFu);
    EXPECT_GT((at(20, 4) >> 8) & 0xFF, at(20, 4) >> 16) << "green";
}
