#pragma once
// The core's Painter on a QImage: what the unit forms and the icon chooser paint icons with.

#include "icons/painter.h"

#include <QImage>

namespace varnel {

class QImagePainter : public Painter {
  public:
    // Paints on `image`, which must outlive the painter; it is converted to 32-bit RGB first when
    // it has another format. Pixels outside the image are dropped.
    explicit QImagePainter(QImage& image);

    void setOrigin(int x, int y) override;
    void fillRect(int left, int top, int right, int bottom, Rgb colour) override;
    void setPixel(int x, int y, Rgb colour) override;
    void setPixelRow(int x, int y, std::span<const Rgb> colours) override;

  private:
    QImage& image_;
    int originX_ = 0;
    int originY_ = 0;
};

} // namespace varnel
