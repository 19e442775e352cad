#include "icons/rgbimage.h"

#include <algorithm>

namespace varnel {

RgbImage::RgbImage(int width, int height, Rgb fill)
    : width_(std::max(0, width)), height_(std::max(0, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

Rgb RgbImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

std::vector<std::uint8_t> RgbImage::rgbBytes() const {
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 3);
    for (const Rgb& p : pixels_) {
        out.push_back(p.r);
        out.push_back(p.g);
        out.push_back(p.b);
    }
    return out;
}

void RgbImage::setOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
}

void RgbImage::fillRect(int left, int top, int right, int bottom, Rgb colour) {
    // Work in 64 bits: origin plus a coordinate read from a file may not fit an int.
    const long long x0 = std::max<long long>(0, static_cast<long long>(left) + originX_);
    const long long y0 = std::max<long long>(0, static_cast<long long>(top) + originY_);
    const long long x1 = std::min<long long>(width_, static_cast<long long>(right) + originX_);
    const long long y1 = std::min<long long>(height_, static_cast<long long>(bottom) + originY_);
    for (long long y = y0; y < y1; ++y)
        for (long long x = x0; x < x1; ++x)
            pixels_[static_cast<std::size_t>(y * width_ + x)] = colour;
}

void RgbImage::setPixel(int x, int y, Rgb colour) {
    const long long dx = static_cast<long long>(x) + originX_;
    const long long dy = static_cast<long long>(y) + originY_;
    if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_)
        return;
    pixels_[static_cast<std::size_t>(dy * width_ + dx)] = colour;
    ++pixelsSet_;
}

void RgbImage::setPixelRow(int x, int y, std::span<const Rgb> colours) {
    const long long dy = static_cast<long long>(y) + originY_;
    if (dy < 0 || dy >= height_)
        return;
    long long dx = static_cast<long long>(x) + originX_;
    for (const Rgb& c : colours) {
        if (dx >= width_)
            break;
        if (dx >= 0) {
            pixels_[static_cast<std::size_t>(dy * width_ + dx)] = c;
            ++pixelsSet_;
        }
        ++dx;
    }
}

} // namespace varnel
