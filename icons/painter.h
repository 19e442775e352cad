#pragma once
// The small drawing surface the icon archives paint on: a device origin, filled rectangles and
// single pixels. The editor implements it on a QImage; the core's RgbImage keeps the pixels in
// memory for the command line and the tests.

#include <cstdint>
#include <span>

namespace varnel {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Painter {
  public:
    virtual ~Painter() = default;

    // Device position of the logical point (0, 0) for the calls that follow.
    virtual void setOrigin(int x, int y) = 0;
    // Fills the rectangle from (left, top) up to, not including, (right, bottom).
    virtual void fillRect(int left, int top, int right, int bottom, Rgb colour) = 0;
    // Sets one pixel. Pixels that fall outside the surface are dropped.
    virtual void setPixel(int x, int y, Rgb colour) = 0;
    // Sets pixels (x, y), (x + 1, y), ... to `colours`: the same result as one setPixel each.
    virtual void setPixelRow(int x, int y, std::span<const Rgb> colours) {
        for (const Rgb& c : colours)
            setPixel(x++, y, c);
    }
};

} // namespace varnel
