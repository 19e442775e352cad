#pragma once
// The sound test of the unit forms: the WAV file of a sound number in the game's sound folder.

#include "app/appsettings.h"

#include <string>

namespace varnel {

class CVarnelDoc;
class SoundPlayer;

// The offsets that turn a unit's sound values into file numbers.
inline constexpr int kMoveSoundBase = 1000;
inline constexpr int kAttackSoundBase = 2000;
inline constexpr int kDeathSoundBase = 3000;

// The sound file "%s%d.wav" of `number` in `folder` (which ends in its separator).
std::string UnitSoundPath(const std::string& folder, int number);

// Plays sound `number` (1000 + move, 2000 + attack or 3000 + death sound) of `game` with the
// form's `player`. A sound folder of "-" becomes the game folder's "WAVS" subfolder. When the file
// is missing the user is asked for a WAV file of the right folder, which becomes the sound folder
// ("-" when cancelled); when it is still missing, "%s not found" is shown. Otherwise the player's
// current sound is stopped and the new one started; its failures are shown by the player.
void PlayUnitSound(CVarnelDoc& state, Game game, SoundPlayer& player, int number);

} // namespace varnel
