// The document and the files on disk: changes made by other programs, and the backups kept
// before a save replaces a file.

#include "app/varneldoc.h"

#include "app/efileio.h"
#include "app/openfile.h"
#include "base/backups.h"
#include "base/paths.h"
#include "equip/efile.h"

namespace varnel {

namespace {

constexpr const char* kReloadNamesQuestion =
    "Are you sure that you want to reload %s\nIt will overwrite any change you had made";
constexpr const char* kChangedQuestion = "%s was changed by another program. Reload it (your "
                                         "unsaved changes are lost), or keep yours?";

template <class Table, class Parsed> Table tableFromBackup(Parsed parsed, const Table& current) {
    Table table = MakeTable(std::move(parsed), Bytes());
    // A backup holds records only: each unit keeps the name it has now; new ones have none.
    for (std::size_t i = 0; i < table.count(); ++i)
        table.setName(i, i < current.count() ? current.name(i) : std::string_view());
    return table;
}

} // namespace

void CVarnelDoc::rememberFile(Game g, ChangeKind kind, const std::string& path,
                              std::optional<FileStamp> stamp) {
    FileRecord& file = fileOf(g, kind);
    file.stamp = std::move(stamp);
    file.path = file.stamp ? path : std::string();
    file.keptOver.reset();
}

void CVarnelDoc::rememberFile(Game g, ChangeKind kind, const std::string& path,
                              std::span<const std::uint8_t> bytes) {
    auto stamp = StatFile(path);
    if (stamp)
        stamp->hash = HashBytes(bytes);
    rememberFile(g, kind, path, stamp);
}

bool CVarnelDoc::checkChangedFiles(Game g, bool beforeSave, bool data, bool names) {
    // The question box takes the focus and gives it back: that must not ask again.
    if (checkingFiles_ || !hasTable(g))
        return true;
    checkingFiles_ = true;
    bool kept = true;
    for (ChangeKind kind : {ChangeKind::Data, ChangeKind::Names}) {
        if (!(kind == ChangeKind::Data ? data : names))
            continue;
        FileRecord& file = fileOf(g, kind);
        const std::string& current =
            kind == ChangeKind::Data ? settings_.eFile(g) : settings_.namesEFile(g);
        // A table that now belongs to another file (a conversion, Save As) has nothing to lose
        // here; a file that has gone is written again by the save.
        if (!file.stamp || !SameFile(file.path, current) || FileMatchesStamp(current, *file.stamp))
            continue;
        const auto now = StampFile(current);
        if (!now || (!beforeSave && file.keptOver && file.keptOver->hash == now->hash &&
                     file.keptOver->size == now->size))
            continue;
        if (QuestionBox(ui, kChangedQuestion, current.c_str())) {
            LoadEFile(*this, g, settings_.eFile(g));
            kept = false;
            break;
        }
        file.keptOver = now;
    }
    checkingFiles_ = false;
    return kept;
}

void CVarnelDoc::checkChangedFiles() {
    for (Game g : {Game::Pg2, Game::Peg})
        checkChangedFiles(g, false);
}

bool CVarnelDoc::reloadNamesFile(Game g, bool alwaysAsk) {
    const std::string path = settings_.namesEFile(g);
    if ((alwaysAsk || flag(g, ChangeKind::Names)) &&
        !QuestionBox(ui, kReloadNamesQuestion, path.c_str()))
        return false;
    std::optional<OpenedFile> file = ReadFileOrAsk(*this, NamesEFileKind(g), path, "");
    if (!file)
        return false;
    reloadNames(g, file->bytes, file->path);
    return true;
}

std::string CVarnelDoc::backupFolder() {
    return WithTrailingSeparator(UserDataFolder() + "backups");
}

void CVarnelDoc::restoreBackup() {
    const Game g = currentGame_;
    if (!hasTable(g))
        return;
    const std::string eFile = settings_.eFile(g);
    const std::string folder = backupFolder();
    const auto backups = ListBackups(folder, eFile);
    if (backups.empty()) {
        MessageBox(ui, "There is no backup of %s", eFile.c_str());
        return;
    }
    const std::string name = GetPathPart(eFile, PathPart::NameExtension);
    FileDialogRequest request;
    request.title = "Restore Backup of " + name;
    request.filter = "Backups of " + name + "|" + BackupPrefix(eFile) + "*" +
                     GetPathPart(eFile, PathPart::Extension) + "|";
    request.initialFolder = folder;
    request.initialName = GetPathPart(backups.front(), PathPart::NameExtension);
    const auto chosen = ui.fileDialog(request);
    if (!chosen)
        return;
    const auto bytes = ReadInputFile(ui, *chosen);
    if (!bytes || !SourceFitsGame(ui, g, *chosen, bytes->size()))
        return;
    const std::string what = "Restore Backup " + GetPathPart(*chosen, PathPart::NameExtension);
    if (g == Game::Pg2)
        replaceTable(tableFromBackup(ParsePg2EFile(*bytes), *pg2()), what);
    else
        replaceTable(tableFromBackup(ParsePegEFile(*bytes), *peg()), what);
}

} // namespace varnel
