#pragma once
// Helpers of the icon archive tests: archives built with the project's writers, opened in memory.

#include "icons/archivewriter.h"
#include "icons/iconarchive.h"
#include "icons/rgbimage.h"

#include <ostream>

namespace varnel {

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "rgb(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

namespace test {

// Nine views of the same picture.
inline std::vector<ShpView> NineShpViews(const ShpView& view) {
    return std::vector<ShpView>(9, view);
}
inline std::vector<S16View> NineS16Views(const S16View& view) {
    return std::vector<S16View>(9, view);
}

inline IconArchive OpenArchive(Game game, const std::vector<ArchiveEntry>& entries) {
    IconArchive archive(game);
    archive.Open(WriteIconArchive(entries));
    return archive;
}

// The frame of `archive` painted with origin (0, 0) on a picture exactly the frame's size.
inline RgbImage ShowAtOrigin(IconArchive& archive, const std::string& name) {
    RgbImage image(iconfile::kFrameWidth, iconfile::kFrameHeight);
    archive.SetOrigin(0, 0);
    archive.ShowIcon(image, name);
    return image;
}

// An image of only the empty frame, to compare against.
inline RgbImage EmptyFrame() {
    RgbImage image(iconfile::kFrameWidth, iconfile::kFrameHeight);
    IconArchive archive(Game::Pg2);
    archive.SetOrigin(0, 0);
    archive.DrawFrame(image);
    return image;
}

// The pixels of `image` that differ from the empty frame.
inline int ChangedPixels(const RgbImage& image) {
    const RgbImage empty = EmptyFrame();
    int changed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            changed += image.at(x, y) == empty.at(x, y) ? 0 : 1;
    return changed;
}

} // namespace test
} // namespace varnel
