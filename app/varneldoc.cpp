#include "app/varneldoc.h"

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/filekind.h"
#include "app/recoveryjournal.h"
#include "app/unitops.h"
#include "base/format.h"
#include "base/paths.h"
#include "tools/editor.h"

#include <algorithm>

namespace varnel {

namespace {
constexpr std::size_t kTitlePathLength = 36;
constexpr const char* kSaveQuestion = "%s\nIS modified\n ¿ Save changes ?";
constexpr const char* kNotModifiedQuestion = "%s\nis NOT modified\n ¿ Save anyway ?";
} // namespace

CVarnelDoc::CVarnelDoc(UiPort& ui, SettingsBackend& store) : ui(ui), store(store) {}

// The journal stays on disk: only close() ends it, so an editor that dies keeps it.
CVarnelDoc::~CVarnelDoc() = default;

std::size_t CVarnelDoc::unitCount(Game g) const {
    return withSlot(g, [](const auto& slot) { return slot.now ? slot.now->count() : 0; });
}

std::optional<std::string_view> CVarnelDoc::unitName(Game g, std::size_t index) const {
    if (index >= unitCount(g))
        return std::nullopt;
    return visitTable(g, [&](const auto& table) { return table.name(index); });
}

void CVarnelDoc::addObserver(DocObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CVarnelDoc::removeObserver(DocObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

std::string CVarnelDoc::title() const {
    const Game g = currentGame_;
    std::string partA = Format("%s File: %s ", GameName(g),
                               ShortenPath(settings_.eFile(g), kTitlePathLength).c_str());
    if (isModified()) {
        partA += "<Modified";
        for (Game g : {Game::Pg2, Game::Peg})
            if (flag(g, ChangeKind::Data) || flag(g, ChangeKind::Names))
                partA += Format(": %s", GameName(g));
        partA += "> ";
    }
    return Format("%s  - %s", partA.c_str(), kAppTitle);
}

void CVarnelDoc::refreshTitle() {
    const std::string t = title();
    notify([&](DocObserver& o) { o.titleChanged(t); });
}

void CVarnelDoc::refreshAllViews() {
    notify([](DocObserver& o) { o.refreshAllViews(); });
}

void CVarnelDoc::fileLoaded(const std::string& path, Game game) {
    notify([&](DocObserver& o) { o.fileOpened(path, game); });
}

void CVarnelDoc::showGame(Game game) {
    notify([&](DocObserver& o) { o.showGame(game); });
}

bool CVarnelDoc::saveModified() {
    if (!isModified())
        return true;
    // The E-Files first, then the Names E-Files, PG2 before PeG in each.
    for (const ChangeKind kind : {ChangeKind::Data, ChangeKind::Names}) {
        for (const Game g : {Game::Pg2, Game::Peg}) {
            const bool data = kind == ChangeKind::Data;
            const std::string& path = data ? settings_.eFile(g) : settings_.namesEFile(g);
            if (!flag(g, kind) || !QuestionBox(ui, kSaveQuestion, path.c_str()))
                continue;
            // A Yes whose save fails stops here: going on would throw the unsaved data away.
            if (!(data ? SaveEFile(*this, g, path) : SaveNames(*this, g))) {
                refreshTitle();
                return false;
            }
        }
    }
    refreshTitle();
    return true;
}

void CVarnelDoc::newDocument() {
    if (!settingsLoaded_) {
        ReadAllSettings(settings_, store);
        settingsLoaded_ = true;
    }
    refreshTitle();
}

void CVarnelDoc::open() {
    const Game g = currentGame_;
    if ((flag(g, ChangeKind::Data) || flag(g, ChangeKind::Names)) && !saveModified())
        return;
    const std::string path = ChooseFile(ui, settings_, {.kind = EFileKind(g)});
    if (path == kNoValue)
        return;
    LoadEFile(*this, g, path);
}

void CVarnelDoc::save() {
    const Game g = currentGame_;
    if (!hasTable(g))
        return;
    const std::string eFile = settings_.eFile(g);
    const bool saveData =
        flag(g, ChangeKind::Data) || QuestionBox(ui, kNotModifiedQuestion, eFile.c_str());
    const std::string& names = settings_.namesEFile(g);
    const bool saveNames =
        flag(g, ChangeKind::Names) || QuestionBox(ui, kNotModifiedQuestion, names.c_str());
    // Both files together are written as a pair, so a failure leaves neither changed.
    if (saveData && saveNames)
        SaveEFilePair(*this, g, eFile);
    else if (saveData)
        SaveEFile(*this, g, eFile);
    else if (saveNames)
        SaveNames(*this, g);
    refreshTitle();
}

void CVarnelDoc::saveAs() {
    const Game g = currentGame_;
    if (!hasTable(g))
        return;
    constexpr int kSaveDialogPart = 7;
    const std::string path =
        ChooseFile(ui, settings_, {.kind = EFileKind(g), .part = kSaveDialogPart});
    if (path == kNoValue)
        return;
    SaveEFilePair(*this, g, path);
    refreshTitle();
}

void CVarnelDoc::reloadTFile() {
    const Game g = currentGame_;
    const std::string path = ChooseFile(ui, settings_, {.kind = TFileKind(g)});
    if (path == kNoValue)
        return;
    LoadTFile(*this, g, path);
}

void CVarnelDoc::reloadIcons() {
    const Game g = currentGame_;
    const std::string path = ChooseFile(ui, settings_, {.kind = IconArchiveKind(g)});
    if (path == kNoValue)
        return;
    settings_.iconArchive(g) = path;
    refreshAllViews();
}

void CVarnelDoc::cloneItem() {
    const Game g = currentGame_;
    if (!hasTable(g) || !view(g).registered)
        return;
    const auto index = static_cast<std::size_t>(std::max(0, view(g).currentUnit));
    CloneUnit(*this, g, index);
}

void CVarnelDoc::deleteItem() {
    const Game g = currentGame_;
    if (!hasTable(g) || !view(g).registered)
        return;
    const int index = view(g).currentUnit;
    if (!QuestionBox(ui, "Are you sure to delete ItemCode: %d", index) || index < 0)
        return;
    deleteUnit(g, static_cast<std::size_t>(index));
}

void CVarnelDoc::mergeFromEFile() {
    const Game g = currentGame_;
    if (!hasTable(g))
        return;
    const std::string path = ChooseFile(ui, settings_, {.kind = EFileKind(g)});
    if (path == kNoValue)
        return;
    PasteUnits(*this, g, path);
}

void CVarnelDoc::mergeFromTxt() {
    if (hasTable(currentGame_))
        MergeByDefinitionFile(*this, currentGame_);
}

void CVarnelDoc::exportEFile() {
    if (hasTable(currentGame_))
        ExportByDefinitionFile(*this, currentGame_);
}

void CVarnelDoc::convert() {
    ConvertPg2ToPeg(*this);
}

int CVarnelDoc::globalCostModifier(const CostChoices& choices) {
    return ModifyPegCosts(*this, choices);
}

void CVarnelDoc::editTextFile() {
    EditTextFile(*this);
}

bool CVarnelDoc::openDocument(const std::string& path, std::optional<Game> game) {
    newDocument();
    if (!saveModified())
        return false;
    const Game g = game ? *game : settings_.defaultEFile == "PG2" ? Game::Pg2 : Game::Peg;
    // The file the user opened is what the window shows, whichever game was shown.
    LoadOptions options;
    options.showGame = true;
    return LoadEFile(*this, g, path, options);
}

bool CVarnelDoc::close() {
    if (!saveModified())
        return false;
    // After the save questions, whatever the answers: the user has decided about every change.
    endJournals();
    WriteExitSettings(settings_, store);
    return true;
}

} // namespace varnel
