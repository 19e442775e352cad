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
// an undo past what the journal holds, or just before a save, then with what each file will
// hold once written); or no table. Each entry is a step of the history as a patch (type 20:
// text, u8 flags 1 data / 2 names / 4 names clean, block patch code, u32 n + n x u64 hashes of
// its Replace parts' old bytes, u8 swap and, with a swap, what it puts in and the hash of what
// it replaces), an undo (21) or a redo (22). Replay applies the patches through the document's
// one door after checking their old bytes: it re-runs no field rule.

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
    static std::size_t slot(Game g) { return GameIndex(g); }
    std::string folder_;
    std::string stem_; // "journal-<pid>-<start time>-"
    std::array<JournalFile, 2> files_;
    std::array<std::size_t, 2> floors_{};
    std::array<std::size_t, 2> known_{};
    std::array<Bytes, 2> pending_;
    bool batch_ = false;
};

enum class JournalRecord : std::uint8_t {
    Base = 0,
    Step = 20,
    Undo = 21,
    Redo = 22,
};
using Bytes = std::vector<std::uint8_t>;

// The journals in `folder` that no living process holds, oldest first.
std::vector<std::string> FindLeftJournals(const std::string& folder);

// What a left journal is about: its game and the E-File its table belongs to ("" when none).
struct JournalSummary {
    Game game = Game::Pg2;
    std::string eFile;
    bool changes = false; // false: nothing to restore (clean base, steps that cancel out)
    bool damaged = false; // bytes after the last whole entry: an entry cut short or damaged
    std::size_t entries = 0;
    std::int64_t lastChange = 0; // seconds since the epoch of the file's last write
};
// Nothing when the file is no journal (or its base is damaged).
std::optional<JournalSummary> ReadJournalSummary(const std::string& path);

// Restores the journal at `path` into `doc` and removes the file. A journal whose files are no
// longer as they were is refused with a message and kept; nothing changes then. A journal
// damaged after its base restores what comes before the damage and says so; one whose base is
// damaged is kept under another name, and the message says which. False when nothing was
// restored.
bool RestoreLeftJournal(CVarnelDoc& doc, const std::string& path);

// What the start-up offer did.
struct OfferResult {
    std::vector<Game> restored;      // games whose journal was restored
    std::vector<std::string> eFiles; // their E-Files, in the same order
};
// The start-up question for each left journal in `folder`: "Varnel was not closed properly.
// Restore the unsaved changes to %s (last changed %s)?". Yes restores it, No deletes it. Once a
// game's journal is restored, the other journals of that game stay for the next start.
OfferResult OfferLeftJournals(CVarnelDoc& doc, const std::string& folder);

// Whether `folder` (made when missing) takes files; otherwise the reason.
std::optional<std::string> StateFolderProblem(const std::string& folder);

} // namespace varnel
