#include "app/iconload.h"

#include "app/filekind.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"

namespace varnel {

namespace {
constexpr const char* kPg2ArchiveName = "PANZER2.dat";
constexpr const char* kPegArchiveName = "MODGEN.dat";
constexpr const char* kNotFound = "%s\nnot found!";
} // namespace

std::string FindIconArchivePath(const AppSettings& settings, Game game) {
    const char* name = game == Game::Pg2 ? kPg2ArchiveName : kPegArchiveName;
    const std::string candidates[] = {GetPathPart(settings.eFile(game), PathPart::Folder),
                                      settings.dir(game), settings.altDir(game)};
    std::string path;
    for (const auto& folder : candidates) {
        path = Format("%s%s", folder.c_str(), name);
        if (FileExists(path))
            break;
    }
    return path;
}

bool LoadIconArchive(UiPort& ui, AppSettings& settings, IconArchive& archive,
                     const std::string& givenPath) {
    const Game game = archive.game();
    std::string path = givenPath.empty() ? FindIconArchivePath(settings, game) : givenPath;
    if (!FileExists(path)) {
        MessageBox(ui, kNotFound, path.c_str());
        path = ChooseFile(ui, settings, {.kind = IconArchiveKind(game)});
        if (path == kNoValue || !FileExists(path))
            return false;
    }
    settings.iconArchive(game) = path;

    if (IsNonRegularFile(path)) {
        MessageBox(ui, "not a regular file: %s", path.c_str());
        return false;
    }
    archive.Close();
    BusyCursor busy(ui);
    auto bytes = ReadFileBytes(path);
    if (!bytes)
        return false;
    return archive.Open(std::move(*bytes));
}

bool CVarnelDoc::loadIcons(Game g) {
    const std::string& setting = settings_.iconArchive(g);
    ViewSlot& slot = view(g);
    std::string path;
    if (!setting.empty() && setting != kNoValue && setting != slot.iconsLoaded &&
        FileExists(setting))
        path = setting;
    const bool loaded = LoadIconArchive(ui, settings_, icons(g), path);
    slot.iconsLoaded = setting;
    return loaded;
}

bool SelectIconOfUnit(const CVarnelDoc& doc, IconArchive& archive, int unitIndex) {
    if (unitIndex < 0)
        return false;
    const auto i = static_cast<std::size_t>(unitIndex);
    if (archive.game() == Game::Pg2) {
        if (!doc.pg2() || i >= doc.pg2()->units.size())
            return false;
        return archive.SelectIconNamed(doc.pg2()->units[i].record.icon());
    }
    if (!doc.peg() || i >= doc.peg()->units.size())
        return false;
    return archive.SelectIconNamed(doc.peg()->units[i].record.unitIcon());
}

void ShowIconOfUnit(Painter& painter, const CVarnelDoc& doc, IconArchive& archive, int unitIndex) {
    archive.DrawFrame(painter);
    if (SelectIconOfUnit(doc, archive, unitIndex))
        archive.DrawPixels(painter);
}

} // namespace varnel
