#pragma once
// IconArchive: one game's icon archive (PANZER2.DAT for PG2, MODGEN.DAT for PeG), opened and
// indexed by name, with the current view of one selected icon painted in a 92 x 62 frame. There is
// one object per game for the whole run; its current view and origin outlive reloads.

#include "app/appsettings.h"
#include "app/uiport.h"
#include "icons/iconformat.h"
#include "icons/painter.h"
#include "tools/bytes.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace varnel {

struct AppState;

class IconArchive {
  public:
    explicit IconArchive(Game game);

    Game game() const { return game_; }

    // Opens and indexes the archive at `path`. An empty path searches "PANZER2.dat" (PG2) or
    // "MODGEN.dat" (PeG) in the folder of the game's E-File, then its main folder, then its
    // alternative folder. A path that does not exist shows "%s\nnot found!" and asks with the file
    // chooser; cancelling (or choosing nothing that exists) returns false and changes nothing.
    // Otherwise the path becomes the "PG2 DAT" / "PeG DAT" setting (in memory) and the file is
    // read; if that fails the archive is closed (selections are refused) but keeps its index, and
    // false is returned.
    bool Load(UiPort& ui, AppSettings& settings, const std::string& path);

    // Indexes archive bytes already read (what Load does after reading the file); true.
    bool Open(Bytes bytes);
    // True while an archive file is open: from a successful Load or Open on.
    bool isOpen() const { return open_; }

    // Selects the icon with key `name` (upper case, no extension) at the current view: PG2 decodes
    // it into the grid, PeG finds its pixel data. False when the archive is not open, the key is
    // missing, its offset is below 5 or the view's header lies outside the file.
    bool SelectIcon(const std::string& name);
    // SelectIcon with the icon name of unit `unitIndex` of the game's unit table; false when no
    // E-File of the game is loaded or the index is out of range.
    bool SelectIconOfUnit(const AppState& state, int unitIndex);

    // View - 1 while above 1; view + 1 while below 9. Neither repaints.
    void PreviousView();
    void NextView();
    // Sets the current view; a value outside 1..9 is mended at the next selection (below 1
    // becomes 4, above 9 becomes 9).
    void SetView(int view) { view_ = view; }
    int view() const { return view_; }

    // The device origin DrawFrame sets.
    void SetOrigin(int x, int y);
    int originX() const { return originX_; }
    int originY() const { return originY_; }

    // Sets the painter's origin to the archive's origin (left so) and paints the empty frame.
    void DrawFrame(Painter& painter) const;
    // Paints the selected view inside the frame and remembers its size.
    void DrawPixels(Painter& painter);
    // DrawFrame, then DrawPixels when SelectIcon(name) succeeds.
    void ShowIcon(Painter& painter, const std::string& name);
    // DrawFrame, then DrawPixels when SelectIconOfUnit succeeds.
    void ShowIconOfUnit(Painter& painter, const AppState& state, int unitIndex);

    const std::map<std::string, std::int32_t>& index() const { return index_.offsets; }
    // The keys, sorted.
    std::vector<std::string> keys() const;
    std::size_t keyCount() const { return index_.offsets.size(); }
    // N as stored in the file (0 while closed), and the directory entries the file really holds.
    std::uint32_t entryCount() const { return index_.entryCount; }
    std::uint32_t entriesRead() const { return index_.entriesRead; }
    int lastWidth() const { return lastWidth_; }
    int lastHeight() const { return lastHeight_; }

    // PG2: the grid and header of the last decode.
    const Pg2Grid& grid() const { return grid_; }
    const Pg2ViewHeader& pg2Header() const { return pg2Header_; }
    // PeG: the last selected view.
    const PegView& pegView() const { return pegView_; }

  private:
    void clampView();

    Game game_;
    Bytes file_;
    bool open_ = false;
    IconIndex index_;
    int view_ = iconfile::kDefaultView;
    int originX_ = iconfile::kDefaultOriginX;
    int originY_ = iconfile::kDefaultOriginY;
    int lastWidth_ = 0;
    int lastHeight_ = 0;
    Pg2Grid grid_;
    Pg2ViewHeader pg2Header_{};
    PegView pegView_;
};

} // namespace varnel
