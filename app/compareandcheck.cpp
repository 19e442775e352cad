#include "app/compareandcheck.h"

#include "app/efileio.h"
#include "app/filekind.h"
#include "app/iconload.h"
#include "app/openfile.h"
#include "app/unitsound.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "base/textlines.h"
#include "equip/efile.h"
#include "icons/iconarchive.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace varnel {

namespace {

constexpr const char* kCompareTitle = "Compare with E-File";
constexpr const char* kNamesNotCompared = "\nnames are not compared";

template <Game G> auto& tableOf(OtherEFile& other) {
    if constexpr (G == Game::Pg2)
        return other.pg2;
    else
        return other.peg;
}

template <Game G> const auto& tableOf(const OtherEFile& other) {
    if constexpr (G == Game::Pg2)
        return other.pg2;
    else
        return other.peg;
}

template <Game G> const auto& docTable(const CVarnelDoc& doc) {
    if constexpr (G == Game::Pg2)
        return *doc.pg2();
    else
        return *doc.peg();
}

void takeField(Pg2Unit& ours, const Pg2Unit& theirs, const FieldDef& field) {
    TakePg2Field(ours, theirs, field);
}
void takeField(PegUnit& ours, const PegUnit& theirs, const FieldDef& field) {
    TakePegField(ours, theirs, field);
}

// Names asked for after the E-File was read.
void adopt(OtherEFile& other, Bytes names) {
    if (other.game == Game::Pg2)
        AdoptPg2Names(other.pg2, std::move(names));
    else
        AdoptPegNames(other.peg, std::move(names));
}

std::string stepText(const char* what, const OtherEFile& other) {
    return std::string(what) + " from " + GetPathPart(other.path, PathPart::NameExtension);
}

// The units the items change, as they become, in position order.
template <Game G>
bool take(CVarnelDoc& doc, const OtherEFile& other, const std::vector<TakeItem>& items) {
    const auto& ours = docTable<G>(doc);
    const auto& theirs = tableOf<G>(other);
    std::vector<TakeItem> sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TakeItem& a, const TakeItem& b) { return a.unit < b.unit; });
    using Table = std::decay_t<decltype(ours)>;
    Table changed;
    std::vector<std::size_t> positions;
    std::size_t count = ours.count();
    for (const TakeItem& item : sorted) {
        if (item.unit >= theirs.count())
            return false;
        // A unit only they hold comes with every unit before it that we lack.
        while (count <= item.unit) {
            positions.push_back(count);
            changed.units.push_back(theirs.units[count]);
            changed.setName(changed.count() - 1,
                            other.namesRead ? theirs.name(count) : std::string_view());
            ++count;
        }
        if (positions.empty() || positions.back() != item.unit) {
            positions.push_back(item.unit);
            changed.units.push_back(ours.units[item.unit]);
            changed.setName(changed.count() - 1, ours.name(item.unit));
        }
        const std::size_t k = changed.count() - 1;
        if (item.unit >= ours.count())
            continue; // appended whole already
        if (item.field == nullptr) {
            changed.units[k] = theirs.units[item.unit];
            changed.setName(k, other.namesRead ? theirs.name(item.unit) : ours.name(item.unit));
        } else if (item.field->kind == FieldKind::Name) {
            if (other.namesRead)
                changed.setName(k, theirs.name(item.unit));
        } else {
            takeField(changed.units[k], theirs.units[item.unit], *item.field);
        }
    }
    const std::string text = items.size() == 1 && items[0].field
                                 ? stepText("Take their value", other) + ": " +
                                       items[0].field->label + std::string(" of ") +
                                       std::to_string(items[0].unit)
                                 : stepText("Take their values", other);
    return doc.replaceUnits(text, count, std::move(positions), std::move(changed));
}

template <Game G> bool takeAll(CVarnelDoc& doc, const OtherEFile& other) {
    const auto& ours = docTable<G>(doc);
    const auto& theirs = tableOf<G>(other);
    using Table = std::decay_t<decltype(ours)>;
    Table changed;
    std::vector<std::size_t> positions;
    const TableComparison comparison = CompareWithDocument(doc, other);
    auto put = [&](std::size_t i, std::string_view name) {
        positions.push_back(i);
        changed.units.push_back(theirs.units[i]);
        changed.setName(changed.count() - 1, name);
    };
    for (const UnitDifference& u : comparison.changed)
        put(u.unit, other.namesRead ? theirs.name(u.unit) : ours.name(u.unit));
    for (const LoneUnit& u : comparison.onlyTheirs)
        put(u.unit, other.namesRead ? theirs.name(u.unit) : std::string_view());
    return doc.replaceUnits(stepText("Take all", other), theirs.count(), std::move(positions),
                            std::move(changed));
}

bool folderExists(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(ResolvePath(folder), ec);
}

} // namespace

std::size_t CountNameLines(std::span<const std::uint8_t> bytes) {
    LineReader reader(bytes);
    std::string_view line;
    std::size_t lines = 0;
    while (reader.next(line))
        ++lines;
    return lines;
}

std::optional<Game> GameBySize(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(ResolvePath(path), ec);
    if (ec)
        return std::nullopt;
    const bool pg2 = SizeFitsGame(Game::Pg2, size);
    const bool peg = SizeFitsGame(Game::Peg, size);
    if (pg2 == peg)
        return std::nullopt;
    return pg2 ? Game::Pg2 : Game::Peg;
}

std::optional<OtherEFile> ReadOtherEFile(UiPort& ui, Game game, const std::string& path,
                                         const std::string& suffix) {
    auto bytes = ReadInputFile(ui, path);
    if (!bytes || !SourceFitsGame(ui, game, path, bytes->size()))
        return std::nullopt;
    OtherEFile other;
    other.game = game;
    other.path = path;
    other.namesPath = NamesPathFor(suffix, path);
    Bytes names;
    if (!IsNonRegularFile(other.namesPath)) {
        if (auto read = ReadFileBytes(other.namesPath)) {
            other.namesRead = true;
            names = std::move(*read);
            other.nameLines = CountNameLines(names);
        }
    }
    if (game == Game::Pg2)
        other.pg2 = MakeTable(ParsePg2EFile(*bytes), std::move(names));
    else
        other.peg = MakeTable(ParsePegEFile(*bytes), std::move(names));
    return other;
}

TableComparison CompareWithDocument(const CVarnelDoc& doc, const OtherEFile& other) {
    if (other.game == Game::Pg2)
        return ComparePg2Tables(*doc.pg2(), other.pg2, other.namesRead);
    return ComparePegTables(*doc.peg(), other.peg, other.namesRead);
}

std::optional<OtherEFile> AskCompareFile(CVarnelDoc& doc, Game game) {
    if (!doc.hasTable(game))
        return std::nullopt;
    const std::string path =
        ChooseFile(doc.ui, doc.settings(), {.kind = EFileKind(game), .title = kCompareTitle});
    if (path == kNoValue)
        return std::nullopt;
    auto other = ReadOtherEFile(doc.ui, game, path, doc.settings().textSuffix);
    if (!other || other->namesRead)
        return other;
    // The names are not beside it: ask for them, as a load does.
    if (auto names =
            ReadFileOrAsk(doc, NamesEFileKind(game), other->namesPath, kNamesNotCompared)) {
        other->namesPath = names->path;
        other->namesRead = true;
        other->nameLines = CountNameLines(names->bytes);
        adopt(*other, std::move(names->bytes));
    }
    return other;
}

bool TakeTheirValues(CVarnelDoc& doc, const OtherEFile& other, const std::vector<TakeItem>& items) {
    if (!doc.hasTable(other.game) || items.empty())
        return false;
    return ForTableOf(other.game,
                      [&]<class Table>() { return take<GameOfTable<Table>()>(doc, other, items); });
}

bool TakeAll(CVarnelDoc& doc, const OtherEFile& other) {
    if (!doc.hasTable(other.game))
        return false;
    return ForTableOf(other.game,
                      [&]<class Table>() { return takeAll<GameOfTable<Table>()>(doc, other); });
}

CheckResult CheckCatalogue(CVarnelDoc& doc, Game game, const CheckRequest& request) {
    CheckSources sources;
    std::vector<std::string> skipped;
    const AppSettings& s = doc.settings();

    // The names on disk count only while the table's names are what that file holds.
    const std::string& namesPath = s.namesEFile(game);
    if (doc.flag(game, ChangeKind::Names)) {
        skipped.push_back("names: the unit names have unsaved changes; a save writes one line "
                          "per unit");
    } else if (namesPath.empty() || IsNonRegularFile(namesPath)) {
        skipped.push_back("names: no Names E-File is in use");
    } else if (const auto bytes = ReadFileBytes(namesPath)) {
        sources.nameLines = CountNameLines(*bytes);
    } else {
        skipped.push_back("names: the Names E-File " + namesPath + " cannot be read");
    }

    // The icons: the archive given, the one open, or the one "ReLoad Icons" would find.
    IconArchive found(game);
    const IconArchive* archive = nullptr;
    std::string archivePath = request.archive;
    if (archivePath.empty() && doc.icons(game).isOpen() && doc.icons(game).keyCount() > 0)
        archive = &doc.icons(game);
    else if (archivePath.empty())
        archivePath = FindIconArchivePath(s, game);
    if (archive == nullptr) {
        std::optional<Bytes> bytes;
        if (!FileExists(archivePath) || IsNonRegularFile(archivePath) ||
            !(bytes = ReadFileBytes(archivePath)))
            skipped.push_back("icon: the icon archive " + archivePath + " is missing");
        else if (found.Open(std::move(*bytes)); found.keyCount() == 0)
            skipped.push_back("icon: the icon archive " + archivePath + " holds no icons");
        else
            archive = &found;
    }
    if (archive != nullptr)
        sources.hasIcon = [archive](const std::string& key) {
            return archive->index().count(key) != 0;
        };

    std::string wavs = request.wavFolder;
    if (wavs.empty())
        wavs = s.soundDir(game) == kNoValue ? s.dir(game) + "WAVS" + kNativeSeparator
                                            : s.soundDir(game);
    wavs = WithTrailingSeparator(wavs);
    if (folderExists(wavs))
        sources.hasSound = [wavs](int number) { return FileExists(UnitSoundPath(wavs, number)); };
    else
        skipped.push_back("sound: the WAV folder " + wavs + " is missing");

    // The masks set right at load are the file's while the table is what the file held.
    if (!doc.flag(game, ChangeKind::Data))
        sources.loadedMasks = doc.findings(game).oddMaskBytes;

    BusyCursor busy(doc.ui);
    CheckResult result =
        game == Game::Pg2 ? CheckPg2Table(*doc.pg2(), sources) : CheckPegTable(*doc.peg(), sources);
    result.skipped = std::move(skipped);
    return result;
}

} // namespace varnel
