#include "win32/pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#include "win32/com.h"
#include "win32/wide.h"

#include <wincodec.h>

namespace quellgate::win32 {
namespace {

constexpr UINT kLargestSide = 4096;  // far beyond any picture of ours; guards the arithmetic below

// The bytes of an RCDATA resource; they live as long as the module.
std::pair<const BYTE*, DWORD> ResourceBytes(HMODULE module, std::string_view name) {
    if (name.empty()) return {nullptr, 0};
    HRSRC found = FindResourceW(module, Wide(name).c_str(), RT_RCDATA);
    if (!found) return {nullptr, 0};
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return {static_cast<const BYTE*>(bytes), bytes ? SizeofResource(module, found) : 0};
}

}  // namespace

Pixels DecodePicture(HMODULE module, std::string_view name) {
    const auto [bytes, size] = ResourceBytes(module, name);
    if (!bytes || size == 0) return {};

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    // The stream only reads the resource, though the API takes a writable pointer.
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.out()))) ||
        FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) ||
        FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > kLargestSide ||
        height > kLargestSide)
        return {};

    Pixels picture{static_cast<int>(width), static_cast<int>(height),
                   std::vector<std::uint32_t>(std::size_t{width} * height)};
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(picture.bgra.size() * 4),
                                     reinterpret_cast<BYTE*>(picture.bgra.data()))))
        return {};
    return picture;
}

Pixels AreaAverage(const Pixels& source, int width, int height) {
    if (source.Empty() || width <= 0 || height <= 0) return {};
    Pixels out{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    const double stepX = double(source.width) / width;
    const double stepY = double(source.height) / height;
    const double area = stepX * stepY;
    for (int y = 0; y < height; ++y) {
        const double top = y * stepY, bottom = (y + 1) * stepY;
        const int lastRow = std::min(source.height, static_cast<int>(std::ceil(bottom)));
        for (int x = 0; x < width; ++x) {
            const double left = x * stepX, right = (x + 1) * stepX;
            const int lastColumn = std::min(source.width, static_cast<int>(std::ceil(right)));
            std::array<double, 4> sum{};
            for (int row = static_cast<int>(top); row < lastRow; ++row) {
                const double coverY = std::min<double>(row + 1, bottom) - std::max<double>(row, top);
                const std::uint32_t* line = &source.bgra[static_cast<std::size_t>(row) * source.width];
                for (int column = static_cast<int>(left); column < lastColumn; ++column) {
                    const double cover =
                        coverY * (std::min<double>(column + 1, right) - std::max<double>(column, left));
                    for (int channel = 0; channel < 4; ++channel)
                        sum[channel] += cover * ((line[column] >> (8 * channel)) & 0xFF);
                }
            }
            std::uint32_t pixel = 0;
            for (int channel = 0; channel < 4; ++channel) {
                const auto value = std::clamp(std::lround(sum[channel] / area), 0L, 255L);
                pixel |= static_cast<std::uint32_t>(value) << (8 * channel);
            }
            out.bgra[static_cast<std::size_t>(y) * width + x] = pixel;
        }
    }
    return out;
}

void Picture::Scale(SIZE box) const {
    box_ = box;
    fitted_ = layout::FitInside(source_.width, source_.height, {0, 0, box.cx, box.cy});
    scaled_.reset();
    const Pixels scaled = AreaAverage(source_, fitted_.width, fitted_.height);
    if (scaled.Empty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = scaled.width;
    info.bmiHeader.biHeight = -scaled.height;  // rows from the top, as in Pixels
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    scaled_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (scaled_) std::memcpy(bits, scaled.bgra.data(), scaled.bgra.size() * sizeof(std::uint32_t));
}

void Picture::Draw(HDC dc, const RECT& place, int nudge) const {
    const SIZE box{place.right - place.left, place.bottom - place.top};
    if (box.cx != box_.cx || box.cy != box_.cy) Scale(box);
    if (!scaled_) return;
    const UniqueDc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    const HGDIOBJ previous = SelectObject(memory.get(), scaled_.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, place.left + fitted_.left + nudge, place.top + fitted_.top + nudge, fitted_.width,
               fitted_.height, memory.get(), 0, 0, fitted_.width, fitted_.height, blend);
    SelectObject(memory.get(), previous);
}

}  // namespace quellgate::win32
