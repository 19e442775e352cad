#include "icons/soundplayer.h"

#include "icons/wav.h"
#include "tests/icons/sound_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace varnel {
namespace {

using test::FakeAudioOutput;
using test::RecordingUi;

// The player's own steps, over an output whose failures are chosen.
struct PlayerCase {
    const char* name;
    int openResult;
    int playResult;
    int closeResult;
    const char* failureText;
    bool soundAlreadyOpen; // device 1 open before the Play under test
    int expectedCode;
    std::vector<std::string> expectedCalls; // after the set-up
    std::vector<std::string> expectedMessages;
    std::uint32_t expectedDevice;
};

class SoundPlayerSteps : public ::testing::TestWithParam<PlayerCase> {};

TEST_P(SoundPlayerSteps, Play) {
    const PlayerCase& c = GetParam();
    RecordingUi ui;
    FakeAudioOutput output;
    SoundPlayer player(ui, output);
    if (c.soundAlreadyOpen) {
        ASSERT_EQ(player.Play("first.wav"), kSoundOk);
        output.calls.clear();
    }
    output.openResult = c.openResult;
    output.playResult = c.playResult;
    output.closeResult = c.closeResult;
    output.failureText = c.failureText;

    EXPECT_EQ(player.Play("second.wav"), c.expectedCode);
    EXPECT_EQ(output.calls, c.expectedCalls);
    EXPECT_EQ(ui.messages, c.expectedMessages);
    EXPECT_EQ(player.deviceId(), c.expectedDevice);
}

INSTANTIATE_TEST_SUITE_P(FailingSteps, SoundPlayerSteps,
                         ::testing::Values(PlayerCase{"Plays",
                                                      kSoundOk,
                                                      kSoundOk,
                                                      kSoundOk,
                                                      "",
                                                      false,
                                                      kSoundOk,
                                                      {"open second.wav", "play 1"},
                                                      {},
                                                      1},
                                           PlayerCase{"OpenRefusedShowsTheText",
                                                      kSoundLoadFailed,
                                                      kSoundOk,
                                                      kSoundOk,
                                                      "Couldn't open second.wav",
                                                      false,
                                                      kSoundLoadFailed,
                                                      {"open second.wav"},
                                                      {"Couldn't open second.wav"},
                                                      0},
                                           PlayerCase{"OpenRefusedWithoutTextIsUnknown",
                                                      kSoundDeviceFailed,
                                                      kSoundOk,
                                                      kSoundOk,
                                                      "",
                                                      false,
                                                      kSoundDeviceFailed,
                                                      {"open second.wav"},
                                                      {"Unknow Error"},
                                                      0},
                                           PlayerCase{"OpenRefusedKeepsTheSoundThatPlays",
                                                      kSoundLoadFailed,
                                                      kSoundOk,
                                                      kSoundOk,
                                                      "bad",
                                                      true,
                                                      kSoundLoadFailed,
                                                      {"open second.wav"},
                                                      {"bad"},
                                                      1},
                                           PlayerCase{"PlayRefusedClosesTheNewDevice",
                                                      kSoundOk,
                                                      kSoundPlayFailed,
                                                      kSoundOk,
                                                      "queue full",
                                                      false,
                                                      kSoundPlayFailed,
                                                      {"open second.wav", "play 1", "close 1"},
                                                      {"queue full"},
                                                      0},
                                           PlayerCase{"PlayAndCloseRefusedKeepTheId",
                                                      kSoundOk,
                                                      kSoundPlayFailed,
                                                      kSoundCloseFailed,
                                                      "",
                                                      false,
                                                      kSoundPlayFailed,
                                                      {"open second.wav", "play 1", "close 1"},
                                                      {"Unknow Error", "Unknow Error"},
                                                      1},
                                           PlayerCase{"NewSoundStopsTheOneStillOpen",
                                                      kSoundOk,
                                                      kSoundOk,
                                                      kSoundOk,
                                                      "",
                                                      true,
                                                      kSoundOk,
                                                      {"open second.wav", "close 1", "play 2"},
                                                      {},
                                                      2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SoundPlayer, FailedCloseKeepsTheIdAndTriesAgain) {
    RecordingUi ui;
    FakeAudioOutput output;
    SoundPlayer player(ui, output);
    ASSERT_EQ(player.Play("a.wav"), kSoundOk);
    output.closeResult = kSoundCloseFailed;
    output.failureText = "device busy";
    EXPECT_EQ(player.Close(), kSoundCloseFailed);
    EXPECT_EQ(player.deviceId(), 1u);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"device busy"});

    output.closeResult = kSoundOk;
    EXPECT_EQ(player.Close(), kSoundOk);
    EXPECT_EQ(player.deviceId(), 0u);
    // Nothing open: nothing to close.
    EXPECT_EQ(player.Close(), kSoundOk);
    EXPECT_EQ(output.calls,
              (std::vector<std::string>{"open a.wav", "play 1", "close 1", "close 1"}));
}

TEST(SoundPlayer, ReportErrorCutsLongTextsAndIgnoresSuccess) {
    RecordingUi ui;
    FakeAudioOutput output;
    SoundPlayer player(ui, output);
    player.ReportError(kSoundOk);
    EXPECT_TRUE(ui.messages.empty());

    output.openResult = kSoundLoadFailed;
    output.failureText = std::string(400, 'x');
    player.Play("a.wav");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], std::string(kMaxSoundErrorLength, 'x'));
    // The text belongs to the failure that set it.
    player.ReportError(kSoundPlayFailed);
    EXPECT_EQ(ui.messages.back(), "Unknow Error");
}

TEST(SoundPlayer, DestroyingThePlayerClosesItsDevice) {
    RecordingUi ui;
    FakeAudioOutput output;
    {
        SoundPlayer player(ui, output);
        player.Play("a.wav");
    }
    EXPECT_EQ(output.calls.back(), "close 1");
}

// ---- Through SDL's disk driver ----

using SdlSoundPlayer = test::DiskAudioTest;

TEST_F(SdlSoundPlayer, TheSamplesReachTheOutput) {
    const Bytes wav = BuildPcmWav(test::RampSamples(3000), 22050);
    const std::string path = dir_.file("ramp.wav");
    test::WriteFile(path, wav);
    auto ui = test::MakeScriptedUi();
    SoundPlayer player(*ui);

    ASSERT_EQ(player.Play(path), kSoundOk);
    ASSERT_NE(player.deviceId(), 0u);
    ASSERT_TRUE(WaitUntilDrained(player.deviceId()));
    EXPECT_EQ(player.Close(), kSoundOk);
    EXPECT_EQ(player.deviceId(), 0u);

    const auto parsed = ReadWav(wav);
    ASSERT_TRUE(parsed.wav);
    EXPECT_TRUE(test::Contains(output(), parsed.wav->samples));
}

TEST_F(SdlSoundPlayer, PlayReturnsBeforeTheSoundEnds) {
    // Two seconds of sound: a blocking player would still be busy with it.
    const std::string path = dir_.file("long.wav");
    test::WriteFile(path, BuildPcmWav(test::RampSamples(2 * 22050), 22050));
    auto ui = test::MakeScriptedUi();
    SoundPlayer player(*ui);
    ::setenv("SDL_DISKAUDIODELAY", "50", 1);
    const int code = player.Play(path);
    const Uint32 queued = player.deviceId() ? SDL_GetQueuedAudioSize(player.deviceId()) : 0;
    ::setenv("SDL_DISKAUDIODELAY", "1", 1);
    ASSERT_EQ(code, kSoundOk);
    EXPECT_GT(queued, 0u);
    EXPECT_EQ(player.Close(), kSoundOk);
}

TEST_F(SdlSoundPlayer, MissingFileShowsSdlsText) {
    const std::string path = dir_.file("1000.wav");
    auto ui = test::MakeScriptedUi();
    ui->expectInformation("Couldn't open " + path);
    SoundPlayer player(*ui);
    EXPECT_EQ(player.Play(path), kSoundLoadFailed);
    EXPECT_EQ(player.deviceId(), 0u);
}

TEST_F(SdlSoundPlayer, RefusedOutputDeviceShowsSdlsText) {
    const std::string path = dir_.file("ramp.wav");
    test::WriteFile(path, BuildPcmWav(test::RampSamples(100), 22050));
    const std::string unwritable = dir_.file("no-such-folder/out.raw");
    ::setenv("SDL_DISKAUDIOFILE", unwritable.c_str(), 1);
    auto ui = test::MakeScriptedUi();
    ui->expectInformation("Couldn't open " + unwritable);
    SoundPlayer player(*ui);
    EXPECT_EQ(player.Play(path), kSoundDeviceFailed);
    EXPECT_EQ(player.deviceId(), 0u);
}

TEST_F(SdlSoundPlayer, UnknownAudioDriverShowsSdlsText) {
    // The driver is picked when SDL's audio starts, once per process: try it in a fresh one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = dir_.file("ramp.wav");
    test::WriteFile(path, BuildPcmWav(test::RampSamples(100), 22050));
    EXPECT_EXIT(
        {
            ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            RecordingUi ui;
            SoundPlayer player(ui);
            const int code = player.Play(path);
            for (const auto& m : ui.messages)
                std::fprintf(stderr, "message: %s\n", m.c_str());
            std::fflush(stderr);
            std::_Exit(code == kSoundInitFailed && ui.messages.size() == 1 && player.deviceId() == 0
                           ? 0
                           : 1);
        },
        ::testing::ExitedWithCode(0), "message: Audio target 'no-such-driver' not available");
}

// SDL would otherwise take SIGTERM and SIGINT for itself once a sound has played, and the
// editor would no longer end on them.
TEST_F(SdlSoundPlayer, TheProgramStillEndsOnSignalsAfterASound) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = dir_.file("ramp.wav");
    test::WriteFile(path, BuildPcmWav(test::RampSamples(100), 22050));
    for (int signal : {SIGTERM, SIGINT}) {
        EXPECT_EXIT(
            {
                RecordingUi ui;
                SoundPlayer player(ui);
                if (player.Play(path) != kSoundOk)
                    std::_Exit(2);
                std::raise(signal);
                // Still alive: the signal was swallowed.
                std::_Exit(3);
            },
            ::testing::KilledBySignal(signal), "");
    }
}

// Damaged files: SDL either plays what it can or shows its text; nothing crashes, and a refused
// file leaves the sound that plays alone.
struct DamageCase {
    const char* name;
    Bytes (*damage)(Bytes wav);
    bool mayPlay; // SDL accepts some damage (a cut data chunk plays what is there)
};

Bytes cutTo(Bytes wav, std::size_t size) {
    wav.resize(std::min(size, wav.size()));
    return wav;
}
Bytes patch32(Bytes wav, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        wav[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return wav;
}
Bytes patch16(Bytes wav, std::size_t offset, std::uint16_t value) {
    writeU16(wav.data() + offset, value);
    return wav;
}

// Offsets in the files BuildPcmWav makes.
constexpr std::size_t kFmtSizeAt = 16, kFormatTagAt = 20, kChannelsAt = 22, kRateAt = 24,
                      kBlockAlignAt = 32, kBitsAt = 34, kDataSizeAt = 40, kDataAt = 44;

class SdlDamagedWav : public test::DiskAudioTest,
                      public ::testing::WithParamInterface<DamageCase> {};

TEST_P(SdlDamagedWav, ShowsTheTextOrPlaysWhatIsThere) {
    const std::string good = dir_.file("good.wav");
    const Bytes wav = BuildPcmWav(test::RampSamples(1000), 22050);
    test::WriteFile(good, wav);
    const std::string bad = dir_.file("bad.wav");
    test::WriteFile(bad, GetParam().damage(wav));

    RecordingUi ui;
    SoundPlayer player(ui);
    ASSERT_EQ(player.Play(good), kSoundOk);
    const std::uint32_t playing = player.deviceId();

    const int code = player.Play(bad);
    if (code == kSoundOk) {
        EXPECT_TRUE(GetParam().mayPlay) << "SDL played a file it should refuse";
        EXPECT_TRUE(ui.messages.empty());
    } else {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0], kUnknownSoundError);
        EXPECT_EQ(player.deviceId(), playing);
    }
    EXPECT_EQ(player.Close(), kSoundOk);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, SdlDamagedWav,
    ::testing::Values(
        DamageCase{"Empty", [](Bytes) { return Bytes{}; }, false},
        DamageCase{"PlainText",
                   [](Bytes) {
                       const std::string t = "this is a text file, not a sound at all\r\n";
                       return Bytes(t.begin(), t.end());
                   },
                   false},
        DamageCase{"CutInRiffHeader", [](Bytes w) { return cutTo(w, 6); }, false},
        DamageCase{"CutInFmtChunk", [](Bytes w) { return cutTo(w, 28); }, false},
        DamageCase{"CutBeforeData", [](Bytes w) { return cutTo(w, kDataAt - 4); }, false},
        DamageCase{"CutInData", [](Bytes w) { return cutTo(w, kDataAt + 501); }, true},
        DamageCase{"DataSizeHuge", [](Bytes w) { return patch32(w, kDataSizeAt, 0xFFFFFFF0u); },
                   true},
        DamageCase{"FmtSizeHuge", [](Bytes w) { return patch32(w, kFmtSizeAt, 0x7FFFFFFFu); },
                   false},
        DamageCase{"FmtSizeTiny", [](Bytes w) { return patch32(w, kFmtSizeAt, 4); }, false},
        DamageCase{"UnknownFormatTag", [](Bytes w) { return patch16(w, kFormatTagAt, 0x7777); },
                   false},
        DamageCase{"NoChannels", [](Bytes w) { return patch16(w, kChannelsAt, 0); }, false},
        DamageCase{"ManyChannels", [](Bytes w) { return patch16(w, kChannelsAt, 0xFFFF); }, false},
        DamageCase{"RateZero", [](Bytes w) { return patch32(w, kRateAt, 0); }, false},
        DamageCase{"RateHuge", [](Bytes w) { return patch32(w, kRateAt, 0xFFFFFFFFu); }, false},
        DamageCase{"BlockAlignZero", [](Bytes w) { return patch16(w, kBlockAlignAt, 0); }, true},
        DamageCase{"BitsOdd", [](Bytes w) { return patch16(w, kBitsAt, 13); }, false},
        DamageCase{"BitsZero", [](Bytes w) { return patch16(w, kBitsAt, 0); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnel
