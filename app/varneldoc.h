#pragma once
// CVarnelDoc: the one owner of the process-wide state (settings, both games' unit tables and
// country names, icon archives, the change flags, the current game, the two view slots) and the
// commands of the File and Tools menus. The tables are read through const access and changed
// only through its edit path, each change one step of that game's undo history (editpath.cpp).
// It knows no widget: the editor's frame and views observe it through DocObserver, the CLI and
// the tests drive it directly. Two documents can live side by side.

#include "app/appsettings.h"
#include "app/edithistory.h"
#include "base/filestamp.h"
#include "base/uiport.h"
#include "convert/costmodifier.h"
#include "convert/csvtable.h"
#include "equip/fieldtable.h"
#include "equip/tfile.h"
#include "equip/unitfilter.h"
#include "equip/unittable.h"
#include "icons/iconarchive.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace varnel {

// What the frame and the views learn from the document.
class DocObserver {
  public:
    virtual ~DocObserver() = default;
    // Everything may have changed (a load, new country names, another icon archive): rebuild
    // lists and forms.
    virtual void refreshAllViews() {}
    // A step of the edit path (or its undo or redo) changed a game's table as `change` says.
    virtual void documentChanged(const DocChange& change) { (void)change; }
    // A game's history moved or its clean point changed: the Edit menu and the modified mark.
    virtual void historyChanged(Game game) { (void)game; }
    // The title (or what it is made of) may have changed.
    virtual void titleChanged(const std::string& title) { (void)title; }
    // A file was loaded as an E-File of `game`: the recent-file list takes it.
    virtual void fileOpened(const std::string& path, Game game) {
        (void)path;
        (void)game;
    }
    // The form of `game` should be the one shown (a file was opened as that game at the user's
    // word).
    virtual void showGame(Game game) { (void)game; }
};

inline constexpr std::size_t kCodeExamples = 10;

// What the last load of a game's E-File found that the user was told about.
struct LoadFindings {
    std::size_t headerCount = 0;          // the u16 count of the file
    std::size_t recordsHeld = 0;          // whole records its size holds
    std::size_t oddMasks = 0;             // PG2 units whose country mask names no single country
    std::vector<Pg2OddMask> oddMaskBytes; // their masks as the file held them (set right since)
    std::size_t codeMismatches = 0;       // PG2 units whose code differs from their position
    std::vector<std::pair<std::size_t, std::uint16_t>> codeExamples; // the first few: unit, code
    bool headerMismatch() const { return headerCount != recordsHeld; }
};

// One value of a block edit: the text a control would show for the field of a unit.
struct CellEdit {
    std::size_t unit = 0;
    const FieldDef* field = nullptr;
    std::string shown;
};

struct CellsResult {
    bool ok = false;
    std::size_t changed = 0;     // values whose stored value changed
    std::string message;         // why the block was refused
    std::ptrdiff_t refused = -1; // the position of the refused value among the edits
};

// One game's view slot: whether that game's form exists, and what it shows.
struct ViewSlot {
    bool registered = false;
    int currentUnit = 0;
    int listedUnits = 0;
    // The filter the form's list and the units table share.
    UnitFilter filter;
    // The icon archive setting when the form was made or last loaded its icons (loadIcons).
    std::string iconsLoaded;
};

class RecoveryJournal;

// A file a save is about to write, and what it will hold.
struct SaveTarget {
    std::string path; // empty: the save does not write this file
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
};
struct SaveTargets {
    SaveTarget data;
    SaveTarget names;
};

class CVarnelDoc {
    // The state of both games comes first: the inline accessors below are written over it.

    // A game's table as it stands and as its files held it at the last load or save (what
    // "changed" is told from); both absent until the game is first loaded.
    template <class T> struct TableSlot {
        using Table = T;
        std::optional<Table> now;
        std::optional<Table> saved;
    };
    // A file of a game as the document last loaded or saved it.
    struct FileRecord {
        std::optional<FileStamp> stamp;    // as loaded or saved
        std::string path;                  // the path whose stamp it is
        std::optional<FileStamp> keptOver; // changed on disk since, the user kept theirs
    };
    // What the document holds for one game beside its table.
    struct GameState {
        explicit GameState(Game g) : countries(CountryCount(g)), icons(g) {}
        NameTable countries;
        EditHistory history;
        IconArchive icons;
        ViewSlot view;
        LoadFindings findings;
        std::array<FileRecord, 2> files; // the E-File's data, then the Names E-File
    };
    GameState& state(Game g) { return games_[GameIndex(g)]; }
    const GameState& state(Game g) const { return games_[GameIndex(g)]; }
    FileRecord& fileOf(Game g, ChangeKind kind) {
        return state(g).files[kind == ChangeKind::Data ? 0 : 1];
    }
    const FileRecord& fileOf(Game g, ChangeKind kind) const {
        return state(g).files[kind == ChangeKind::Data ? 0 : 1];
    }
    template <class Table> TableSlot<Table>& slotOf() {
        return std::get<TableSlot<Table>>(tables_);
    }
    template <class Table> const TableSlot<Table>& slotOf() const {
        return std::get<TableSlot<Table>>(tables_);
    }
    // Calls `f` with the game's TableSlot, typed: the one place that turns a game into a type.
    template <class Self, class F> static decltype(auto) slotOfGame(Self& self, Game g, F&& f) {
        if (g == Game::Pg2)
            return f(self.template slotOf<Pg2UnitTable>());
        return f(self.template slotOf<PegUnitTable>());
    }
    template <class F> decltype(auto) withSlot(Game g, F&& f) {
        return slotOfGame(*this, g, std::forward<F>(f));
    }
    template <class F> decltype(auto) withSlot(Game g, F&& f) const {
        return slotOfGame(*this, g, std::forward<F>(f));
    }
    // Calls `f` with the game's table, which must be loaded.
    template <class F> decltype(auto) withTable(Game g, F&& f) {
        return withSlot(g, [&](auto& slot) -> decltype(auto) { return f(*slot.now); });
    }

  public:
    CVarnelDoc(UiPort& ui, SettingsBackend& store);
    ~CVarnelDoc();
    CVarnelDoc(const CVarnelDoc&) = delete;
    CVarnelDoc& operator=(const CVarnelDoc&) = delete;

    UiPort& ui;
    SettingsBackend& store;
    // The settings in memory: read at the first newDocument, written by close().
    AppSettings& settings() { return settings_; }
    const AppSettings& settings() const { return settings_; }
    // The settings in memory are the session's own (set by the caller): newDocument does not
    // read them from the store.
    void markSettingsLoaded() { settingsLoaded_ = true; }

    // The game whose form is shown: the File and Tools commands work on it.
    Game currentGame() const { return currentGame_; }
    void setCurrentGame(Game g) { currentGame_ = g; }

    // The tables, read-only: every change goes through the edit path below. Nullptr while the
    // game has no table.
    template <class Table> const Table* table() const {
        const auto& now = slotOf<Table>().now;
        return now ? &*now : nullptr;
    }
    const Pg2UnitTable* pg2() const { return table<Pg2UnitTable>(); }
    const PegUnitTable* peg() const { return table<PegUnitTable>(); }
    // Calls `f` with the game's table, typed; the game must have one (hasTable).
    template <class F> decltype(auto) visitTable(Game g, F&& f) const {
        return withSlot(g, [&](const auto& slot) -> decltype(auto) { return f(*slot.now); });
    }
    // The field of a unit written in `style`, countries named by the game's T-File; empty when
    // there is no such unit.
    std::string formatField(Game g, std::size_t unit, const FieldDef& field,
                            FieldStyle style = FieldStyle::Form) const;
    // The value of the field of a unit; empty when there is no such unit.
    FieldValue readField(Game g, std::size_t unit, const FieldDef& field) const;
    const NameTable& countries(Game g) const { return state(g).countries; }
    // The country names of a game's T-File, as a load reads them (no step: the load that follows
    // starts the game's history afresh and tells the views).
    void setCountries(Game g, NameTable names);
    // The country names read again from the T-File at `tFile`, as a step ("Reload country
    // names").
    void reloadCountries(Game g, NameTable names, const std::string& tFile);
    // The game's icon archive; loadIcons fills it.
    IconArchive& icons(Game g) { return state(g).icons; }
    const IconArchive& icons(Game g) const { return state(g).icons; }
    // Loads the game's icon archive for its form: the file chosen since the form last loaded
    // (the "ReLoad Icons" command, the settings) when it exists, otherwise the one found beside
    // the E-File, which may have come from another folder. False when none could be read.
    bool loadIcons(Game g);
    ViewSlot& view(Game g) { return state(g).view; }
    const ViewSlot& view(Game g) const { return state(g).view; }
    LoadFindings& findings(Game g) { return state(g).findings; }
    const LoadFindings& findings(Game g) const { return state(g).findings; }
    // Whether the game's table is loaded, and its number of units (0 without a table).
    bool hasTable(Game g) const {
        return withSlot(g, [](const auto& slot) { return slot.now.has_value(); });
    }
    std::size_t unitCount(Game g) const;
    // The country and the class of unit `index` (inside the game's table) as its form shows them.
    int unitCountry(Game g, std::size_t index) const {
        return visitTable(g, [&](const auto& table) { return UnitCountry(table.units[index]); });
    }
    int unitClass(Game g, std::size_t index) const {
        return visitTable(g, [&](const auto& table) { return UnitClass(table.units[index]); });
    }
    // The units of the game that pass `filter`, in table order; none without a table.
    // The condition (UnitFilter::where) is one that parses: the views keep only those.
    std::vector<int> filterUnits(Game g, const UnitFilter& filter) const;
    // Whether unit `index` of the game passes `filter` (its condition and changedOnly too);
    // false outside the table.
    bool passesFilter(Game g, int index, const UnitFilter& filter) const;
    // Orders units of the game by a row of its field table (SortUnits).
    void sortUnits(Game g, const FieldDef& field, bool ascending, std::vector<int>& units) const {
        visitTable(g, [&](const auto& table) { SortUnits(table, field, ascending, units); });
    }
    // The name of unit `index` of the game, or nothing outside the table. Valid until the next
    // change of a name of that table.
    std::optional<std::string_view> unitName(Game g, std::size_t index) const;

    // --- What changed since the game's last load or save (changes.cpp) ---------------------
    // Whether the field of unit `unit` differs from what the game's files held at their last
    // load or save, position by position: a unit past the files' count is new, every field of
    // it changed. False outside the table.
    bool fieldChanged(Game g, std::size_t unit, const FieldDef& field) const;
    // Whether any value or the name of unit `unit` differs so.
    bool unitChanged(Game g, std::size_t unit) const;
    // The units of the game that differ so, ascending.
    std::vector<int> changedUnits(Game g) const;

    // Observers are not owned; remove one before it dies.
    void addObserver(DocObserver* observer);
    void removeObserver(DocObserver* observer);

    // --- Loading and saving ----------------------------------------------------------------
    // A loaded table replaces the game's table and starts its history afresh; the table is
    // clean for each file unless `dataModified` / `namesModified` (a code fixed while loading,
    // names that could not be read). The observers are told once, as a table replaced.
    template <class Table>
    void loadTable(Table table, bool dataModified = false, bool namesModified = false);
    // The game's table now equals what its file holds (after a save).
    void markSaved(Game g, ChangeKind kind);
    // Both files at once (a pair saved): the journal is rebased once, on both clean points.
    void markSaved(Game g, bool data, bool names);

    // The change flags: whether the game's E-File (Data) or Names E-File differs from the table,
    // that is, whether the game's history is away from that file's clean point.
    bool flag(Game g, ChangeKind kind) const;
    // Whether any of the four flags is set (the framework's modified flag).
    bool isModified() const;
    // The four flags at once.
    ChangeFlags flags() const;
    // The table differs from its file without a step of its own (a code fixed while loading).
    void markModified(Game g, ChangeKind kind);

    // --- The one edit path ----------------------------------------------------------------
    // Each command below changes the game's table as one step of its history, tells the
    // observers what changed and refreshes the title; a refused command changes nothing and
    // makes no step.
    //
    // Checks the text a control shows and stores it into the field of `unit` (the field table's
    // rules and messages; "There is no such unit" for an index outside the table).
    FieldResult setField(Game g, std::size_t unit, const FieldDef& field, std::string_view shown);
    // The same, the field named by its catalogue name; refused when the game has no such field.
    FieldResult setField(Game g, std::size_t unit, std::string_view field, std::string_view shown);
    // Stores many values (a block of cells, a column set to one value) as one step named `what`,
    // each through the field table's rules in the order given. When one is refused nothing
    // changes, and the message names the unit, the column and the reason. No step when no value
    // changed.
    CellsResult setFields(Game g, std::span<const CellEdit> edits, const std::string& what);
    // Appends a copy of unit `index` with code N (the old count); the new index, or nothing when
    // there is no such unit or the table is full (kMaxUnits).
    std::optional<std::size_t> cloneUnit(Game g, std::size_t index);
    // Removes unit `index`; the units after it move up and take codes from its code on.
    bool deleteUnit(Game g, std::size_t index);
    // Appends the units of `added` with their names (paste, merge), as the step named `what`
    // ("Merge from E-File"); `names`: whether the Names E-File changes with it (a paste without
    // its names file leaves it as it was). False when they would not fit (kMaxUnits) or there
    // are none.
    template <class Table>
    bool appendUnits(Table added, const std::string& what, bool names = true);
    // Puts units in place as one step named `what` (taking another file's values): the table is
    // cut or grown to `count` units, then `units.units[k]` with its name goes to position
    // `positions[k]`. Refused, changing nothing, without a table, past kMaxUnits, when the
    // positions do not ascend, lie past `count` or leave a new position unfilled. False too when
    // nothing would change (no step then).
    template <class Table>
    bool replaceUnits(const std::string& what, std::size_t count,
                      std::vector<std::size_t> positions, Table units);
    // The global cost change over the PeG table; the number of units it counts (units of a
    // chosen country, a 100 % change included). No step when it counts none.
    int changeCosts(const CostChoices& choices);
    // What a conversion makes: the new PeG table with its country names and files.
    struct ConvertedPeg {
        PegUnitTable table;
        NameTable countries{peg::kCountryCount};
        std::string eFile, namesEFile, tFile;
    };
    // Replaces the PeG table (and its country names and files) by a converted one, as a step.
    void replacePegTable(ConvertedPeg converted);
    // Imports a spreadsheet file into the game's table as one step ("Import from CSV"): every
    // cell is checked by the field table's rules (PlanCsvImport) against the table as it stands,
    // and only when none is refused do the changed units take their new values and the new units
    // follow at the end. Nothing changes, and no step is made, on a refusal or when nothing
    // would change.
    struct CsvImportOutcome {
        bool applied = false;
        std::size_t changes = 0;  // fields changed
        std::size_t units = 0;    // existing units changed
        std::size_t added = 0;    // units appended
        std::size_t refusals = 0; // cells, rows or columns refused
        std::string summary;      // CsvPlanSummary of the plan
    };
    CsvImportOutcome importCsv(Game g, const CsvFile& file, const CsvImportOptions& options);

    // Replaces the game's whole table (units and names) by `table`, as the step named `what` (a
    // backup restored). The names' file counts as changed only when the number of units does.
    template <class Table> void replaceTable(Table table, const std::string& what);
    // Names the units from the lines of a Names E-File read at `path` (units past the last line
    // keep their names); the names are then clean, as read from that file.
    void reloadNames(Game g, std::span<const std::uint8_t> bytes, const std::string& path);
    // "Reload names" of a form: reads the game's Names E-File again (asking for it when it is
    // missing) and names the units from it. Asks first when `alwaysAsk` or when the names have
    // unsaved changes. False when nothing was read.
    bool reloadNamesFile(Game g, bool alwaysAsk);

    // --- Undo and redo --------------------------------------------------------------------
    const EditHistory& history(Game g) const { return state(g).history; }
    // Takes back (or does again) the last step of the game; false when there is none.
    bool undo(Game g);
    bool redo(Game g);
    // Undoes or redoes until the game's history stands at `index` (0: before the first step).
    void moveHistoryTo(Game g, std::size_t index);

    // "PG2 File: %s " or "PeG File: %s " with the current game's E-File shortened to 36, the
    // modified mark "<Modified: PG2: PeG> " as the flags say, then "  - Varnel Editor 2.07".
    std::string title() const;
    // Tells the observers the title; after every load, edit, command and view switch.
    void refreshTitle();
    void refreshAllViews();
    void fileLoaded(const std::string& path, Game game);
    // Asks the observers to show the form of `game`.
    void showGame(Game game);

    // The save-modified prompt: asks "%s\nIS modified\n ¿ Save changes ?" for each set flag in
    // the order PG2 data, PeG data, PG2 names, PeG names and saves on Yes. A No keeps its flag and
    // lets the action go on; a Yes whose save fails cancels the action: false then.
    bool saveModified();

    // The commands of the menus, each on the current game; nothing happens for a game without
    // what the command needs (a table, a registered view).
    void newDocument();
    void open();
    void save();
    void saveAs();
    void reloadTFile();
    void reloadIcons();
    void cloneItem();
    void deleteItem();
    void mergeFromEFile();
    void mergeFromTxt();
    void exportEFile();
    void convert();
    // The cost change of the "Global Modifiers" dialog with its choices; the number of units
    // changed.
    int globalCostModifier(const CostChoices& choices);
    void editTextFile();
    // A file opened through the framework (command line, a drop, the recent list): loaded as
    // `game` when the caller knows it (a recent entry remembers it), otherwise as the game
    // "Default E-File" names ("PG2" exactly: PG2; otherwise PeG). False when the save prompt was
    // cancelled or nothing was loaded.
    bool openDocument(const std::string& path, std::optional<Game> game = std::nullopt);
    // The end of the program: the save prompt, then the exit settings. False when a failed save
    // cancelled the exit (nothing written then).
    bool close();

    // --- Files on disk (diskfiles.cpp) ----------------------------------------------------
    // What the game's E-File (Data) or Names E-File (Names) was like when last loaded or saved;
    // nothing when the table has no such file on disk.
    const std::optional<FileStamp>& fileStamp(Game g, ChangeKind kind) const {
        return fileOf(g, kind).stamp;
    }
    // The path whose stamp fileStamp holds.
    const std::string& stampedPath(Game g, ChangeKind kind) const { return fileOf(g, kind).path; }
    // Remembers what the file at `path` is like after a load or save (nothing: the table has no
    // such file on disk).
    void rememberFile(Game g, ChangeKind kind, const std::string& path,
                      std::optional<FileStamp> stamp);
    // The same for `bytes` just written to or read whole from `path`.
    void rememberFile(Game g, ChangeKind kind, const std::string& path,
                      std::span<const std::uint8_t> bytes);
    // Looks whether the loaded files of `g` were changed by another program and asks for each:
    // "%s was changed by another program. Reload it (your unsaved changes are lost), or keep
    // yours?". Yes reloads the game's E-File; No keeps the table. A file the user chose to keep
    // is asked about again only when it changes again, unless `beforeSave` (a save would
    // overwrite it: always asked). False when the game was reloaded (a save must not go on).
    // `data` / `names`: which of the two files to look at.
    bool checkChangedFiles(Game g, bool beforeSave, bool data = true, bool names = true);
    // checkChangedFiles for both games, when the window gets the focus.
    void checkChangedFiles();
    // The backups of the current game's E-File, listed in a file dialog; the one chosen replaces
    // the game's units as a step (the user then saves). Only the E-File's data: the names stay.
    void restoreBackup();
    // The folder the backups go to ($XDG_DATA_HOME/varnel/backups/).
    static std::string backupFolder();

    // --- The recovery journal (recoveryjournal.cpp) ------------------------------------------
    // Journals every step of both games from now on into `folder` (the editor: the user's state
    // folder). Without it nothing is journaled (the CLI, most tests).
    void enableJournal(const std::string& folder);
    bool journaling() const { return journal_ != nullptr; }
    // The journal file of the game, or "" (for the tests).
    std::string journalPath(Game g) const;
    // Just before a save writes the game's files: the journal holds a copy of the table and
    // what each file will hold, so a restore after a kill during the save brings back exactly
    // what is unsaved.
    void journalBeforeSave(Game g, const SaveTargets& targets);
    // Removes both games' journals: the program ends normally.
    void endJournals();

  private:
    friend class JournalReplay; // replays a journal's patches through the one door
    friend bool RestoreLeftJournal(CVarnelDoc& doc, const std::string& path);
    // The one door: applies `patch` to game g, pushes it as the step `text` (touching the
    // E-File's data and / or the names), marks the names clean when `namesClean` (they are a
    // file's as read), journals it and tells the observers. With `check` (a journal's replay),
    // the patch is first compared with the table; false, and nothing changed, when it does not
    // fit or is empty.
    bool commit(Game g, std::string text, Patch patch, bool data, bool names,
                bool namesClean = false, const std::vector<std::uint64_t>* check = nullptr);
    // Undo (backwards) or redo (forwards) of the game's history through the door.
    bool stepHistory(Game g, bool forward);
    // Applies a patch forwards or backwards (the swap and the code); what changed.
    DocChange applyPatch(Game g, Patch& patch, bool forward, bool data, bool names,
                         const std::vector<std::uint64_t>* check,
                         std::vector<std::uint64_t>* record, bool* ok);
    template <class Table> bool append(Game g, Table added, const std::string& what, bool names);
    template <class Table>
    bool replace(Game g, const std::string& what, std::size_t count,
                 std::vector<std::size_t> positions, Table units);
    template <class Table> void swapTable(Game g, Table table, const std::string& what);

    // Starts the game's journal afresh from the table as it stands (its files, or a copy).
    void journalRebase(Game g);
    void journalRebase(Game g, const SaveTargets* targets);
    // Appends the step just pushed (with the hashes of its old bytes) to the game's journal.
    void journalStep(Game g, const EditStep& step, bool namesClean,
                     const std::vector<std::uint64_t>& hashes);
    // After an undo or redo from history position `from`.
    void journalMove(Game g, bool undo, std::size_t from);
    std::unique_ptr<RecoveryJournal> journal_;
    template <class F> void notify(F&& f) {
        // An observer may remove itself while being told.
        const std::vector<DocObserver*> current = observers_;
        for (DocObserver* o : current)
            if (std::find(observers_.begin(), observers_.end(), o) != observers_.end())
                f(*o);
    }
    EditHistory& historyOf(Game g) { return state(g).history; }
    void changed(const DocChange& change);

    AppSettings settings_;
    bool settingsLoaded_ = false;
    Game currentGame_ = Game::Pg2;
    std::tuple<TableSlot<Pg2UnitTable>, TableSlot<PegUnitTable>> tables_;
    std::array<GameState, 2> games_{GameState(Game::Pg2), GameState(Game::Peg)};
    // The table now becomes the one "changed" is told from.
    void keepSaved(Game g);
    // The details of a step just applied (EditStep::details), from its patch.
    std::string stepDetails(Game g, Patch& patch, const DocChange& change);
    std::vector<DocObserver*> observers_;
    bool checkingFiles_ = false;
};

} // namespace varnel
