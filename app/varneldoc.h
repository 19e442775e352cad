#pragma once
// CVarnelDoc: the one owner of the process-wide state (settings, both games' unit tables and
// country names, icon archives, the change flags, the current game, the two view slots) and the
// commands of the File and Tools menus. It knows no widget: the editor's frame and views observe
// it through DocObserver, the CLI and the tests drive it directly. Two documents can live side by
// side.

#include "app/appsettings.h"
#include "convert/costmodifier.h"
#include "equip/tfile.h"
#include "equip/unittable.h"
#include "icons/iconarchive.h"
#include "tools/uiport.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

enum class ChangeKind { Data, Names };

// What the frame and the views learn from the document.
class DocObserver {
  public:
    virtual ~DocObserver() = default;
    // The tables were replaced or rebuilt: rebuild lists and forms.
    virtual void refreshAllViews() {}
    // The title (or what it is made of) may have changed.
    virtual void titleChanged(const std::string& title) { (void)title; }
    // A file was loaded as an E-File: the recent-file list takes it.
    virtual void fileOpened(const std::string& path) { (void)path; }
};

inline constexpr std::size_t kCodeExamples = 10;

// What the last load of a game's E-File found that the user was told about.
struct LoadFindings {
    std::size_t headerCount = 0; // the u16 count of the file
    std::size_t recordsHeld = 0; // whole records its size holds
    std::size_t oddMasks = 0;    // PG2 units whose country mask names no single country
    std::size_t codeMismatches = 0; // PG2 units whose code differs from their position
    std::vector<std::pair<std::size_t, std::uint16_t>> codeExamples; // the first few: unit, code
    bool headerMismatch() const { return headerCount != recordsHeld; }
};

// One game's view slot: whether that game's form exists, and what it shows.
struct ViewSlot {
    bool registered = false;
    int currentUnit = 0;
    int listedUnits = 0;
};

class CVarnelDoc {
  public:
    CVarnelDoc(UiPort& ui, SettingsBackend& store);
    CVarnelDoc(const CVarnelDoc&) = delete;
    CVarnelDoc& operator=(const CVarnelDoc&) = delete;

    UiPort& ui;
    SettingsBackend& store;
    AppSettings settings;
    bool settingsLoaded = false;

    std::optional<Pg2UnitTable> pg2; // absent until first loaded
    std::optional<PegUnitTable> peg;
    NameTable pg2Countries{pg2::kCountryCount};
    NameTable pegCountries{peg::kCountryCount};
    ChangeFlags flags;
    Game currentGame = Game::Pg2;
    IconArchive pg2Icons{Game::Pg2};
    IconArchive pegIcons{Game::Peg};
    std::array<ViewSlot, 2> views{};
    std::array<LoadFindings, 2> loads{};

    NameTable& countries(Game g) { return g == Game::Pg2 ? pg2Countries : pegCountries; }
    const NameTable& countries(Game g) const {
        return g == Game::Pg2 ? pg2Countries : pegCountries;
    }
    IconArchive& icons(Game g) { return g == Game::Pg2 ? pg2Icons : pegIcons; }
    const IconArchive& icons(Game g) const { return g == Game::Pg2 ? pg2Icons : pegIcons; }
    ViewSlot& view(Game g) { return views[g == Game::Pg2 ? 0 : 1]; }
    const ViewSlot& view(Game g) const { return views[g == Game::Pg2 ? 0 : 1]; }
    LoadFindings& findings(Game g) { return loads[g == Game::Pg2 ? 0 : 1]; }
    const LoadFindings& findings(Game g) const { return loads[g == Game::Pg2 ? 0 : 1]; }
    // Whether the game's table is loaded, and its number of units (0 without a table).
    bool hasTable(Game g) const { return g == Game::Pg2 ? pg2.has_value() : peg.has_value(); }
    std::size_t unitCount(Game g) const;
    // The name of unit `index` of the game, or nothing outside the table. Valid until the next
    // change of a name of that table.
    std::optional<std::string_view> unitName(Game g, std::size_t index) const;

    // Observers are not owned; remove one before it dies.
    void addObserver(DocObserver* observer);
    void removeObserver(DocObserver* observer);

    // Sets or clears one change flag without telling anyone (loaders and savers).
    void setFlag(Game g, ChangeKind kind, bool value);
    bool flag(Game g, ChangeKind kind) const;
    // Sets a change flag and tells the observers that the title changed.
    void markChanged(Game g, ChangeKind kind);
    // Whether any of the four flags is set (the framework's modified flag).
    bool isModified() const { return flags.any(); }

    // "PG2 File: %s " or "PeG File: %s " with the current game's E-File shortened to 36, the
    // modified mark "<Modified: PG2: PeG> " as the flags say, then "  - Varnel Editor 2.07".
    std::string title() const;
    // Tells the observers the title; after every load, edit, command and view switch.
    void refreshTitle();
    void refreshAllViews();
    void fileLoaded(const std::string& path);

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
    // A file opened through the framework (command line, a drop, the recent list): loaded as the
    // game "Default E-File" names ("PG2" exactly: PG2; otherwise PeG). False when the save prompt
    // was cancelled or nothing was loaded.
    bool openDocument(const std::string& path);
    // The end of the program: the save prompt, then the exit settings. False when a failed save
    // cancelled the exit (nothing written then).
    bool close();

  private:
    template <class F> void notify(F&& f);
    std::vector<DocObserver*> observers_;
};

} // namespace varnel
