#include "icons/iconarchive.h"

#include "app/appstate.h"
#include "app/filekind.h"
#include "tools/fileio.h"
#include "tools/paths.h"

namespace varnel {

namespace {

constexpr const char* kPg2ArchiveName = "PANZER2.dat";
constexpr const char* kPegArchiveName = "MODGEN.dat";
constexpr const char* kNotFound = "%s\nnot found!";

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

IconArchive::IconArchive(Game game) : game_(game) {}

bool IconArchive::Load(UiPort& ui, AppSettings& settings, const std::string& givenPath) {
    std::string path = givenPath;
    if (path.empty()) {
        const char* name = game_ == Game::Pg2 ? kPg2ArchiveName : kPegArchiveName;
        const std::string candidates[] = {GetPathPart(settings.eFile(game_), PathPart::Folder),
                                          settings.dir(game_), settings.altDir(game_)};
        for (const auto& folder : candidates) {
            path = Format("%s%s", folder.c_str(), name);
            if (FileExists(path))
                break;
        }
    }
    if (!FileExists(path)) {
        MessageBox(ui, kNotFound, path.c_str());
        path = ChooseFile(ui, settings, IconArchiveKind(game_), PathPart::FullPath, kNoValue,
                          kNoValue, kNoValue, kNoValue, true);
        if (path == kNoValue || !FileExists(path))
            return false;
    }
    settings.iconArchive(game_) = path;

    file_.clear();
    open_ = false;
    index_.entryCount = 0;
    index_.entriesRead = 0;
    BusyCursor busy(ui);
    auto bytes = ReadFileBytes(path);
    if (!bytes)
        return false;
    return Open(std::move(*bytes));
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

bool IconArchive::SelectIconOfUnit(const AppState& state, int unitIndex) {
    if (unitIndex < 0)
        return false;
    const auto i = static_cast<std::size_t>(unitIndex);
    if (game_ == Game::Pg2) {
        if (!state.pg2 || i >= state.pg2->units.size())
            return false;
        return SelectIcon(upperCase(state.pg2->units[i].record.icon()));
    }
    if (!state.peg || i >= state.peg->units.size())
        return false;
    return SelectIcon(upperCase(state.peg->units[i].record.unitIcon()));
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

void IconArchive::ShowIconOfUnit(Painter& painter, const AppState& state, int unitIndex) {
    DrawFrame(painter);
    if (SelectIconOfUnit(state, unitIndex))
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
