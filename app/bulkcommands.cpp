#include "app/bulkcommands.h"

#include "app/efileio.h"
#include "app/filekind.h"
#include "app/openfile.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/filerestore.h"
#include "base/format.h"
#include "base/paths.h"
#include "convert/conversion.h"
#include "convert/export.h"
#include "convert/merge.h"
#include "equip/efile.h"

#include <filesystem>
#include <system_error>

namespace varnel {

namespace {

struct MergeTexts {
    const char* definitionTitle;
    const char* sourceTitle;
    const char* namesTitle;
};

constexpr MergeTexts kPg2MergeTexts = {"Select TXT file with the Info to Merge",
                                       "Comfirm PG2 E-File to merge from",
                                       "PG2, Names E-File to merge from"};
constexpr MergeTexts kPegMergeTexts = {"Select Definition TXT file to Merge",
                                       "Comfirm PeG E-File to merge from",
                                       "PeG, Names E-File to merge from"};

constexpr const char* kExportDefinitionTitle = "Select TXT file with the Export info";

const char* exportTargetTitle(Game game) {
    return game == Game::Pg2 ? "Comfirm PG2 Efile to create" : "Comfirm PeG Efile to create";
}

// The conversion's question is asked when these two names differ: they are equal once names
// were taken over.
constexpr int kProbePegCountry = 3;
constexpr int kProbePg2Country = 8;

// ChooseFile's part that asks with a save dialog and returns the full path.
constexpr int kSavePart = 7;

// The listed codes a merge could not honour (past the source, repeated or out of order), for the
// final message; empty when every code was honoured.
std::string notMergedText(const std::vector<int>& listed, const std::vector<int>& honoured) {
    std::string text;
    std::size_t h = 0;
    for (const int code : listed) {
        if (h < honoured.size() && honoured[h] == code) {
            ++h;
            continue;
        }
        text += text.empty() ? "\nNot merged (past the source, repeated or out of order): " : ", ";
        text += std::to_string(code);
    }
    return text;
}

template <class Table>
std::optional<std::size_t> mergeInto(CVarnelDoc& doc, const Table& table, Game game,
                                     const MergeRequest& request) {
    UiPort& ui = doc.ui;
    const auto sourceBytes = ReadInputFile(ui, request.source);
    if (!sourceBytes)
        return std::nullopt;
    if (!SourceFitsGame(ui, game, request.source, sourceBytes->size()))
        return std::nullopt;
    const auto nameBytes = ReadInputFile(ui, request.names);
    if (!nameBytes)
        return std::nullopt;
    const std::vector<int>& codes = request.definition.parsed.codes;
    const std::vector<int> honouredCodes =
        MergeableCodes(codes, SourceRecordCount(*sourceBytes, RecordSize(game)));
    const std::size_t honoured = honouredCodes.size();
    if (table.count() + honoured > kMaxUnits) {
        MessageBox(ui, "Merging %d units would give %d units, more than %d\nNothing merged",
                   static_cast<int>(honoured), static_cast<int>(table.count() + honoured),
                   static_cast<int>(kMaxUnits));
        return std::nullopt;
    }
    std::size_t merged = 0;
    {
        BusyCursor busy(ui);
        Table added;
        if constexpr (std::is_same_v<Table, Pg2UnitTable>)
            merged = MergePg2Units(added, *sourceBytes, *nameBytes, codes);
        else
            merged = MergePegUnits(added, *sourceBytes, *nameBytes, codes);
        // The merged units take the codes of the positions they go to.
        const std::size_t first = table.count();
        for (std::size_t k = 0; k < added.count(); ++k)
            added.units[k].record.setCode(static_cast<std::uint16_t>(first + k));
        doc.appendUnits(std::move(added), "Merge from TXT file");
    }
    MessageBox(ui, "Merged %d units\ndefined in  %s\nusing :%s\nand   :%s%s",
               static_cast<int>(merged), request.definition.path.c_str(), request.source.c_str(),
               request.names.c_str(), notMergedText(codes, honouredCodes).c_str());
    return merged;
}

template <class Table>
std::optional<std::size_t> exportFrom(CVarnelDoc& doc, Game game, const Table& table,
                                      const ExportRequest& request) {
    UiPort& ui = doc.ui;
    const std::string names = NamesPathFor(doc.settings().textSuffix, request.target);
    if (!NamesPathDiffers(ui, request.target, names))
        return std::nullopt;
    // Whatever the definition file names, an export never replaces the file it exports from.
    for (const std::string* written : {&request.target, &names})
        for (const std::string* source :
             {&doc.settings().eFile(game), &doc.settings().namesEFile(game)})
            if (!source->empty() && SameFile(*written, *source)) {
                MessageBox(ui, "Exporting to %s\nwould overwrite the source %s\nNothing exported",
                           written->c_str(), source->c_str());
                return std::nullopt;
            }
    const std::vector<int>& codes = request.definition.parsed.codes;
    ExportFiles files;
    {
        BusyCursor busy(ui);
        if constexpr (std::is_same_v<Table, Pg2UnitTable>)
            files = BuildPg2Export(table, codes);
        else
            files = BuildPegExport(table, codes);
    }
    if (const auto failed = WriteFilePair(request.target, files.eFile, names, files.names)) {
        SaveErrorBox(ui, *failed);
        return std::nullopt;
    }
    MessageBox(ui, "Exported %d units\ndefined in  %s\nas :%s\nand:%s",
               static_cast<int>(codes.size()), request.definition.path.c_str(),
               request.target.c_str(), names.c_str());
    return codes.size();
}

// The conversion, with its answers either asked (`given` null) or given.
ConvertResult convert(CVarnelDoc& doc, const std::string& pegTFile, const ConvertRequest* given) {
    UiPort& ui = doc.ui;
    ConvertResult result;
    if (!doc.pg2()) {
        MessageBox(ui, "You better load any PG2 E-File, first!");
        return result;
    }
    if (doc.peg() && !doc.saveModified())
        return result;

    AppSettings& s = doc.settings();
    const std::string folder = s.dir(Game::Peg);
    const std::string eFile =
        given && !given->eFile.empty() ? given->eFile : folder + kConvertedEFileName;
    // The T-File is searched beside the converted E-File, which is not named yet.
    AppSettings probe = s;
    probe.eFile(Game::Peg) = eFile;
    const std::string tFilePath = pegTFile.empty() ? FindTFile(probe, Game::Peg) : pegTFile;
    const auto tFile =
        ReadFileOrAsk(doc, FileKind::PegTFile, tFilePath, "\nyou'll not see PeG Nation's names");
    NameTable pegNames(peg::kCountryCount);
    if (tFile)
        ParseTFile(tFile->bytes, pegNames);
    // A T-File without a country line counts as none: nothing to take over, nothing blanked.
    if (pegNames.count() <= 1)
        pegNames.clear();

    // Without PG2 country names there is nothing to take over: the question would only offer to
    // blank every PeG name.
    const NameTable& pg2Names = doc.countries(Game::Pg2);
    std::string converted;
    if (pegNames.count() > 1 && pg2Names.count() > 1 &&
        pegNames.name(kProbePegCountry) != pg2Names.name(kProbePg2Country)) {
        const bool takeOver =
            given ? given->takeOverNames
                  : QuestionBox(ui, "Do you want to change current Country's names\nas they was "
                                    "in PG2 ?");
        if (takeOver) {
            TakeOverPg2CountryNames(pg2Names, pegNames);
            if (given)
                converted = given->convertedTFile.empty() ? kNoValue : given->convertedTFile;
            else
                converted =
                    ChooseFile(ui, s,
                               {.kind = FileKind::PegTFile,
                                .part = kSavePart,
                                .title = "Save converted names AS",
                                .fileName = Format("%s%s%s", folder.c_str(), kConvertedTFileBase,
                                                   s.textSuffix.c_str()),
                                .openDialog = false});
        }
    }

    // Every answer is in: now the table changes, as one step, and the views are told once.
    {
        BusyCursor busy(ui);
        CVarnelDoc::ConvertedPeg peg{ConvertPg2Table(*doc.pg2()), pegNames, eFile,
                                     NamesPathFor(s.textSuffix, eFile),
                                     tFile ? tFile->path : std::string()};
        doc.replacePegTable(std::move(peg));
    }
    result.converted = true;

    if (!converted.empty() && converted != kNoValue) {
        result.tFile = converted;
        result.tFileWritten =
            SaveFileBytes(converted, ConvertTFileBytes(tFile->bytes, doc.countries(Game::Peg)));
        if (result.tFileWritten)
            s.tFile(Game::Peg) = converted;
        else
            SaveErrorBox(ui, converted);
    }
    MessageBox(ui,
               "Conversion made!\nCreated : %s\n    and : %s\n    and : %s\nCheck Efile before "
               "saving...",
               s.eFile(Game::Peg).c_str(), s.namesEFile(Game::Peg).c_str(), converted.c_str());
    return result;
}

} // namespace

std::optional<ChosenDefinition> ReadDefinitionFile(CVarnelDoc& doc, const std::string& path) {
    const auto bytes = ReadInputFile(doc.ui, path);
    if (!bytes)
        return std::nullopt;
    ChosenDefinition chosen{path, ParseDefinitionFile(*bytes)};
    if (chosen.parsed.codes.empty()) {
        MessageBox(doc.ui, "There are nothing to do (valid data) in %s",
                   chosen.parsed.sourceName.c_str());
        return std::nullopt;
    }
    return chosen;
}

std::optional<ChosenDefinition> ChooseDefinitionFile(CVarnelDoc& doc, Game game,
                                                     const char* title) {
    const std::string path = ChooseFile(doc.ui, doc.settings(),
                                        {.kind = TFileKind(game),
                                         .title = title,
                                         .defaultExtension = ".TXT",
                                         .fileName = "*.txt",
                                         .filter = "TXT files (*.txt)|*.txt|"});
    if (path == kNoValue)
        return std::nullopt;
    return ReadDefinitionFile(doc, path);
}

std::optional<MergeRequest> AskMergeRequest(CVarnelDoc& doc, Game game) {
    if (!doc.hasTable(game))
        return std::nullopt;
    UiPort& ui = doc.ui;
    const AppSettings& s = doc.settings();
    const MergeTexts& texts = game == Game::Pg2 ? kPg2MergeTexts : kPegMergeTexts;
    auto chosen = ChooseDefinitionFile(doc, game, texts.definitionTitle);
    if (!chosen)
        return std::nullopt;
    MergeRequest request;
    request.definition = std::move(*chosen);
    const std::string& definition = request.definition.path;
    request.source = ChooseFile(
        ui, s,
        {.kind = EFileKind(game),
         .title = texts.sourceTitle,
         .fileName = ResolveDefinitionTarget(definition, request.definition.parsed.sourceName)});
    if (request.source == kNoValue)
        return std::nullopt;
    request.names = NamesPathFor(s.textSuffix, request.source);
    if (!FileExists(request.names)) {
        request.names = ChooseFile(
            ui, s,
            {.kind = NamesEFileKind(game), .title = texts.namesTitle, .fileName = request.names});
        if (request.names == kNoValue)
            return std::nullopt;
    }
    if (!QuestionBox(ui, "Merging %d units as defined\nin %s\nfrom: %s\nand : %s\nContinue ?",
                     static_cast<int>(request.definition.parsed.codes.size()), definition.c_str(),
                     request.source.c_str(), request.names.c_str()))
        return std::nullopt;
    return request;
}

std::optional<std::size_t> RunMerge(CVarnelDoc& doc, Game game, const MergeRequest& request) {
    if (!doc.hasTable(game))
        return std::nullopt;
    return doc.visitTable(game,
                          [&](const auto& table) { return mergeInto(doc, table, game, request); });
}

std::optional<std::size_t> MergeByDefinitionFile(CVarnelDoc& doc, Game game) {
    const auto request = AskMergeRequest(doc, game);
    if (!request)
        return std::nullopt;
    return RunMerge(doc, game, *request);
}

bool CheckExportCodes(CVarnelDoc& doc, Game game, const ChosenDefinition& definition) {
    const std::size_t count = doc.unitCount(game);
    const std::vector<int>& codes = definition.parsed.codes;
    // Refused before anything is asked or written: the count on disk must match the records.
    if (const auto outside = FirstCodeOutside(codes, count)) {
        MessageBox(doc.ui,
                   "Code %d in %s\nis not a unit of the loaded table (%d units)\nNothing exported",
                   *outside, definition.path.c_str(), static_cast<int>(count));
        return false;
    }
    if (codes.size() > kMaxUnits) {
        MessageBox(
            doc.ui, "%d units listed in %s\nAn E-File holds at most %d units\nNothing exported",
            static_cast<int>(codes.size()), definition.path.c_str(), static_cast<int>(kMaxUnits));
        return false;
    }
    return true;
}

std::optional<ExportRequest> AskExportRequest(CVarnelDoc& doc, Game game) {
    if (!doc.hasTable(game))
        return std::nullopt;
    UiPort& ui = doc.ui;
    auto chosen = ChooseDefinitionFile(doc, game, kExportDefinitionTitle);
    if (!chosen || !CheckExportCodes(doc, game, *chosen))
        return std::nullopt;
    ExportRequest request;
    request.definition = std::move(*chosen);
    const std::string& definition = request.definition.path;
    request.target = ChooseFile(
        ui, doc.settings(),
        {.kind = EFileKind(game),
         .title = exportTargetTitle(game),
         .fileName = ResolveDefinitionTarget(definition, request.definition.parsed.sourceName),
         .openDialog = false});
    if (request.target == kNoValue)
        return std::nullopt;
    const std::string names = NamesPathFor(doc.settings().textSuffix, request.target);
    if (!QuestionBox(
            ui, "Exporting %d units as defined\nin %s\nto  Efile: %s\nand Tfile: %s\nContinue ?",
            static_cast<int>(request.definition.parsed.codes.size()), definition.c_str(),
            request.target.c_str(), names.c_str()))
        return std::nullopt;
    return request;
}

std::optional<std::size_t> RunExport(CVarnelDoc& doc, Game game, const ExportRequest& request) {
    if (!CheckExportCodes(doc, game, request.definition))
        return std::nullopt;
    if (!doc.hasTable(game))
        return std::nullopt;
    return doc.visitTable(game,
                          [&](const auto& table) { return exportFrom(doc, game, table, request); });
}

std::optional<std::size_t> ExportByDefinitionFile(CVarnelDoc& doc, Game game) {
    const auto request = AskExportRequest(doc, game);
    if (!request)
        return std::nullopt;
    return RunExport(doc, game, *request);
}

ConvertResult ConvertPg2ToPeg(CVarnelDoc& doc, const std::string& pegTFile) {
    return convert(doc, pegTFile, nullptr);
}

ConvertResult RunConversion(CVarnelDoc& doc, const ConvertRequest& request) {
    return convert(doc, request.pegTFile, &request);
}

bool WriteConvertedTFile(CVarnelDoc& doc, const std::string& target) {
    AppSettings& s = doc.settings();
    std::optional<Bytes> source = ReadFileBytes(s.tFile(Game::Peg));
    while (!source) {
        const std::string missing = s.tFile(Game::Peg);
        s.tFile(Game::Peg) = ChooseFile(doc.ui, s, FileKind::PegTFile);
        if (s.tFile(Game::Peg) == kNoValue) {
            MessageBox(doc.ui, "file [%s]\nnot found!\nNo %s created", missing.c_str(),
                       target.c_str());
            return false;
        }
        source = ReadFileBytes(s.tFile(Game::Peg));
    }
    if (!SaveFileBytes(target, ConvertTFileBytes(*source, doc.countries(Game::Peg)))) {
        SaveErrorBox(doc.ui, target);
        return false;
    }
    s.tFile(Game::Peg) = target;
    return true;
}

int ModifyPegCosts(CVarnelDoc& doc, const CostChoices& choices) {
    const int changed = doc.changeCosts(choices);
    MessageBox(doc.ui, "%d Units modified", changed);
    return changed;
}

} // namespace varnel
