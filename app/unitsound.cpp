#include "app/unitsound.h"

#include "base/fileio.h"

#include "app/filekind.h"
#include "app/varneldoc.h"
#include "base/format.h"
#include "base/paths.h"
#include "icons/soundplayer.h"

namespace varnel {

namespace {

FileKind soundKind(Game game) {
    return game == Game::Pg2 ? FileKind::Pg2Sound : FileKind::PegSound;
}

} // namespace

std::string UnitSoundPath(const std::string& folder, int number) {
    return Format("%s%d.wav", folder.c_str(), number);
}

void PlayUnitSound(CVarnelDoc& state, Game game, SoundPlayer& player, int number) {
    std::string& folder = state.settings().soundDir(game);
    if (folder == kNoValue)
        folder = state.settings().dir(game) + "WAVS" + kNativeSeparator;

    std::string path = UnitSoundPath(folder, number);
    if (!FileExists(path)) {
        folder = ChooseFile(state.ui, state.settings(),
                            {.kind = soundKind(game), .part = PathPart::Folder});
        if (folder != kNoValue)
            path = UnitSoundPath(folder, number);
    }
    if (!FileExists(path)) {
        MessageBox(state.ui, "%s not found", path.c_str());
        return;
    }
    // SDL would open a FIFO or device and wait on it.
    if (IsNonRegularFile(path)) {
        MessageBox(state.ui, "not a regular file: %s", path.c_str());
        return;
    }

    player.Close();
    // The folder may have come from Windows in another letter case than the file on disk.
    player.Play(ResolvePath(path));
}

} // namespace varnel
