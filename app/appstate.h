#pragma once
// The process-wide state: settings, both games' unit tables and country names, the change flags
// and the current game. The document and the views reach it by reference, so a test can build two
// side by side.

#include "app/appsettings.h"
#include "app/uiport.h"
#include "equip/tfile.h"
#include "equip/unittable.h"
#include "icons/iconarchive.h"

#include <functional>
#include <optional>

namespace varnel {

struct AppState {
    AppState(UiPort& ui, SettingsBackend& store) : ui(ui), store(store) {}

    UiPort& ui;
    SettingsBackend& store;
    AppSettings settings;

    std::optional<Pg2UnitTable> pg2; // absent until first loaded
    std::optional<PegUnitTable> peg;
    NameTable pg2Countries{27};
    NameTable pegCountries{21};
    ChangeFlags flags;
    Game currentGame = Game::Pg2;
    IconArchive pg2Icons{Game::Pg2};
    IconArchive pegIcons{Game::Peg};

    // Hooks of the document; empty in the CLI and most tests.
    std::function<void()> refreshViews;
    std::function<void()> refreshTitle;
    std::function<void(const std::string&)> addRecentFile;

    NameTable& countries(Game g) { return g == Game::Pg2 ? pg2Countries : pegCountries; }
    const NameTable& countries(Game g) const {
        return g == Game::Pg2 ? pg2Countries : pegCountries;
    }
    IconArchive& icons(Game g) { return g == Game::Pg2 ? pg2Icons : pegIcons; }
    const IconArchive& icons(Game g) const { return g == Game::Pg2 ? pg2Icons : pegIcons; }
    void notifyViews() {
        if (refreshViews)
            refreshViews();
    }
    void notifyTitle() {
        if (refreshTitle)
            refreshTitle();
    }
};

} // namespace varnel
