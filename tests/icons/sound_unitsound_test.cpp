#include "app/iconload.h"
#include "app/reportcommands.h"
#include "app/unitsound.h"

#include "app/filekind.h"
#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "base/paths.h"
#include "icons/samplewavs.h"
#include "icons/soundplayer.h"
#include "icons/wav.h"
#include "tests/icons/sound_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

namespace fs = std::filesystem;
using test::FakeAudioOutput;

constexpr const char* kChooserTitle = "Select a wav file to set folder";

struct GameCase {
    const char* name;
    Game game;
    const char* filter; // of the chooser: tells the two sound kinds apart
};

// A game folder in a temporary folder, the settings pointing at it, a player over a fake output.
class UnitSound : public ::testing::TestWithParam<GameCase> {
  protected:
    UnitSound() : state(*ui, store), player(*ui, output) {
        gameDir = dir.dir() + "GAME" + kNativeSeparator;
        fs::create_directories(gameDir + "WAVS");
        state.settings().dir(Game::Pg2) = gameDir;
        state.settings().dir(Game::Peg) = gameDir;
        state.settings().soundDir(Game::Pg2) = kNoValue;
        state.settings().soundDir(Game::Peg) = kNoValue;
    }
    Game game() const { return GetParam().game; }
    std::string& soundDir() { return state.settings().soundDir(game()); }
    std::string wavs() const { return gameDir + "WAVS" + kNativeSeparator; }
    void writeWav(const std::string& path) {
        test::WriteFile(path, BuildPcmWav(test::RampSamples(10), 22050));
    }

    test::TempDir dir;
    std::string gameDir;
    std::unique_ptr<ScriptedUi> ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc state;
    FakeAudioOutput output;
    SoundPlayer player;
};

TEST_P(UnitSound, UnsetFolderIsTheGameFoldersWavs) {
    writeWav(wavs() + "1000.wav");
    PlayUnitSound(state, game(), player, kMoveSoundBase + 0);
    EXPECT_EQ(soundDir(), wavs());
    EXPECT_EQ(output.calls, (std::vector<std::string>{"open " + wavs() + "1000.wav", "play 1"}));
    // The other game's folder is not touched.
    const Game other = game() == Game::Pg2 ? Game::Peg : Game::Pg2;
    EXPECT_EQ(state.settings().soundDir(other), kNoValue);
}

TEST_P(UnitSound, SetFolderIsUsedAsItIs) {
    const std::string folder = dir.dir() + "Sounds" + kNativeSeparator;
    fs::create_directories(folder);
    writeWav(folder + "2012.wav");
    soundDir() = folder;
    PlayUnitSound(state, game(), player, kAttackSoundBase + 12);
    EXPECT_EQ(soundDir(), folder);
    EXPECT_EQ(output.calls.front(), "open " + folder + "2012.wav");
}

TEST_P(UnitSound, MissingFileAsksForTheFolderAndKeepsTheAnswer) {
    const std::string other = dir.dir() + "Other" + kNativeSeparator;
    fs::create_directories(other);
    writeWav(other + "3007.wav");
    ui->expectFileDialog(kChooserTitle, other + "12.wav");

    PlayUnitSound(state, game(), player, kDeathSoundBase + 7);

    EXPECT_EQ(soundDir(), other);
    EXPECT_EQ(output.calls.front(), "open " + other + "3007.wav");
    ASSERT_EQ(ui->fileRequests().size(), 1u);
    const FileDialogRequest& asked = ui->fileRequests()[0];
    EXPECT_TRUE(asked.open);
    EXPECT_EQ(asked.filter, GetParam().filter);
    EXPECT_EQ(asked.initialName, wavs() + "1001.wav");
}

TEST_P(UnitSound, CancelledChooserStoresNoValueAndStartsOverNextTime) {
    const std::string path = wavs() + "1000.wav";
    ui->expectFileDialog(kChooserTitle, std::nullopt).expectInformation(path + " not found");
    PlayUnitSound(state, game(), player, kMoveSoundBase);
    EXPECT_EQ(soundDir(), kNoValue);
    EXPECT_TRUE(output.calls.empty());

    // The next press looks in the game's WAVS folder again.
    writeWav(path);
    PlayUnitSound(state, game(), player, kMoveSoundBase);
    EXPECT_EQ(soundDir(), wavs());
    EXPECT_EQ(output.calls.front(), "open " + path);
}

TEST_P(UnitSound, ChosenFolderWithoutTheFileIsNotFound) {
    const std::string other = dir.dir() + "Other" + kNativeSeparator;
    fs::create_directories(other);
    writeWav(other + "1.wav");
    ui->expectFileDialog(kChooserTitle, other + "1.wav")
        .expectInformation(other + "2005.wav not found");
    PlayUnitSound(state, game(), player, kAttackSoundBase + 5);
    EXPECT_EQ(soundDir(), other);
    EXPECT_TRUE(output.calls.empty());
}

TEST_P(UnitSound, SecondPressStopsTheFirstSound) {
    writeWav(wavs() + "1003.wav");
    writeWav(wavs() + "2003.wav");
    PlayUnitSound(state, game(), player, kMoveSoundBase + 3);
    PlayUnitSound(state, game(), player, kAttackSoundBase + 3);
    EXPECT_EQ(output.calls,
              (std::vector<std::string>{"open " + wavs() + "1003.wav", "play 1", "close 1",
                                        "open " + wavs() + "2003.wav", "play 2"}));
    EXPECT_EQ(player.deviceId(), 2u);
}

TEST_P(UnitSound, MissingFileLeavesTheSoundThatPlays) {
    writeWav(wavs() + "1003.wav");
    PlayUnitSound(state, game(), player, kMoveSoundBase + 3);
    ui->expectFileDialog(kChooserTitle, std::nullopt)
        .expectInformation(wavs() + "1004.wav not found");
    PlayUnitSound(state, game(), player, kMoveSoundBase + 4);
    EXPECT_EQ(player.deviceId(), 1u);
    EXPECT_EQ(output.calls.size(), 2u);
}

TEST_P(UnitSound, FolderFromWindowsInAnotherLetterCase) {
    // On disk: game/wavs/1000.WAV; the setting says WAVS and the name .wav.
    fs::remove_all(gameDir + "WAVS");
    fs::create_directories(gameDir + "wavs");
    writeWav(gameDir + "wavs" + kNativeSeparator + "1000.WAV");
    PlayUnitSound(state, game(), player, kMoveSoundBase);
    EXPECT_EQ(output.calls.front(), "open " + gameDir + "wavs" + kNativeSeparator + "1000.WAV");
}

INSTANTIATE_TEST_SUITE_P(
    BothGames, UnitSound,
    ::testing::Values(GameCase{"Pg2", Game::Pg2, "PG2 WAV converted Files (*.WAV)|*.wav|"},
                      GameCase{"Peg", Game::Peg, "PeG WAV Files (*.WAV)|*.wav|"}),
    [](const auto& info) { return std::string(info.param.name); });

// The whole way: sample sounds written, a move button pressed, the samples at SDL's output.
using UnitSoundThroughSdl = test::DiskAudioTest;

TEST_F(UnitSoundThroughSdl, SampleSoundReachesTheOutput) {
    const std::string gameDir = dir_.dir() + "PG2" + kNativeSeparator;
    ASSERT_TRUE(WriteSampleWavs(gameDir, {1000, 2000, 3000}));
    auto ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc state(*ui, store);
    state.settings().dir(Game::Pg2) = gameDir;
    state.settings().soundDir(Game::Pg2) = kNoValue;
    SoundPlayer player(*ui);

    PlayUnitSound(state, Game::Pg2, player, kMoveSoundBase + 0);
    ASSERT_NE(player.deviceId(), 0u);
    ASSERT_TRUE(WaitUntilDrained(player.deviceId()));
    EXPECT_EQ(player.Close(), kSoundOk);

    const auto wav = ReadWav(test::ReadFile(gameDir + "WAVS" + kNativeSeparator + "1000.wav"));
    ASSERT_TRUE(wav.wav);
    EXPECT_TRUE(test::Contains(output(), wav.wav->samples));
}

TEST_F(UnitSoundThroughSdl, DamagedSoundShowsSdlsTextAndKeepsTheFolder) {
    const std::string gameDir = dir_.dir() + "PeG" + kNativeSeparator;
    fs::create_directories(gameDir + "WAVS");
    const std::string path = gameDir + "WAVS" + kNativeSeparator + "3004.wav";
    test::WriteFile(path, std::string("RIFF...."));
    // SDL's own words for this file, whatever its version calls it.
    SDL_AudioSpec audioFormat{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    ASSERT_EQ(SDL_LoadWAV(path.c_str(), &audioFormat, &buffer, &length), nullptr);
    const std::string sdlText = SDL_GetError();
    ASSERT_FALSE(sdlText.empty());
    auto ui = test::MakeScriptedUi();
    ui->expectInformation(sdlText);
    MemorySettingsBackend store;
    CVarnelDoc state(*ui, store);
    state.settings().dir(Game::Peg) = gameDir;
    state.settings().soundDir(Game::Peg) = gameDir + "WAVS" + kNativeSeparator;
    SoundPlayer player(*ui);

    PlayUnitSound(state, Game::Peg, player, kDeathSoundBase + 4);
    EXPECT_EQ(player.deviceId(), 0u);
    EXPECT_EQ(state.settings().soundDir(Game::Peg), gameDir + "WAVS" + kNativeSeparator);
}

} // namespace
} // namespace varnel
