#include "icons/sampleicons.h"

#include "base/fileio.h"
#include "icons/archivewriter.h"
#include "icons/iconformat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace varnel {

namespace {

constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 40;
constexpr double kPi = 3.14159265358979323846;
constexpr const char* kPg2FileName = "PANZER2.DAT";
constexpr const char* kPegFileName = "MODGEN.DAT";

struct Point {
    double x;
    double y;
};

// Model space: x from -1 (rear) to 1 (front), y downwards, one unit = half the picture width.
enum class Part { Body, Detail };

struct Primitive {
    enum Kind { Polygon, Circle, Bar } kind;
    Part part;
    std::vector<Point> points; // polygon corners; circle centre; bar ends
    double size = 0;           // circle radius; bar half thickness
};

Primitive poly(Part part, std::vector<Point> pts) {
    return {Primitive::Polygon, part, pts, 0};
}
Primitive circle(Part part, Point c, double r) {
    return {Primitive::Circle, part, {c}, r};
}
Primitive bar(Part part, Point a, Point b, double half) {
    return {Primitive::Bar, part, {a, b}, half};
}

std::vector<Primitive> silhouette(IconShape shape) {
    switch (shape) {
    case IconShape::Vehicle: // a tank from the side
        return {
            poly(Part::Body, {{-0.9, 0.12}, {0.92, 0.12}, {0.78, 0.42}, {-0.78, 0.42}}),
            poly(Part::Body, {{-0.8, -0.08}, {0.75, -0.08}, {0.88, 0.12}, {-0.88, 0.12}}),
            poly(Part::Body, {{-0.35, -0.34}, {0.2, -0.34}, {0.3, -0.08}, {-0.45, -0.08}}),
            bar(Part::Body, {0.25, -0.22}, {0.98, -0.2}, 0.04),
            circle(Part::Detail, {-0.6, 0.27}, 0.11),
            circle(Part::Detail, {-0.2, 0.27}, 0.11),
            circle(Part::Detail, {0.2, 0.27}, 0.11),
            circle(Part::Detail, {0.6, 0.27}, 0.11),
        };
    case IconShape::Gun: // a field gun with shield, wheel and trail
        return {
            bar(Part::Body, {-0.15, 0.05}, {0.9, -0.42}, 0.05),
            poly(Part::Body, {{-0.05, -0.25}, {0.12, -0.3}, {0.18, 0.12}, {0.0, 0.16}}),
            bar(Part::Body, {-0.9, 0.42}, {0.0, 0.12}, 0.05),
            circle(Part::Body, {-0.05, 0.2}, 0.24),
            circle(Part::Detail, {-0.05, 0.2}, 0.1),
        };
    case IconShape::Ship: // a warship from the side
        return {
            poly(Part::Body, {{-0.95, 0.05}, {1.0, -0.02}, {0.8, 0.32}, {-0.85, 0.32}}),
            poly(Part::Body, {{-0.3, -0.22}, {0.25, -0.22}, {0.25, 0.05}, {-0.3, 0.05}}),
            poly(Part::Detail, {{-0.05, -0.45}, {0.1, -0.45}, {0.1, -0.22}, {-0.05, -0.22}}),
            bar(Part::Body, {0.45, -0.02}, {0.7, -0.08}, 0.03),
            poly(Part::Body, {{0.35, -0.1}, {0.55, -0.1}, {0.55, 0.05}, {0.35, 0.05}}),
            poly(Part::Body, {{-0.65, -0.1}, {-0.45, -0.1}, {-0.45, 0.05}, {-0.65, 0.05}}),
            bar(Part::Detail, {-0.15, -0.22}, {-0.15, -0.55}, 0.02),
        };
    case IconShape::Plane: // a plane from above, nose to the right
        return {
            poly(Part::Body,
                 {{-0.85, -0.06}, {0.7, -0.08}, {0.9, 0.0}, {0.7, 0.08}, {-0.85, 0.06}}),
            poly(Part::Body, {{0.05, -0.85}, {0.3, -0.85}, {0.38, 0.85}, {0.13, 0.85}}),
            poly(Part::Body, {{-0.85, -0.3}, {-0.7, -0.3}, {-0.62, 0.3}, {-0.78, 0.3}}),
            circle(Part::Detail, {0.5, 0.0}, 0.07),
        };
    }
    return {};
}

bool insidePolygon(const std::vector<Point>& pts, Point p) {
    bool inside = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        if ((pts[i].y > p.y) != (pts[j].y > p.y) &&
            p.x < (pts[j].x - pts[i].x) * (p.y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
            inside = !inside;
    }
    return inside;
}

bool insideBar(Point a, Point b, double half, Point p) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey <= half * half;
}

// 0 outside, 1 body, 2 detail (details drawn over the body).
int hit(const std::vector<Primitive>& shape, Point p) {
    int result = 0;
    for (const auto& prim : shape) {
        bool in = false;
        switch (prim.kind) {
        case Primitive::Polygon:
            in = insidePolygon(prim.points, p);
            break;
        case Primitive::Circle: {
            const double dx = p.x - prim.points[0].x;
            const double dy = p.y - prim.points[0].y;
            in = dx * dx + dy * dy <= prim.size * prim.size;
            break;
        }
        case Primitive::Bar:
            in = insideBar(prim.points[0], prim.points[1], prim.size, p);
            break;
        }
        if (in)
            result = prim.part == Part::Detail ? 2 : std::max(result, 1);
    }
    return result;
}

// Tone of every picture cell of one view: 0 empty, 1 body, 2 detail, 3 outline. View k turns the
// shape: planes rotate by 45 degrees a view; side views turn about the upright axis, narrowing and
// mirroring, so each of the nine views shows another angle.
std::vector<int> drawView(IconShape shape, int view) {
    const auto prims = silhouette(shape);
    const double angle = (view - 1) * kPi / 4;
    std::vector<int> tone(kPictureWidth * kPictureHeight, 0);
    const double half = kPictureWidth / 2.0;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const double u = (x + 0.5 - half) / half;
            const double v = (y + 0.5 - kPictureHeight / 2.0) / half;
            Point p{u, v};
            if (shape == IconShape::Plane) {
                p = {u * std::cos(angle) + v * std::sin(angle),
                     -u * std::sin(angle) + v * std::cos(angle)};
            } else {
                double scale = std::cos(angle);
                if (std::abs(scale) < 0.45)
                    scale = scale < 0 ? -0.45 : 0.45;
                p = {u / scale, v};
            }
            tone[static_cast<std::size_t>(y * kPictureWidth + x)] = hit(prims, p);
        }
    // Outline: shape cells next to an empty cell.
    std::vector<int> out = tone;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            if (tone[static_cast<std::size_t>(y * kPictureWidth + x)] == 0)
                continue;
            const bool edge = x == 0 || y == 0 || x == kPictureWidth - 1 ||
                              y == kPictureHeight - 1 ||
                              tone[static_cast<std::size_t>(y * kPictureWidth + x - 1)] == 0 ||
                              tone[static_cast<std::size_t>(y * kPictureWidth + x + 1)] == 0 ||
                              tone[static_cast<std::size_t>((y - 1) * kPictureWidth + x)] == 0 ||
                              tone[static_cast<std::size_t>((y + 1) * kPictureWidth + x)] == 0;
            if (edge)
                out[static_cast<std::size_t>(y * kPictureWidth + x)] = 3;
        }
    return out;
}

// Palette indexes per shape: a run of 16 shades from light to dark or dark to light, so the view
// number can pick the body shade.
struct ShadeRun {
    std::uint8_t first;
    int step;
};

ShadeRun shadeRun(IconShape shape) {
    switch (shape) {
    case IconShape::Vehicle:
        return {223, -1}; // greens
    case IconShape::Gun:
        return {159, -1}; // browns
    case IconShape::Ship:
        return {1, 1}; // greys
    case IconShape::Plane:
        return {191, -1}; // blue greens
    }
    return {1, 1};
}

std::array<std::uint8_t, 4> viewColours(IconShape shape, int view) {
    const ShadeRun run = shadeRun(shape);
    const int body = run.first + run.step * (2 + view);
    const int detail = run.first + run.step * std::min(15, 7 + view);
    constexpr std::uint8_t kBlack = 0;
    return {shp::kTransparent, static_cast<std::uint8_t>(body), static_cast<std::uint8_t>(detail),
            kBlack};
}

std::uint16_t pegWord(Rgb c) {
    auto word = static_cast<std::uint16_t>((c.r >> 3) | ((c.g >> 2) << 5) | ((c.b >> 3) << 11));
    // The transparent word must never come out of a shape colour.
    return word == s16::kTransparentColour ? static_cast<std::uint16_t>(word - 1) : word;
}

Bytes shpEntry(IconShape shape) {
    std::vector<ShpView> views;
    for (int view = 1; view <= static_cast<int>(iconfile::kIconViews); ++view) {
        const auto tone = drawView(shape, view);
        const auto colours = viewColours(shape, view);
        IndexRows rows(kPictureHeight, std::vector<std::uint8_t>(kPictureWidth));
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
                    colours[static_cast<std::size_t>(
                        tone[static_cast<std::size_t>(y * kPictureWidth + x)])];
        // Place the picture in the middle of the game's 180 x 120 grid.
        views.push_back(MakeShpView(rows, (shp::kGridColumns - kPictureWidth) / 2,
                                    (shp::kGridRows - kPictureHeight) / 2));
    }
    return WriteShpEntry(views);
}

Bytes s16Entry(IconShape shape, bool runLength) {
    std::vector<S16View> views;
    const auto& palette = Pg2Palette();
    for (int view = 1; view <= static_cast<int>(iconfile::kIconViews); ++view) {
        const auto tone = drawView(shape, view);
        const auto colours = viewColours(shape, view);
        std::vector<std::uint16_t> pixels;
        pixels.reserve(tone.size());
        for (const int t : tone)
            pixels.push_back(t == 0 ? s16::kTransparentColour
                                    : pegWord(palette[colours[static_cast<std::size_t>(t)]]));
        views.push_back(MakeS16View(kPictureWidth, kPictureHeight, pixels, runLength));
    }
    return WriteS16Entry(views);
}

std::string upperName(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

IconShape GuessIconShape(const std::string& name, std::size_t position) {
    const std::string n = upperName(name);
    auto any = [&](std::initializer_list<const char*> words) {
        return std::any_of(words.begin(), words.end(),
                           [&](const char* w) { return n.find(w) != std::string::npos; });
    };
    if (any({"PLANE", "AIR", "FIGHT", "BOMB",  "JET",    "HELI",   "STUKA", "SPIT",
             "MIG",   "BF1", "HE1",   "JU",    "B17",    "P47",    "C47",   "C160",
             "CH47",  "A10", "F16",   "EUROF", "TORNAD", "APACHE", "HIND",  "TIGERH"}))
        return IconShape::Plane;
    if (any({"SHIP", "SEA", "BOAT", "BOOT", "SUB", "DEST", "CRUIS", "CARR", "NAVY", "BISM",
             "SCHARN", "IOWA", "KIROV", "TICOND", "FREGAT", "CDG", "LST", "U212"}))
        return IconShape::Ship;
    if (any({"GUN", "ART", "HOW", "FLAK", "MORT", "ROCK", "PAK", "PDR", "BOFOR", "LONGTM", "SFH",
             "PZH", "MILAN", "MLRS", "PATRIO", "ROLAND", "TOW"}))
        return IconShape::Gun;
    if (any({"TANK", "PZ", "CAR", "TRUCK", "APC", "VEH", "INF", "TIGER", "PANTH", "SHERM", "T34",
             "T90", "MATILD", "LEO", "ABRAMS", "CHAR", "SDK"}))
        return IconShape::Vehicle;
    constexpr IconShape kTurns[] = {IconShape::Vehicle, IconShape::Gun, IconShape::Ship,
                                    IconShape::Plane};
    return kTurns[position % 4];
}

Bytes MakeSampleIconArchive(Game game, const std::vector<SampleIcon>& icons) {
    std::vector<ArchiveEntry> entries;
    // Entries the index must leave out: data that is no icon, and a one-view picture.
    entries.push_back({"PALETTE.PAL", Bytes(768, 0x40)});
    std::set<std::string> seen;
    std::size_t position = 0;
    for (const auto& icon : icons) {
        if (icon.name.empty() || !seen.insert(upperName(icon.name)).second)
            continue;
        if (game == Game::Pg2)
            entries.push_back({icon.name + ".SHP", shpEntry(icon.shape)});
        else
            entries.push_back({icon.name + ".S16", s16Entry(icon.shape, position % 2 == 1)});
        ++position;
    }
    if (game == Game::Pg2) {
        auto logo = shpEntry(IconShape::Vehicle);
        logo[shp::kViewCountOffset] = 1;
        entries.push_back({"LOGO.SHP", logo});
    } else {
        auto logo = s16Entry(IconShape::Plane, true);
        logo[s16::kViewCountOffset] = 1;
        entries.push_back({"LOGO.S16", logo});
    }
    const std::string note = "Sample archive written by Varnel.\r\n";
    entries.push_back({"README.TXT", Bytes(note.begin(), note.end())});
    return WriteIconArchive(entries);
}

bool WriteSampleIconArchive(const std::string& folderPath, Game game,
                            const std::vector<std::string>& iconNames) {
    std::vector<SampleIcon> icons;
    for (std::size_t i = 0; i < iconNames.size(); ++i)
        icons.push_back({iconNames[i], GuessIconShape(iconNames[i], i)});
    return SaveFileBytes(folderPath + (game == Game::Pg2 ? kPg2FileName : kPegFileName),
                         MakeSampleIconArchive(game, icons));
}

} // namespace varnel
