#pragma once
// The settings store of the editor: the group "Settings" of a QSettings (organisation
// "Korrin_Tools", application "Varnel": the registry on Windows, the per-user configuration file
// elsewhere), or of an INI file for portable use. The recent-file list lives in the same store.

#include "app/settingsstore.h"
#include "equip/game.h"

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace varnel {

class QSettingsBackend : public SettingsBackend {
  public:
    // The per-user store.
    QSettingsBackend();
    // An INI file at `iniPath`, created when first written.
    explicit QSettingsBackend(const QString& iniPath);
    ~QSettingsBackend() override;

    std::optional<std::string> read(const std::string& name) override;
    void write(const std::string& name, const std::string& value) override;
    void remove(const std::string& name) override;

    QSettings& qsettings() { return *settings_; }

  private:
    std::unique_ptr<QSettings> settings_;
};

// The files opened last, newest first, at most kMaxEntries, kept in the group
// "Recent File List" ("File1", "File2", ...) of the store, each with the game it was opened as
// ("Game1": "PG2" or "PeG").
class RecentFileList {
  public:
    static constexpr int kMaxEntries = 6;

    explicit RecentFileList(QSettings& store);
    const QStringList& files() const { return files_; }
    // The game entry `i` was opened as; nothing for an entry stored without one.
    std::optional<Game> game(qsizetype i) const { return games_.value(i); }
    // Puts `path` first (an entry of the same file moves up), drops the oldest beyond the limit
    // and stores the list.
    void add(const QString& path, std::optional<Game> game = std::nullopt);
    void remove(const QString& path);

  private:
    void save();
    QSettings& store_;
    QStringList files_;
    QList<std::optional<Game>> games_;
};

} // namespace varnel
