#pragma once
// The document's side of comparing two E-Files and checking one: reading the other file as the
// usual rules find it, taking its values into the current table through the edit path, and
// gathering what the check needs (names, icon archive, WAV folder) with the reason for each rule
// that cannot run.

#include "equip/game.h"
#include "equip/unittable.h"
#include "reports/check.h"
#include "reports/compare.h"

#include <optional>
#include <string>
#include <vector>

namespace varnel {

class CVarnelDoc;
class UiPort;

// An E-File read for a comparison, beside the document's tables: its units and, when its Names
// E-File could be read, their names.
struct OtherEFile {
    Game game = Game::Pg2;
    std::string path;
    std::string namesPath; // the Names E-File by the names path rule (or the one chosen)
    bool namesRead = false;
    std::size_t nameLines = 0; // lines of the Names E-File read
    Pg2UnitTable pg2;          // the table of `game`; the other stays empty
    PegUnitTable peg;

    template <class Table> const Table& tableOf() const {
        if constexpr (std::is_same_v<Table, Pg2UnitTable>)
            return pg2;
        else
            return peg;
    }
    std::size_t count() const {
        return ForTableOf(game, [&]<class Table>() { return tableOf<Table>().count(); });
    }
};

// Reads the E-File at `path` as `game`, and its Names E-File by the names path rule with
// `suffix`. Says "not a regular file: %s", "file [%s]\nnot found" or "not a PG2 E-File: %s" (or
// PeG: a file whose size fits no whole number of the game's records) and returns nothing.
// A Names E-File that cannot be read leaves `namesRead` false, quietly.
std::optional<OtherEFile> ReadOtherEFile(UiPort& ui, Game game, const std::string& path,
                                         const std::string& suffix);

// The game of an E-File by its size: PG2 for 2 + 73 N bytes, PeG for 2 + 74 N; nothing when the
// size fits both games or neither (or the file cannot be read).
std::optional<Game> GameBySize(const std::string& path);

// The document's table of `other.game` (ours) against `other` (theirs). Needs that table.
TableComparison CompareWithDocument(const CVarnelDoc& doc, const OtherEFile& other);

// "Compare with E-File...": asks for the E-File to compare the shown game's table with (title
// "Compare with E-File"), reads it and its Names E-File (asking for the names when they are not
// beside it; a cancel compares without names). Nothing when there is no table, the user cancels
// or the file is refused.
std::optional<OtherEFile> AskCompareFile(CVarnelDoc& doc, Game game);

// What to take from the other file: a field of a unit both hold, or with `field` null the whole
// unit at that position (one only the other file holds is appended with the units before it).
struct TakeItem {
    std::size_t unit = 0;
    const FieldDef* field = nullptr;
};

// "Take Their Value": the items' values of `other` put into the document's table as one step
// of its history. False (nothing changed) when nothing would change or an item names no unit of
// the other file.
bool TakeTheirValues(CVarnelDoc& doc, const OtherEFile& other, const std::vector<TakeItem>& items);
// "Take All": the document's table becomes what `other` holds (its names too, when they were
// read), as one step. False when it already is.
bool TakeAll(CVarnelDoc& doc, const OtherEFile& other);

// Where the check looks. Empty texts: the archive the document has open (else the one "ReLoad
// Icons" would find) and the WAV folder of the settings.
struct CheckRequest {
    std::string archive;
    std::string wavFolder;
};

// Checks the document's table of `game` (which must be loaded). A rule whose source is missing
// is skipped with the reason in `skipped`: no archive found or the one given missing, a WAV folder
// that does not exist, a Names E-File that cannot be read or is out of date (unsaved names).
CheckResult CheckCatalogue(CVarnelDoc& doc, Game game, const CheckRequest& request = {});

// The number of lines of a Names E-File (a last line without its end counts).
std::size_t CountNameLines(std::span<const std::uint8_t> bytes);

} // namespace varnel
