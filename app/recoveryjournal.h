#pragma once
// The recovery journal: each game's undo history on disk, so that the unsaved work of an editor
// that died (a crash, a power cut, SIGTERM, SIGKILL) can be had again at the next start.
//
// One journal file per game per process, in the user's state folder, named
// "journal-<pid>-<start time>-<game>.varnel"; the process locks it while it lives, so two editors
// never take each other's. A journal is a base followed by entries, each appended and flushed to
// the disk before the edit returns. Every record is framed:
//
//   offset  width  meaning
//   0       4      u32 length n of the body
//   4       n      body: u8 record type, then its fields
//   4+n     4      u32 checksum of the body (a record cut short by the crash is ignored)
//
// Integers are little-endian; a text or a byte block is a u32 length and its bytes. The base
// (type 0) is one of: the files the table was loaded from, with their sizes and hashes (the table
// is at their clean point); a copy of the table with its two change flags (after a partial save,
// or an undo past what the journal holds); or no table. Each entry names one command of the
// document's edit path with its arguments (a field's name and the text stored, an index, the
// units appended, the cost choices) or an undo or redo; replaying them through the same path
// rebuilds the same table, undo history and change flags.

#include "base/journalfile.h"
#include "convert/costmodifier.h"
#include "equip/game.h"
#include "equip/tfile.h"
#include "equip/unittable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

class CVarnelDoc;

class RecoveryJournal {
  public:
    explicit RecoveryJournal(std::string folder);

    const std::string& folder() const { return folder_; }
    // Starts game `g`'s journal afresh with `base` (a framed base record); `floor`: the
    // history position the base stands for.
    void rebase(Game g, const std::vector<std::uint8_t>& base, std::size_t floor);
    // Appends a framed entry to the game's journal (nothing when it has none).
    void append(Game g, const std::vector<std::uint8_t>& entry);
    // Removes the game's journal file.
    void remove(Game g);
    // While a journal is replayed, entries are gathered and written at its end, at once: one
    // flush instead of one per step.
    void beginBatch() { batch_ = true; }
    void endBatch();
    bool has(Game g) const { return files_[slot(g)].isOpen(); }
    const std::string& path(Game g) const { return files_[slot(g)].path(); }
    // The history position of the base, and how many steps after it the journal holds: an undo
    // below the base, or a redo of a step it never held, cannot be written as such.
    std::size_t floor(Game g) const { return floors_[slot(g)]; }
    std::size_t known(Game g) const { return known_[slot(g)]; }
    void setKnown(Game g, std::size_t steps) { known_[slot(g)] = steps; }

  private:
    static std::size_t slot(Game g) { return g == Game::Pg2 ? 0 : 1; }
    std::string folder_;
    std::string stem_; // "journal-<pid>-<start time>-"
    std::array<JournalFile, 2> files_;
    std::array<std::size_t, 2> floors_{};
    std::array<std::size_t, 2> known_{};
    std::array<Bytes, 2> pending_;
    bool batch_ = false;
};

// The entries, framed, as the edit path writes them.
enum class JournalRecord : std::uint8_t {
    Base = 0,
    Field = 1,   // u32 unit, text field name, text shown
    Clone = 2,   // u32 unit
    Delete = 3,  // u32 unit
    Append = 4,  // text what, u8 names, block E-File bytes, block Names E-File bytes
    Cost = 5,    // per PeG country: u8 chosen, u32 percent
    Convert = 6, // block E-File, block names, u32 countries + texts, texts E-File, names, T-File
    Names = 7,   // text path, block Names E-File bytes
    Undo = 8,
    Redo = 9,
    Table = 10, // text what, block E-File bytes, block Names E-File bytes
    Cells = 11, // text what, u32 n, n x (u32 unit, text field name, text shown)
    Csv = 12,   // u8 append, u8 delimiter, u8 read1252, u32 n + header texts, u32 rows,
                // rows x (u32 line, u32 cells, cells x text)
};
using Bytes = std::vector<std::uint8_t>;
Bytes JournalFieldEntry(std::size_t unit, const std::string& field, std::string_view shown);
Bytes JournalUnitEntry(JournalRecord type, std::size_t unit);
Bytes JournalAppendEntry(const std::string& what, bool names, const Bytes& eFile,
                         const Bytes& namesFile);
Bytes JournalCostEntry(const CostChoices& choices);
Bytes JournalConvertEntry(const PegUnitTable& table, const NameTable& countries,
                          const std::string& eFile, const std::string& namesEFile,
                          const std::string& tFile);
Bytes JournalNamesEntry(const std::string& path, std::span<const std::uint8_t> bytes);
Bytes JournalMoveEntry(bool undo);
Bytes JournalTableEntry(const std::string& what, const Bytes& eFile, const Bytes& namesFile);
struct CellEdit;
Bytes JournalCellsEntry(const std::string& what, std::span<const CellEdit> edits);
struct CsvFile;
struct CsvImportOptions;
Bytes JournalCsvEntry(const CsvFile& file, const CsvImportOptions& options);

// The journals in `folder` that no living process holds, oldest first.
std::vector<std::string> FindLeftJournals(const std::string& folder);

// What a left journal is about: its game and the E-File its table belongs to ("" when none).
struct JournalSummary {
    Game game = Game::Pg2;
    std::string eFile;
    bool changes = false; // false: the table stood at its files' clean point, nothing to restore
};
// Nothing when the file is no journal (or its base is damaged).
std::optional<JournalSummary> ReadJournalSummary(const std::string& path);

// Restores the journal at `path` into `doc` and removes the file. A journal whose files are no
// longer as they were is refused with a message and kept; nothing changes then. False when
// nothing was restored.
bool RestoreJournal(CVarnelDoc& doc, const std::string& path);

// The start-up question for each left journal in `folder`: "Varnel was not closed properly.
// Restore the unsaved changes to %s?". Yes restores it, No deletes it.
void OfferLeftJournals(CVarnelDoc& doc, const std::string& folder);

} // namespace varnel
