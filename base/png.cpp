#include "base/png.h"

#include <png.h>

#include <string>

namespace varnel {

namespace {

bool sizesMatch(int width, int height, std::span<const std::uint8_t> rgb) {
    return width > 0 && height > 0 &&
           rgb.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
}

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

} // namespace

std::optional<Bytes> EncodePng(int width, int height, std::span<const std::uint8_t> rgb) {
    if (!sizesMatch(width, height, rgb))
        return std::nullopt;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    Bytes out;
    // libpng reports its errors by longjmp; nothing with a destructor is created after this point.
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::nullopt;
    }
    png_set_write_fn(png, &out, appendToBytes, noFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::optional<Bytes> EncodePpm(int width, int height, std::span<const std::uint8_t> rgb) {
    if (!sizesMatch(width, height, rgb))
        return std::nullopt;
    const std::string header =
        "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes out(header.begin(), header.end());
    out.insert(out.end(), rgb.begin(), rgb.end());
    return out;
}

} // namespace varnel
