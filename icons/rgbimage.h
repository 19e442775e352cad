#pragma once
// An in-memory RGB picture that implements Painter: what the command line writes to PNG or PPM
// and what the tests inspect.

#include "icons/painter.h"

#include <vector>

namespace varnel {

class RgbImage : public Painter {
  public:
    // A picture of width x height pixels (negative sizes count as 0), all `fill`.
    RgbImage(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    // The pixel at device position (x, y); black outside the picture.
    Rgb at(int x, int y) const;
    // Rows from the top, each pixel three bytes R G B.
    std::vector<std::uint8_t> rgbBytes() const;
    // Number of setPixel/setPixelRow pixels that landed inside the picture since construction.
    long long pixelsSet() const { return pixelsSet_; }

    void setOrigin(int x, int y) override;
    void fillRect(int left, int top, int right, int bottom, Rgb colour) override;
    void setPixel(int x, int y, Rgb colour) override;
    void setPixelRow(int x, int y, std::span<const Rgb> colours) override;

  private:
    int width_;
    int height_;
    int originX_ = 0;
    int originY_ = 0;
    long long pixelsSet_ = 0;
    std::vector<Rgb> pixels_;
};

} // namespace varnel
