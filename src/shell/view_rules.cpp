#include "shell/view_rules.h"

#include <cmath>

#include "text/utf8.h"

namespace quellgate::layout {

Box FitInside(int pictureWidth, int pictureHeight, Box box) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || box.width <= 0 || box.height <= 0) return {};
    const double scale = std::min(double(box.width) / pictureWidth, double(box.height) / pictureHeight);
    const auto side = [scale](int length, int limit) {
        return std::clamp(static_cast<int>(std::lround(length * scale)), 1, limit);
    };
    const int width = side(pictureWidth, box.width), height = side(pictureHeight, box.height);
    return {box.left + (box.width - width) / 2, box.top + (box.height - height) / 2, width, height};
}

Outline OutlineOf(Box icon, int width) {
    const int w = std::clamp(width, 0, std::min(icon.width, icon.height) / 2);
    const int right = icon.left + icon.width - w, bottom = icon.top + icon.height - w;
    return {{{{icon.left, icon.top, icon.width, w},
              {icon.left, bottom, icon.width, w},
              {icon.left, icon.top + w, w, icon.height - 2 * w},
              {right, icon.top + w, w, icon.height - 2 * w}}},
            {icon.left + w, icon.top + w, icon.width - 2 * w, icon.height - 2 * w}};
}

std::string RowOf(std::string_view entry) { return Abbreviated(entry, kRowCharacters); }

}  // namespace quellgate::layout
