#include "app/efileio.h"

#include "app/openfile.h"
#include "app/varneldoc.h"
#include "base/backups.h"
#include "base/fileio.h"
#include "base/filerestore.h"
#include "base/filestamp.h"
#include "base/paths.h"
#include "base/textlines.h"
#include "equip/efile.h"

#include <filesystem>
#include <system_error>

namespace varnel {

namespace {

constexpr const char* kNoDenomination = "\nyou'll not see Unit's denomination";
constexpr int kPg2DirSetting = 2;
constexpr int kPegDirSetting = 9;

// Stores the game's main folder from the first E-File loaded while it is unset.
void rememberGameFolder(CVarnelDoc& doc, Game game, const std::string& eFilePath) {
    std::string& dir = doc.settings().dir(game);
    if (dir != kNoValue)
        return;
    dir = GetPathPart(eFilePath, PathPart::Folder);
    WriteSetting(doc.store, game == Game::Pg2 ? kPg2DirSetting : kPegDirSetting, dir);
}

// A T-File read (or asked for) ahead of the change: its final path, and its bytes when there
// are any. `path` empty: the user cancelled.
struct TFileRead {
    std::string path;
    std::optional<Bytes> bytes;
};

// `settings` are those the search sees: during a load, those the load is about to make current.
TFileRead readTFile(CVarnelDoc& doc, const AppSettings& settings, Game game,
                    const std::string& given) {
    const std::string path = given.empty() ? FindTFile(settings, game) : given;
    const char* tail = game == Game::Pg2 ? "\nyou'll not see PG2 Nation's names"
                                         : "\nyou'll not see PeG Nation's names";
    auto file = ReadFileOrAsk(doc, TFileKind(game), path, tail);
    if (!file)
        return {};
    return {file->path, std::move(file->bytes)};
}

NameTable countriesOf(Game game, const TFileRead& read) {
    NameTable table(CountryCount(game));
    if (read.bytes)
        ParseTFile(*read.bytes, table);
    // A T-File without a country line names no country: as if there were none.
    if (!read.bytes || table.count() <= 1)
        table.clear();
    return table;
}

void applyTFile(CVarnelDoc& doc, Game game, const TFileRead& read) {
    doc.settings().tFile(game) = read.path;
    doc.setCountries(game, countriesOf(game, read));
}

template <Game G>
bool loadEFile(CVarnelDoc& doc, const std::string& given, const LoadOptions& options) {
    using Traits = GameTraits<G>;

    // Every question is asked while the old table still stands whole (a view may repaint behind
    // a question box); only then is the table replaced and the views told.
    // The E-File is parsed as it is read, never held whole.
    EFileParser<typename Traits::Unit> parser;
    Hasher hash; // remembered, to tell a later change by another program
    const auto read = StreamFileOrAsk(
        doc, EFileKind(G), given, "",
        [&] {
            parser = {};
            hash = {};
        },
        [&](std::span<const std::uint8_t> bytes) {
            hash.feed(bytes);
            parser.feed(bytes);
        });
    if (!read)
        return false;
    const std::string& eFilePath = *read;
    const std::uintmax_t size = parser.size();
    auto parsed = parser.finish();
    // A file of the other game would be read misaligned, and its next save would overwrite it
    // with this game's records: refuse it, and offer the game it belongs to. A size that fits
    // neither game (or whose count does not agree) is loaded as before, with the count warning.
    constexpr Game kOther = G == Game::Pg2 ? Game::Peg : Game::Pg2;
    if (!SizeFitsGame(G, size) && SizeFitsGame(kOther, size) &&
        parsed.count == (size - kEFileHeaderSize) / RecordSize(kOther)) {
        if (!QuestionBox(doc.ui, "%s is a %s E-File, not a %s E-File\nOpen it in the %s view?",
                         eFilePath.c_str(), GameName(kOther), GameName(G), GameName(kOther)))
            return false;
        LoadOptions other = options;
        other.showGame = true;
        return loadEFile<kOther>(doc, eFilePath, other);
    }
    LoadFindings findings;
    findings.headerCount = parsed.count;
    findings.recordsHeld =
        size < kEFileHeaderSize ? 0 : (size - kEFileHeaderSize) / Traits::kRecordSize;
    // The file is loaded as it says, but nobody should save it without knowing.
    if (findings.headerMismatch())
        MessageBox(doc.ui,
                   "Warning!\n%s\nits header counts %d units, its size holds %d\nUnits it lacks "
                   "are empty; bytes after the last unit are ignored",
                   eFilePath.c_str(), static_cast<int>(findings.headerCount),
                   static_cast<int>(findings.recordsHeld));
    if constexpr (G == Game::Pg2) {
        findings.oddMasks = parsed.oddMasks;
        findings.oddMaskBytes = parsed.oddMaskBytes;
        if (findings.oddMasks > 0)
            MessageBox(doc.ui,
                       "%d units of\n%s\nhave a country mask that names no single country:\n"
                       "saving writes the mask of the country shown for each",
                       static_cast<int>(findings.oddMasks), eFilePath.c_str());
    }
    bool codesFixed = false;
    if constexpr (G == Game::Pg2)
        codesFixed = AskCodeFixes(doc, parsed, 0, parsed.units.size(), options.codes, &findings);
    // The T-File is searched beside the file being loaded, in the folders it is about to give.
    AppSettings probe = doc.settings();
    if (probe.dir(G) == kNoValue)
        probe.dir(G) = GetPathPart(eFilePath, PathPart::Folder);
    probe.eFile(G) = eFilePath;
    const TFileRead tFile = readTFile(doc, probe, G, options.tFile);
    const std::string namesPath = NamesPathFor(doc.settings().textSuffix, eFilePath);
    std::optional<OpenedFile> names;
    if (auto bytes = ReadFileBytes(namesPath))
        names = OpenedFile{namesPath, std::move(*bytes)};
    else
        names = ReadFileOrAsk(doc, NamesEFileKind(G), namesPath, kNoDenomination);

    const bool haveNames = names.has_value();
    const std::string namesRead = names ? names->path : namesPath;
    auto eFileStamp = StatFile(eFilePath);
    if (eFileStamp)
        eFileStamp->hash = hash.value();
    std::optional<FileStamp> namesStamp = names ? StatFile(names->path) : std::nullopt;
    if (namesStamp)
        namesStamp->hash = HashBytes(names->bytes);
    typename Traits::Table table =
        MakeTable(std::move(parsed), names ? std::move(names->bytes) : Bytes());
    // Names that could not be read leave the names' mark as it was.
    const bool namesModified = !haveNames && doc.flag(G, ChangeKind::Names);
    // The files and their stamps first: the table's recovery journal starts from them.
    doc.rememberFile(G, ChangeKind::Data, eFilePath, eFileStamp);
    doc.rememberFile(G, ChangeKind::Names, namesRead, namesStamp);
    rememberGameFolder(doc, G, eFilePath);
    doc.settings().eFile(G) = eFilePath;
    doc.settings().namesEFile(G) = namesRead;
    applyTFile(doc, G, tFile);
    doc.loadTable(std::move(table), codesFixed, namesModified);
    doc.findings(G) = findings;
    doc.fileLoaded(eFilePath, G);
    doc.refreshTitle();
    if (options.showGame) {
        doc.showGame(G);
    } else if constexpr (G == Game::Pg2) {
        if (doc.currentGame() != Game::Pg2)
            MessageBox(doc.ui, "To see the file just loaded, switch to PG2 View");
    }
    return true;
}

// A table past the 16-bit count cannot be written without losing units.
bool fitsInFile(CVarnelDoc& doc, std::size_t count) {
    if (count <= kMaxUnits)
        return true;
    MessageBox(doc.ui, "Cannot save %zu units: a file holds at most 65535 units", count);
    return false;
}

bool saveBytes(CVarnelDoc& doc, const std::string& path, const Bytes& bytes) {
    if (!SaveFileBytes(path, bytes)) {
        SaveErrorBox(doc.ui, path);
        return false;
    }
    return true;
}

// The E-File bytes of the game's table; nothing when there is no table or it is too large.
std::optional<Bytes> eFileBytes(CVarnelDoc& doc, Game game) {
    if (!doc.hasTable(game) || !fitsInFile(doc, doc.unitCount(game)))
        return std::nullopt;
    return game == Game::Pg2 ? WritePg2EFile(*doc.pg2()) : WritePegEFile(*doc.peg());
}

// Before a save replaces `path` (the game's file of `kind`): the question when another program
// changed it since the load, then the backup of the old file. False: nothing may be written (the
// user reloaded the file, or the backup failed: said with its reason).
bool prepareSave(CVarnelDoc& doc, Game game, const std::string& path, ChangeKind kind) {
    const std::string& stamped = doc.stampedPath(game, kind);
    if (!stamped.empty() && SameFile(path, stamped) &&
        !doc.checkChangedFiles(game, true, kind == ChangeKind::Data, kind == ChangeKind::Names))
        return false;
    std::string backup;
    const std::string folder = CVarnelDoc::backupFolder();
    if (!KeepBackup(path, folder, doc.settings().backups, backup)) {
        ErrorBox(doc.ui, "No backup of %s could be kept in %s\n%s\nNothing was saved", path.c_str(),
                 folder.c_str(), SaveFailureReason().c_str());
        return false;
    }
    return true;
}

SaveTarget target(const std::string& path, const Bytes& bytes) {
    return SaveTarget{path, bytes.size(), HashBytes(bytes)};
}

std::optional<Bytes> namesBytes(const CVarnelDoc& doc, Game game) {
    if (!doc.hasTable(game))
        return std::nullopt;
    return doc.visitTable(game, [](const auto& table) { return WriteNamesFile(table); });
}

} // namespace

bool SameFile(const std::string& a, const std::string& b) {
    const std::string ra = ResolvePath(a);
    const std::string rb = ResolvePath(b);
    if (ra == rb)
        return true;
    std::error_code ec;
    return std::filesystem::equivalent(ra, rb, ec) && !ec;
}

bool NamesPathDiffers(UiPort& ui, const std::string& eFile, const std::string& names) {
    if (!SameFile(eFile, names))
        return true;
    MessageBox(ui, "The Names E-File of %s\nwould be the E-File itself\nNothing written",
               eFile.c_str());
    return false;
}

bool AskCodeFixes(CVarnelDoc& doc, ParsedEFile<Pg2Unit>& parsed, std::size_t first,
                  std::size_t total, CodeAnswer answer, LoadFindings* findings) {
    bool fixed = false;
    // Read at position 0, the reader has counted the codes that differ already.
    if (first == 0 && parsed.codeMismatches == 0)
        return false;
    // A record the file lacked is zero and has no code of its own to question.
    for (std::size_t k = 0; k < parsed.supplied; ++k) {
        const auto index = static_cast<std::uint16_t>(first + k);
        const std::uint16_t code = parsed.units[k].record.code();
        if (code == index)
            continue;
        if (findings) {
            if (findings->codeExamples.size() < kCodeExamples)
                findings->codeExamples.emplace_back(index, code);
            ++findings->codeMismatches;
        }
        // "bigger than" only when it is: a smaller code merely differs from its position.
        const bool yes =
            answer == CodeAnswer::Yes ||
            (answer == CodeAnswer::Ask &&
             (code > total ? QuestionBox(doc.ui,
                                         "Warning!\nUnit %d \nhas Code=%d bigger than %d\n Do "
                                         "you want to set Code=%d ?",
                                         int{index}, int{code}, static_cast<int>(total), int{index})
                           : QuestionBox(doc.ui,
                                         "Warning!\nUnit %d \nhas Code=%d, which differs from "
                                         "%d\n Do you want to set Code=%d ?",
                                         int{index}, int{code}, int{index}, int{index})));
        if (yes) {
            parsed.units[k].record.setCode(index);
            fixed = true;
        }
    }
    return fixed;
}

bool LoadEFile(CVarnelDoc& doc, Game game, const std::string& path, const LoadOptions& options) {
    return ForTableOf(
        game, [&]<class Table>() { return loadEFile<GameOfTable<Table>()>(doc, path, options); });
}

std::optional<std::string> LoadTFile(CVarnelDoc& doc, Game game, const std::string& path) {
    const TFileRead read = readTFile(doc, doc.settings(), game, path);
    if (doc.hasTable(game)) {
        // Beside a table the country names change as a step of its history.
        doc.reloadCountries(game, countriesOf(game, read), read.path);
    } else {
        applyTFile(doc, game, read);
        doc.refreshAllViews();
    }
    if (!read.bytes)
        return std::nullopt;
    return read.path;
}

bool SaveEFile(CVarnelDoc& doc, Game game, const std::string& path) {
    const auto bytes = eFileBytes(doc, game);
    if (!bytes || !prepareSave(doc, game, path, ChangeKind::Data))
        return false;
    doc.journalBeforeSave(game, {target(path, *bytes), {}});
    if (!saveBytes(doc, path, *bytes))
        return false;
    doc.rememberFile(game, ChangeKind::Data, path, *bytes);
    doc.settings().eFile(game) = path;
    doc.markSaved(game, ChangeKind::Data);
    MessageBox(doc.ui, "File %s updated", path.c_str());
    return true;
}

bool SaveNames(CVarnelDoc& doc, Game game) {
    const auto bytes = namesBytes(doc, game);
    if (!bytes)
        return true;
    const std::string path = NamesPathFor(doc.settings().textSuffix, doc.settings().eFile(game));
    if (!NamesPathDiffers(doc.ui, doc.settings().eFile(game), path) ||
        !prepareSave(doc, game, path, ChangeKind::Names))
        return false;
    doc.journalBeforeSave(game, {{}, target(path, *bytes)});
    if (!saveBytes(doc, path, *bytes))
        return false;
    doc.rememberFile(game, ChangeKind::Names, path, *bytes);
    doc.settings().namesEFile(game) = path;
    doc.markSaved(game, ChangeKind::Names);
    MessageBox(doc.ui, "File %s updated", path.c_str());
    return true;
}

bool SaveEFilePair(CVarnelDoc& doc, Game game, const std::string& path) {
    const auto eFile = eFileBytes(doc, game);
    const auto names = namesBytes(doc, game);
    if (!eFile || !names)
        return false;
    const std::string namesPath = NamesPathFor(doc.settings().textSuffix, path);
    if (!NamesPathDiffers(doc.ui, path, namesPath) ||
        !prepareSave(doc, game, path, ChangeKind::Data) ||
        !prepareSave(doc, game, namesPath, ChangeKind::Names))
        return false;
    doc.journalBeforeSave(game, {target(path, *eFile), target(namesPath, *names)});
    if (const auto failed = WriteFilePair(path, *eFile, namesPath, *names)) {
        SaveErrorBox(doc.ui, *failed);
        return false;
    }
    doc.rememberFile(game, ChangeKind::Data, path, *eFile);
    doc.rememberFile(game, ChangeKind::Names, namesPath, *names);
    doc.settings().eFile(game) = path;
    doc.settings().namesEFile(game) = namesPath;
    doc.markSaved(game, true, true);
    MessageBox(doc.ui, "File %s updated", path.c_str());
    MessageBox(doc.ui, "File %s updated", namesPath.c_str());
    return true;
}

} // namespace varnel
