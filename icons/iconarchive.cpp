#include "icons/iconarchive.h"

#include "base/fileio.h"
#include "base/paths.h"

namespace varnel {

namespace {

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

IconArchive::IconArchive(Game game) : game_(game) {}

void IconArchive::Close() {
    file_.clear();
    open_ = false;
    index_.entryCount = 0;
    index_.entriesRead = 0;
}

bool IconArchive::SelectIconNamed(const std::string& name) {
    return SelectIcon(upperCase(name));
}
bool IconArchive::Open(Bytes bytes) {
    file_ = std::move(bytes);
    open_ = true;
    index_ = ReadIconIndex(game_, file_);
    return true;
}

void IconArchive::clampView() {
    if (view_ < iconfile::kFirstView)
        view_ = iconfile::kDefaultView;
    else if (view_ > iconfile::kLastView)
        view_ = iconfile::kLastView;
}

bool IconArchive::SelectIcon(const std::string& name) {
    // After a failed open the index is still there but the file is not: refuse.
    if (!open_)
        return false;
    const auto it = index_.offsets.find(name);
    if (it == index_.offsets.end() || it->second < iconfile::kMinEntryOffset)
        return false;
    clampView();
    if (game_ == Game::Pg2) {
        const auto header = DecodePg2View(file_, it->second, view_, grid_);
        if (!header)
            return false;
        pg2Header_ = *header;
        return true;
    }
    const auto view = LocatePegView(file_, it->second, view_);
    if (!view)
        return false;
    pegView_ = *view;
    return true;
}

void IconArchive::PreviousView() {
    if (view_ > iconfile::kFirstView)
        --view_;
}

void IconArchive::NextView() {
    if (view_ < iconfile::kLastView)
        ++view_;
}

void IconArchive::SetOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
}

void IconArchive::DrawFrame(Painter& painter) const {
    painter.setOrigin(originX_, originY_);
    painter.fillRect(0, 0, iconfile::kFrameWidth, iconfile::kFrameHeight, iconfile::kBorderColour);
    painter.fillRect(iconfile::kInnerLeft, iconfile::kInnerTop, iconfile::kInnerRight,
                     iconfile::kInnerBottom, iconfile::kBackgroundColour);
}

void IconArchive::DrawPixels(Painter& painter) {
    if (game_ == Game::Pg2) {
        const auto [width, height] = PaintPg2Grid(grid_, painter);
        lastWidth_ = width;
        lastHeight_ = height;
        return;
    }
    lastWidth_ = pegView_.width();
    lastHeight_ = pegView_.height();
    if (open_)
        PaintPegView(file_, pegView_, painter);
}

void IconArchive::ShowIcon(Painter& painter, const std::string& name) {
    DrawFrame(painter);
    if (SelectIcon(name))
        DrawPixels(painter);
}

std::vector<std::string> IconArchive::keys() const {
    std::vector<std::string> out;
    out.reserve(index_.offsets.size());
    for (const auto& [key, offset] : index_.offsets)
        out.push_back(key);
    return out;
}

} // namespace varnel
