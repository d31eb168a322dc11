// All pictures are drawn from simple GDI shapes in a private design grid and
// scaled to the caller's rectangle, so one code path serves every DPI.
#include "artwork.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <iterator>
#include <numbers>
#include <utility>
#include <vector>

namespace quellgate::win32 {
namespace {

// Owns one GDI object and deletes it; must outlive any Selection of it.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ handle) noexcept : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    HGDIOBJ Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    void Reset() noexcept {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
            handle_ = nullptr;
        }
    }
    HGDIOBJ handle_;
};

// Selects an object into a DC and puts the previous one back.
class Selection {
public:
    Selection(HDC dc, const GdiObject& object) noexcept
        : dc_(dc), previous_(object ? SelectObject(dc, object.Get()) : nullptr) {
        if (previous_ == HGDI_ERROR) previous_ = nullptr;
    }
    Selection(Selection&& other) noexcept
        : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
    Selection& operator=(Selection&&) = delete;
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Clip region, text colour, background mode and pen position all change while
// painting; SaveDC/RestoreDC hands them back exactly as the caller had them.
class SavedState {
public:
    explicit SavedState(HDC dc) noexcept : dc_(dc), id_(SaveDC(dc)) {}
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;
    ~SavedState() {
        if (id_ != 0) RestoreDC(dc_, id_);
    }

private:
    HDC dc_;
    int id_;
};

int Round(double v) { return static_cast<int>(std::lround(v)); }

// Maps a fixed design grid onto the caller's rectangle, uniformly scaled and
// centred, so pictures keep their proportions in any area.
struct Frame {
    double originX = 0;
    double originY = 0;
    double scale = 1;  // pixels per design unit

    int X(double u) const { return Round(originX + u * scale); }
    int Y(double v) const { return Round(originY + v * scale); }
    POINT Pt(double u, double v) const { return POINT{X(u), Y(v)}; }
    RECT Box(double l, double t, double r, double b) const { return RECT{X(l), Y(t), X(r), Y(b)}; }
    int Len(double d) const { return std::max(1, Round(d * scale)); }
};

Frame FitFrame(const RECT& area, double designWidth, double designHeight) {
    const double w = area.right - area.left;
    const double h = area.bottom - area.top;
    Frame f;
    f.scale = std::max(0.0, std::min(w / designWidth, h / designHeight));
    f.originX = area.left + (w - designWidth * f.scale) / 2.0;
    f.originY = area.top + (h - designHeight * f.scale) / 2.0;
    return f;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

COLORREF Mix(COLORREF a, COLORREF b, double t) {
    auto channel = [t](int x, int y) { return static_cast<BYTE>(std::clamp(Round(x + (y - x) * t), 0, 255)); };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}
COLORREF Lighter(COLORREF c, double t) { return Mix(c, RGB(255, 255, 255), t); }
COLORREF Darker(COLORREF c, double t) { return Mix(c, RGB(0, 0, 0), t); }

// Design-grid point; converted to pixels only when a shape is drawn.
struct Vec {
    double x;
    double y;
};

std::vector<POINT> ToPixels(const Frame& f, const std::vector<Vec>& points) {
    std::vector<POINT> out;
    out.reserve(points.size());
    for (const Vec& p : points) out.push_back(f.Pt(p.x, p.y));
    return out;
}

void FillBox(HDC dc, const RECT& r, COLORREF colour) {
    if (IsEmpty(r)) return;
    const GdiObject brush{CreateSolidBrush(colour)};
    if (brush) FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

// Runs `draw` with a pen and brush of one colour, so shapes come out exactly
// as large as their bounding box with no contrasting edge.
template <class Draw>
void Solid(HDC dc, COLORREF colour, Draw draw) {
    const GdiObject pen{CreatePen(PS_SOLID, 1, colour)};
    const GdiObject brush{CreateSolidBrush(colour)};
    const Selection usePen{dc, pen};
    const Selection useBrush{dc, brush};
    draw();
}

void FillEllipse(HDC dc, const RECT& r, COLORREF colour) {
    Solid(dc, colour, [&] { Ellipse(dc, r.left, r.top, r.right, r.bottom); });
}

void FillRoundBox(HDC dc, const RECT& r, int radius, COLORREF colour) {
    Solid(dc, colour, [&] { RoundRect(dc, r.left, r.top, r.right, r.bottom, radius * 2, radius * 2); });
}

void FillPolygon(HDC dc, const std::vector<POINT>& points, COLORREF colour) {
    if (points.size() < 3) return;
    Solid(dc, colour, [&] { Polygon(dc, points.data(), static_cast<int>(points.size())); });
}

void StrokePolyline(HDC dc, const std::vector<POINT>& points, int width, COLORREF colour) {
    if (points.size() < 2) return;
    const GdiObject pen{CreatePen(PS_SOLID, width, colour)};
    const Selection usePen{dc, pen};
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

// Two-tone vertical gradient: columns left of splitX blend leftTop->leftBottom,
// the rest rightTop->rightBottom; everything is clipped to the path that
// `addPath` records, which gives shaded shapes without GDI+ or msimg32.
struct Shading {
    COLORREF leftTop;
    COLORREF leftBottom;
    COLORREF rightTop;
    COLORREF rightBottom;
};

template <class AddPath>
void FillShaded(HDC dc, const RECT& bounds, int splitX, const Shading& shade, AddPath addPath) {
    if (IsEmpty(bounds)) return;
    const SavedState state{dc};
    BeginPath(dc);
    addPath();
    EndPath(dc);
    SelectClipPath(dc, RGN_AND);

    const int height = bounds.bottom - bounds.top;
    const int split = std::clamp(splitX, static_cast<int>(bounds.left), static_cast<int>(bounds.right));
    auto band = [&](LONG left, LONG right, COLORREF top, COLORREF bottom) {
        if (right <= left) return;
        // Rows of equal colour are merged to keep brush churn low on big areas.
        int start = bounds.top;
        COLORREF current = top;
        for (int y = bounds.top; y <= bounds.bottom; ++y) {
            const double t = height > 1 ? double(y - bounds.top) / (height - 1) : 0.0;
            const COLORREF c = y < bounds.bottom ? Mix(top, bottom, t) : current;
            if (y == bounds.bottom || c != current) {
                FillBox(dc, RECT{left, start, right, y}, current);
                start = y;
                current = c;
            }
        }
    };
    band(bounds.left, split, shade.leftTop, shade.leftBottom);
    band(split, bounds.right, shade.rightTop, shade.rightBottom);
}

Shading Plain(COLORREF top, COLORREF bottom) { return Shading{top, bottom, top, bottom}; }

void AppendQuadratic(std::vector<Vec>& out, Vec p0, Vec c, Vec p1, int steps) {
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double a = (1 - t) * (1 - t);
        const double b = 2 * (1 - t) * t;
        const double d = t * t;
        out.push_back({a * p0.x + b * c.x + d * p1.x, a * p0.y + b * c.y + d * p1.y});
    }
}

void AppendCubic(std::vector<Vec>& out, Vec p0, Vec c0, Vec c1, Vec p1, int steps) {
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double u = 1 - t;
        const double a = u * u * u;
        const double b = 3 * u * u * t;
        const double c = 3 * u * t * t;
        const double d = t * t * t;
        out.push_back({a * p0.x + b * c0.x + c * c1.x + d * p1.x, a * p0.y + b * c0.y + c * c1.y + d * p1.y});
    }
}

// Outline of a shield: shoulders rising to a soft peak, straight flanks, then
// curving into a point at the bottom.
std::vector<Vec> ShieldOutline(double cx, double top, double halfWidth, double height) {
    const double shoulder = top + 0.11 * height;
    const double flank = top + 0.48 * height;
    const double tip = top + height;
    std::vector<Vec> pts{{cx - halfWidth, shoulder}};
    AppendQuadratic(pts, {cx - halfWidth, shoulder}, {cx - 0.5 * halfWidth, shoulder}, {cx, top}, 12);
    AppendQuadratic(pts, {cx, top}, {cx + 0.5 * halfWidth, shoulder}, {cx + halfWidth, shoulder}, 12);
    pts.push_back({cx + halfWidth, flank});
    AppendCubic(pts, {cx + halfWidth, flank}, {cx + halfWidth, top + 0.76 * height},
                {cx + 0.55 * halfWidth, top + 0.90 * height}, {cx, tip}, 24);
    AppendCubic(pts, {cx, tip}, {cx - 0.55 * halfWidth, top + 0.90 * height}, {cx - halfWidth, top + 0.76 * height},
                {cx - halfWidth, flank}, 24);
    return pts;
}

// U-shaped band: outer radius R, inner radius r, both legs running down to legBottom.
std::vector<Vec> ArchBand(double cx, double cy, double outer, double inner, double legBottom) {
    constexpr int kSteps = 28;
    std::vector<Vec> pts{{cx - outer, legBottom}};
    for (int i = 0; i <= kSteps; ++i) {
        const double a = std::numbers::pi * (1.0 - double(i) / kSteps);
        pts.push_back({cx + outer * std::cos(a), cy - outer * std::sin(a)});
    }
    pts.push_back({cx + outer, legBottom});
    pts.push_back({cx + inner, legBottom});
    for (int i = 0; i <= kSteps; ++i) {
        const double a = std::numbers::pi * double(i) / kSteps;
        pts.push_back({cx + inner * std::cos(a), cy - inner * std::sin(a)});
    }
    pts.push_back({cx - inner, legBottom});
    return pts;
}

std::vector<Vec> EllipseArc(double cx, double cy, double rx, double ry, double fromDeg, double toDeg, int steps) {
    std::vector<Vec> pts;
    for (int i = 0; i <= steps; ++i) {
        const double a = (fromDeg + (toDeg - fromDeg) * i / steps) * std::numbers::pi / 180.0;
        pts.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});  // y grows downwards
    }
    return pts;
}

// ---- emblem ----------------------------------------------------------------

constexpr COLORREF kRim = RGB(244, 247, 255);
constexpr COLORREF kShackle = RGB(206, 214, 232);
constexpr COLORREF kShackleShade = RGB(168, 180, 208);
constexpr COLORREF kKeyhole = RGB(12, 34, 112);

void DrawPadlock(HDC dc, const Frame& f, double cx, double bodyTop, double bodyWidth) {
    const double bodyHeight = bodyWidth * 0.78;
    const double outer = bodyWidth * 0.36;
    const double bar = bodyWidth * 0.13;
    const double arcY = bodyTop - bodyWidth * 0.20;
    const double legBottom = bodyTop + bodyWidth * 0.08;

    // Shackle: darker copy nudged right gives it a little roundness.
    FillPolygon(dc, ToPixels(f, ArchBand(cx + bar * 0.18, arcY, outer, outer - bar, legBottom)), kShackleShade);
    FillPolygon(dc, ToPixels(f, ArchBand(cx, arcY, outer, outer - bar, legBottom)), kShackle);

    const double half = bodyWidth / 2;
    const RECT body = f.Box(cx - half, bodyTop, cx + half, bodyTop + bodyHeight);
    const int radius = f.Len(bodyWidth * 0.12);
    FillRoundBox(dc, body, radius, RGB(150, 164, 196));
    const RECT face{body.left + f.Len(bodyWidth * 0.02), body.top + f.Len(bodyWidth * 0.02),
                    body.right - f.Len(bodyWidth * 0.02), body.bottom - f.Len(bodyWidth * 0.02)};
    FillShaded(dc, face, face.right, Plain(RGB(255, 255, 255), RGB(214, 223, 242)),
               [&] { RoundRect(dc, face.left, face.top, face.right, face.bottom, radius * 2, radius * 2); });

    const double holeY = bodyTop + bodyHeight * 0.40;
    const double holeR = bodyWidth * 0.095;
    FillEllipse(dc, f.Box(cx - holeR, holeY - holeR, cx + holeR, holeY + holeR), kKeyhole);
    FillPolygon(dc,
                ToPixels(f, {{cx - bodyWidth * 0.045, holeY},
                             {cx + bodyWidth * 0.045, holeY},
                             {cx + bodyWidth * 0.075, bodyTop + bodyHeight * 0.76},
                             {cx - bodyWidth * 0.075, bodyTop + bodyHeight * 0.76}}),
                kKeyhole);
}

// Shield with a light rim, a two-tone blue face and a padlock in the middle.
void DrawEmblem(HDC dc, const Frame& f, double cx, double top, double halfWidth, double height, COLORREF shadow) {
    const double rim = halfWidth * 0.085;
    const double drop = halfWidth * 0.05;

    FillPolygon(dc, ToPixels(f, ShieldOutline(cx + drop, top + drop * 1.6, halfWidth, height)), shadow);
    FillPolygon(dc, ToPixels(f, ShieldOutline(cx, top, halfWidth, height)), kRim);

    const auto face = ToPixels(f, ShieldOutline(cx, top + rim * 1.1, halfWidth - rim, height - rim * 2.6));
    const RECT bounds = f.Box(cx - halfWidth, top, cx + halfWidth, top + height);
    const Shading shade{RGB(52, 124, 240), RGB(14, 46, 160), RGB(30, 94, 214), RGB(6, 28, 124)};
    FillShaded(dc, bounds, f.X(cx), shade, [&] { Polygon(dc, face.data(), static_cast<int>(face.size())); });

    DrawPadlock(dc, f, cx, top + height * 0.43, halfWidth * 0.92);
}

// ---- network icons ---------------------------------------------------------

constexpr double kTile = 58.0;  // design grid of a network icon
constexpr COLORREF kInk = RGB(255, 255, 255);

struct Network {
    const wchar_t* name;
    COLORREF colour;
};

// Calm, clearly different tones; none is the pure green/red of the status outline.
constexpr Network kNetworks[] = {
    {L"facebook", RGB(32, 128, 118)},  // teal
    {L"twitter", RGB(108, 82, 162)},   // violet
    {L"linkedin", RGB(178, 110, 38)},  // amber
    {L"myspace", RGB(70, 86, 110)},    // slate
    {L"youtube", RGB(142, 62, 110)},   // plum
};
constexpr int kNetworkCount = static_cast<int>(std::size(kNetworks));
constexpr COLORREF kUnknownNetwork = RGB(128, 128, 128);

// Glyphs are drawn in the 58-unit grid; `dy` moves them down when there is no label.

void DrawNodesGlyph(HDC dc, const Frame& f, double dy, COLORREF tile) {
    // A small, irregular social graph: one hub, four friends, a couple of side links.
    struct Node {
        double x, y, r;
    };
    const Node hub{27, 23, 6};
    const Node nodes[] = {{14.5, 12, 4}, {40.5, 10.5, 3.6}, {43, 30, 4.6}, {17, 36, 3.8}};
    const COLORREF faint = Lighter(tile, 0.55);
    StrokePolyline(dc, {f.Pt(nodes[0].x, nodes[0].y + dy), f.Pt(nodes[1].x, nodes[1].y + dy)}, f.Len(1.3), faint);
    StrokePolyline(dc, {f.Pt(nodes[1].x, nodes[1].y + dy), f.Pt(nodes[2].x, nodes[2].y + dy)}, f.Len(1.3), faint);
    for (const Node& n : nodes) {
        StrokePolyline(dc, {f.Pt(hub.x, hub.y + dy), f.Pt(n.x, n.y + dy)}, f.Len(2.4), kInk);
    }
    for (const Node& n : nodes) FillEllipse(dc, f.Box(n.x - n.r, n.y - n.r + dy, n.x + n.r, n.y + n.r + dy), kInk);
    FillEllipse(dc, f.Box(hub.x - hub.r, hub.y - hub.r + dy, hub.x + hub.r, hub.y + hub.r + dy), kInk);
    FillEllipse(dc, f.Box(hub.x - 2.8, hub.y - 2.8 + dy, hub.x + 2.8, hub.y + 2.8 + dy), tile);
}

void DrawBubbleGlyph(HDC dc, const Frame& f, double dy, COLORREF tile) {
    FillRoundBox(dc, f.Box(12, 8 + dy, 46, 32 + dy), f.Len(8), kInk);
    FillPolygon(dc, {f.Pt(18, 29 + dy), f.Pt(28, 29 + dy), f.Pt(15, 39 + dy)}, kInk);
    for (const double x : {20.5, 29.0, 37.5}) FillEllipse(dc, f.Box(x - 2.6, 17.4 + dy, x + 2.6, 22.6 + dy), tile);
}

void DrawBriefcaseGlyph(HDC dc, const Frame& f, double dy, COLORREF tile) {
    FillRoundBox(dc, f.Box(21, 8 + dy, 37, 19 + dy), f.Len(3.5), kInk);
    FillRoundBox(dc, f.Box(24.5, 11.5 + dy, 33.5, 19 + dy), f.Len(1.5), tile);
    FillRoundBox(dc, f.Box(11, 15 + dy, 47, 38 + dy), f.Len(4), kInk);
    FillBox(dc, f.Box(11, 24 + dy, 47, 26.4 + dy), tile);
    FillBox(dc, f.Box(25.5, 21.5 + dy, 32.5, 29 + dy), tile);
    FillBox(dc, f.Box(27, 23 + dy, 31, 27.5 + dy), kInk);
}

void DrawNoteGlyph(HDC dc, const Frame& f, double dy, COLORREF) {
    // Two beamed eighth notes; heads are tilted by drawing them as two overlapping ellipses.
    const double heads[][2] = {{19, 33}, {37, 30}};
    for (const auto& h : heads) {
        FillEllipse(dc, f.Box(h[0] - 5.5, h[1] - 3.6 + dy, h[0] + 4.5, h[1] + 3.6 + dy), kInk);
        FillEllipse(dc, f.Box(h[0] - 4.5, h[1] - 4.2 + dy, h[0] + 3.5, h[1] + 2.8 + dy), kInk);
    }
    FillBox(dc, f.Box(21.2, 13 + dy, 23.8, 32 + dy), kInk);
    FillBox(dc, f.Box(39.2, 10 + dy, 41.8, 29 + dy), kInk);
    FillPolygon(dc, {f.Pt(21.2, 13 + dy), f.Pt(41.8, 9 + dy), f.Pt(41.8, 14.5 + dy), f.Pt(21.2, 18.5 + dy)}, kInk);
}

void DrawFilmGlyph(HDC dc, const Frame& f, double dy, COLORREF tile) {
    FillRoundBox(dc, f.Box(11, 8 + dy, 47, 38 + dy), f.Len(2), kInk);
    FillBox(dc, f.Box(17.5, 11 + dy, 40.5, 22 + dy), tile);
    FillBox(dc, f.Box(17.5, 24 + dy, 40.5, 35 + dy), tile);
    for (int i = 0; i < 5; ++i) {
        const double y = 10.6 + i * 5.6 + dy;
        FillBox(dc, f.Box(13, y, 15.8, y + 2.6), tile);
        FillBox(dc, f.Box(42.2, y, 45, y + 2.6), tile);
    }
}

using GlyphPainter = void (*)(HDC, const Frame&, double, COLORREF);
constexpr GlyphPainter kGlyphs[] = {DrawNodesGlyph, DrawBubbleGlyph, DrawBriefcaseGlyph, DrawNoteGlyph, DrawFilmGlyph};
static_assert(std::size(kGlyphs) == std::size(kNetworks));

GdiObject MakeFont(int pixelHeight, int weight) {
    return GdiObject{CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI")};
}

// Writes `text` centred in `box` in the largest size from `preferred` down to a
// legible minimum that fits; returns false (and draws nothing) if none fits.
bool DrawLabel(HDC dc, const RECT& box, const wchar_t* text, int preferred, COLORREF colour) {
    constexpr int kSmallestLegible = 8;
    const int length = static_cast<int>(wcslen(text));
    const int boxWidth = box.right - box.left;
    const int boxHeight = box.bottom - box.top;
    for (int px = std::min(preferred, boxHeight); px >= kSmallestLegible; --px) {
        const GdiObject font = MakeFont(px, FW_SEMIBOLD);
        if (!font) return false;
        const Selection useFont{dc, font};
        SIZE extent{};
        if (!GetTextExtentPoint32W(dc, text, length, &extent)) return false;
        if (extent.cx > boxWidth || extent.cy > boxHeight + 2) continue;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour);
        RECT r = box;
        DrawTextW(dc, text, length, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        return true;
    }
    return false;
}

// ---- round buttons ---------------------------------------------------------

void DrawRoundButton(HDC dc, const RECT& area, bool pressed, COLORREF base, bool withUpright) {
    if (IsEmpty(area)) return;
    const SavedState state{dc};
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);

    // 24-unit grid; the face is an odd 21 units wide so the bars centre on a pixel.
    const Frame f = FitFrame(area, 24, 24);
    const double o = pressed ? 2.0 : 1.0;
    const COLORREF face = pressed ? Darker(base, 0.22) : base;
    const RECT disc = f.Box(o, o, o + 21, o + 21);
    FillEllipse(dc, disc, Darker(face, 0.32));
    const int edge = f.Len(1);
    const RECT inner{disc.left + edge, disc.top + edge, disc.right - edge, disc.bottom - edge};
    FillShaded(dc, inner, inner.right, Plain(Lighter(face, pressed ? 0.12 : 0.32), face),
               [&] { Ellipse(dc, inner.left, inner.top, inner.right, inner.bottom); });

    const double c = o + 10.5;
    FillBox(dc, f.Box(c - 5.5, c - 1.5, c + 5.5, c + 1.5), kInk);
    if (withUpright) FillBox(dc, f.Box(c - 1.5, c - 5.5, c + 1.5, c + 5.5), kInk);
}

}  // namespace

// ---- public ----------------------------------------------------------------

void DrawNetworkIcon(HDC dc, const RECT& area, int network) {
    if (IsEmpty(area)) return;
    const SavedState state{dc};
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);

    const bool known = network >= 0 && network < kNetworkCount;
    const COLORREF tile = known ? kNetworks[network].colour : kUnknownNetwork;
    const Frame f = FitFrame(area, kTile, kTile);

    // Tile: dark hairline edge around a softly lit face.
    const RECT outer = f.Box(2, 2, 56, 56);
    const int radius = f.Len(10);
    FillRoundBox(dc, outer, radius, Darker(tile, 0.28));
    const int edge = f.Len(1);
    const RECT inner{outer.left + edge, outer.top + edge, outer.right - edge, outer.bottom - edge};
    FillShaded(dc, inner, inner.right, Plain(Lighter(tile, 0.22), Darker(tile, 0.06)), [&] {
        RoundRect(dc, inner.left, inner.top, inner.right, inner.bottom, (radius - edge) * 2, (radius - edge) * 2);
    });
    if (!known) return;

    const RECT labelBox = f.Box(5, 42, 53, 54);
    const bool labelled = DrawLabel(dc, labelBox, kNetworks[network].name, f.Len(10), RGB(250, 250, 255));
    kGlyphs[network](dc, f, labelled ? 0.0 : 6.0, tile);
}

void DrawAddButton(HDC dc, const RECT& area, bool pressed) {
    DrawRoundButton(dc, area, pressed, RGB(44, 158, 66), true);
}

void DrawRemoveButton(HDC dc, const RECT& area, bool pressed) {
    DrawRoundButton(dc, area, pressed, RGB(212, 58, 52), false);
}

void DrawSplashPicture(HDC dc, const RECT& area) {
    if (IsEmpty(area)) return;
    const SavedState state{dc};
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);

    constexpr COLORREF kBlue = RGB(0, 0, 255);
    FillBox(dc, area, kBlue);
    const Frame f = FitFrame(area, 313, 361);
    const double cx = 156.5;
    const double cy = 176;

    // Soft halo rings lift the emblem off the saturated blue.
    const double rings[][2] = {{150, 0.07}, {128, 0.13}, {106, 0.19}};
    for (const auto& ring : rings) {
        const double r = ring[0];
        FillEllipse(dc, f.Box(cx - r, cy - r, cx + r, cy + r), Lighter(kBlue, ring[1]));
    }
    DrawEmblem(dc, f, cx, 42, 102, 272, RGB(0, 0, 150));
}

void DrawInfoDecoration(HDC dc, const RECT& area) {
    if (IsEmpty(area)) return;
    const SavedState state{dc};
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);

    FillShaded(dc, area, area.right, Plain(RGB(238, 243, 253), RGB(208, 221, 247)),
               [&] { Rectangle(dc, area.left, area.top, area.right + 1, area.bottom + 1); });

    const Frame f = FitFrame(area, 280, 200);
    const double cx = 140;
    const double ringY = 122;
    const double rx = 124;
    const double ry = 34;
    const int ringWidth = f.Len(3);
    const COLORREF ringColour = RGB(150, 172, 226);

    // Ring of networks orbiting the shield: back half first, front half over it.
    StrokePolyline(dc, ToPixels(f, EllipseArc(cx, ringY, rx, ry, 180, 360, 48)), ringWidth, ringColour);
    DrawEmblem(dc, f, cx, 12, 60, 172, RGB(160, 178, 222));
    StrokePolyline(dc, ToPixels(f, EllipseArc(cx, ringY, rx, ry, 0, 180, 48)), ringWidth, ringColour);

    for (int i = 0; i < kNetworkCount; ++i) {
        const double a = (180.0 - 45.0 * i) * std::numbers::pi / 180.0;
        const double x = cx + rx * std::cos(a);
        const double y = ringY + ry * std::sin(a);
        const double r = 9.0 + 3.0 * std::sin(a);  // nearer dots look larger
        FillEllipse(dc, f.Box(x - r - 2, y - r - 2, x + r + 2, y + r + 2), RGB(255, 255, 255));
        FillEllipse(dc, f.Box(x - r, y - r, x + r, y + r), kNetworks[i].colour);
    }
}

void DrawStatusOutline(HDC dc, const RECT& area, COLORREF colour) {
    if (IsEmpty(area)) return;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    // 3 px around a ~64 px box at 96 DPI, growing with the box, never more than fills it.
    const int thickness = std::clamp(Round(3.0 * std::min(width, height) / 64.0), 1, std::max(1, std::min(width, height) / 2));
    FillBox(dc, RECT{area.left, area.top, area.right, area.top + thickness}, colour);
    FillBox(dc, RECT{area.left, area.bottom - thickness, area.right, area.bottom}, colour);
    FillBox(dc, RECT{area.left, area.top + thickness, area.left + thickness, area.bottom - thickness}, colour);
    FillBox(dc, RECT{area.right - thickness, area.top + thickness, area.right, area.bottom - thickness}, colour);
}

}  // namespace quellgate::win32

namespace quellgate::win32 {

void DrawPicture(HDC dc, const RECT& area, layout::Picture picture) {
    using layout::Picture;
    switch (picture) {
    case Picture::Facebook:
    case Picture::Twitter:
    case Picture::LinkedIn:
    case Picture::MySpace:
    case Picture::YouTube:
        DrawNetworkIcon(dc, area, static_cast<int>(picture) - static_cast<int>(Picture::Facebook));
        break;
    case Picture::Add: DrawAddButton(dc, area, false); break;
    case Picture::Remove: DrawRemoveButton(dc, area, false); break;
    case Picture::Splash: DrawSplashPicture(dc, area); break;
    case Picture::Info: DrawInfoDecoration(dc, area); break;
    case Picture::None: break;
    }
}

}  // namespace quellgate::win32
