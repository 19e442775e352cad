#include "app/unitops.h"

#include "app/efileio.h"
#include "app/openfile.h"
#include "app/varneldoc.h"
#include "equip/efile.h"

namespace varnel {

namespace {

constexpr const char* kNoDenomination = "\nyou'll not see Unit's denomination";

// Refuses growth past the 16-bit count of the file, which would lose units on the next save.
bool roomFor(CVarnelDoc& doc, std::size_t count, std::size_t extra) {
    if (count + extra <= kMaxUnits)
        return true;
    MessageBox(doc.ui, "Cannot add %zu units: a file holds at most 65535 units", extra);
    return false;
}

void markBoth(CVarnelDoc& doc, Game game) {
    doc.setFlag(game, ChangeKind::Data, true);
    doc.setFlag(game, ChangeKind::Names, true);
}

template <class Table>
bool cloneUnit(CVarnelDoc& doc, Game game, std::optional<Table>& table, std::size_t index) {
    if (!table || index >= table->count() || !roomFor(doc, table->count(), 1))
        return false;
    auto copy = table->units[index];
    const auto code = static_cast<std::uint16_t>(table->count());
    copy.record.setCode(code);
    table->units.push_back(std::move(copy));
    markBoth(doc, game);
    // The views see the new storage before a message box can let them repaint.
    doc.refreshAllViews();
    doc.refreshTitle();
    MessageBox(doc.ui, "Clone is Code: %d", int{code});
    return true;
}

template <class Table>
bool deleteUnit(CVarnelDoc& doc, Game game, std::optional<Table>& table, std::size_t index) {
    if (!table || index >= table->count())
        return false;
    auto& units = table->units;
    // The units after the deleted one take its code and count on from it.
    const std::uint16_t code = units[index].record.code();
    units.erase(units.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t k = index; k < units.size(); ++k)
        units[k].record.setCode(static_cast<std::uint16_t>(code + (k - index)));
    markBoth(doc, game);
    doc.refreshAllViews();
    doc.refreshTitle();
    return true;
}

template <Game G>
bool pasteUnits(CVarnelDoc& doc, std::optional<typename GameTraits<G>::Table>& table,
                const std::string& path) {
    if (!table)
        return false;
    // Every question first, while the table stands as it was.
    auto file = ReadFileOrAsk(doc, EFileKind(G), path, "");
    if (!file)
        return false;
    if (!SourceFitsGame(doc.ui, G, file->path, file->bytes.size()))
        return false;
    auto parsed = [&] {
        if constexpr (G == Game::Pg2)
            return ParsePg2EFile(file->bytes);
        else
            return ParsePegEFile(file->bytes);
    }();
    if (parsed.count == 0) {
        MessageBox(doc.ui, "Error!\n\nThere are no items in\n\n%s", file->path.c_str());
        return false;
    }
    const std::size_t first = table->count();
    if (!roomFor(doc, first, parsed.count))
        return false;
    if constexpr (G == Game::Pg2)
        AskCodeFixes(doc, parsed, first, first + parsed.count, CodeAnswer::Ask);
    const auto names = ReadFileOrAsk(doc, NamesEFileKind(G),
                                     NamesPathFor(doc.settings.textSuffix, file->path),
                                     kNoDenomination);

    // The parsed units carry no name yet: their empty refs mean the same in any store.
    table->units.insert(table->units.end(), parsed.units.begin(), parsed.units.end());
    doc.setFlag(G, ChangeKind::Data, true);
    if (names) {
        if constexpr (G == Game::Pg2)
            ReadPg2Names(*table, names->bytes, first);
        else
            ReadPegNames(*table, names->bytes, first);
        doc.setFlag(G, ChangeKind::Names, true);
    }
    doc.refreshTitle();
    doc.refreshAllViews();
    return true;
}

} // namespace

bool ClonePg2Unit(CVarnelDoc& doc, std::size_t index) {
    return cloneUnit(doc, Game::Pg2, doc.pg2, index);
}

bool ClonePegUnit(CVarnelDoc& doc, std::size_t index) {
    return cloneUnit(doc, Game::Peg, doc.peg, index);
}

bool DeletePg2Unit(CVarnelDoc& doc, std::size_t index) {
    return deleteUnit(doc, Game::Pg2, doc.pg2, index);
}

bool DeletePegUnit(CVarnelDoc& doc, std::size_t index) {
    return deleteUnit(doc, Game::Peg, doc.peg, index);
}

bool PastePg2Units(CVarnelDoc& doc, const std::string& path) {
    return pasteUnits<Game::Pg2>(doc, doc.pg2, path);
}

bool PastePegUnits(CVarnelDoc& doc, const std::string& path) {
    return pasteUnits<Game::Peg>(doc, doc.peg, path);
}

} // namespace varnel
