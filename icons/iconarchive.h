#pragma once
// IconArchive: one game's icon archive (PANZER2.DAT for PG2, MODGEN.DAT for PeG), opened and
// indexed by name, with the current view of one selected icon painted in a 92 x 62 frame. There is
// one object per game for the whole run; its current view and origin outlive reloads.

#include "base/bytes.h"
#include "equip/game.h"
#include "icons/iconformat.h"
#include "icons/painter.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace varnel {

class IconArchive {
  public:
    explicit IconArchive(Game game);

    Game game() const { return game_; }

    // Forgets the archive file (selections are refused) but keeps its index, as a failed reload
    // does.
    void Close();

    // Indexes archive bytes already read (what Load does after reading the file); true.
    bool Open(Bytes bytes);
    // True while an archive file is open: from a successful Load or Open on.
    bool isOpen() const { return open_; }

    // Selects the icon with key `name` (upper case, no extension) at the current view: PG2 decodes
    // it into the grid, PeG finds its pixel data. False when the archive is not open, the key is
    // missing, its offset is below 5 or the view's header lies outside the file.
    bool SelectIcon(const std::string& name);
    // SelectIcon of an icon-name field: any letter case, upper-cased first.
    bool SelectIconNamed(const std::string& name);

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
