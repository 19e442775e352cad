// Arbitrary bytes as an icon archive of either game: index, select every icon at several views
// and paint it, as the forms and the chooser do.

#include "icons/iconarchive.h"
#include "icons/rgbimage.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t kMaxIconsPerInput = 64;
constexpr int kViews[] = {1, 4, 9, 0, 12};

void exercise(varnel::Game game, const std::uint8_t* data, std::size_t size) {
    varnel::IconArchive archive(game);
    archive.Open(varnel::Bytes(data, data + size));
    // A picture larger than the frame, offset, so PeG views painting outside the frame are seen.
    varnel::RgbImage image(160, 120);
    archive.SetOrigin(20, 20);
    std::size_t n = 0;
    for (const auto& [key, offset] : archive.index()) {
        if (++n > kMaxIconsPerInput)
            break;
        for (const int view : kViews) {
            archive.SetView(view);
            archive.ShowIcon(image, key);
        }
    }
    archive.DrawPixels(image);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exercise(varnel::Game::Pg2, data, size);
    exercise(varnel::Game::Peg, data, size);
    return 0;
}
