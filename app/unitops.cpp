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

} // namespace

bool CloneUnit(CVarnelDoc& doc, Game game, std::size_t index) {
    if (index >= doc.unitCount(game) || !roomFor(doc, doc.unitCount(game), 1))
        return false;
    // The views see the new unit before a message box can let them repaint.
    const auto code = doc.cloneUnit(game, index);
    if (!code)
        return false;
    MessageBox(doc.ui, "Clone is Code: %d", static_cast<int>(*code));
    return true;
}

namespace {

template <Game G> bool pasteUnits(CVarnelDoc& doc, const std::string& path) {
    if (!doc.hasTable(G))
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
    const std::size_t first = doc.unitCount(G);
    if (!roomFor(doc, first, parsed.count))
        return false;
    if constexpr (G == Game::Pg2)
        AskCodeFixes(doc, parsed, first, first + parsed.count, CodeAnswer::Ask);
    const auto names =
        ReadFileOrAsk(doc, NamesEFileKind(G), NamesPathFor(doc.settings().textSuffix, file->path),
                      kNoDenomination);

    typename GameTraits<G>::Table added =
        MakeTable(std::move(parsed), names ? std::move(names->bytes) : Bytes());
    // Without the names file the Names E-File is as it was: only the E-File changed.
    return doc.appendUnits(std::move(added), "Merge from E-File", names.has_value());
}

} // namespace

bool PasteUnits(CVarnelDoc& doc, Game game, const std::string& path) {
    return game == Game::Pg2 ? pasteUnits<Game::Pg2>(doc, path) : pasteUnits<Game::Peg>(doc, path);
}

} // namespace varnel
