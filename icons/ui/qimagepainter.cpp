#include "icons/ui/qimagepainter.h"

#include <algorithm>

namespace varnel {

namespace {
QRgb toQRgb(Rgb c) {
    return qRgb(c.r, c.g, c.b);
}
} // namespace

QImagePainter::QImagePainter(QImage& image) : image_(image) {
    if (image_.format() != QImage::Format_RGB32)
        image_ = image_.convertToFormat(QImage::Format_RGB32);
}

void QImagePainter::setOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
}

void QImagePainter::fillRect(int left, int top, int right, int bottom, Rgb colour) {
    const int x0 = std::max(0, left + originX_);
    const int y0 = std::max(0, top + originY_);
    const int x1 = std::min(image_.width(), right + originX_);
    const int y1 = std::min(image_.height(), bottom + originY_);
    const QRgb value = toQRgb(colour);
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(line + x0, line + std::max(x0, x1), value);
    }
}

void QImagePainter::setPixel(int x, int y, Rgb colour) {
    const int dx = x + originX_;
    const int dy = y + originY_;
    if (dx < 0 || dy < 0 || dx >= image_.width() || dy >= image_.height())
        return;
    reinterpret_cast<QRgb*>(image_.scanLine(dy))[dx] = toQRgb(colour);
}

void QImagePainter::setPixelRow(int x, int y, std::span<const Rgb> colours) {
    const int dy = y + originY_;
    if (dy < 0 || dy >= image_.height())
        return;
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(dy));
    int dx = x + originX_;
    for (const Rgb& c : colours) {
        if (dx >= 0 && dx < image_.width())
            line[dx] = toQRgb(c);
        ++dx;
    }
}

} // namespace varnel
