#include "icons/soundplayer.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

// A build without an audio library says so for every sound, and keeps nothing open.
struct NoSoundCase {
    const char* name;
    const char* path;
};

class NoSound : public ::testing::TestWithParam<NoSoundCase> {};

TEST_P(NoSound, EverySoundIsRefusedWithTheReason) {
    auto ui = test::MakeScriptedUi();
    ui->expectInformation(kNoSoundText);
    SoundPlayer player(*ui, NoAudioOutput());
    EXPECT_EQ(player.Play(GetParam().path), kSoundInitFailed);
    EXPECT_EQ(player.deviceId(), 0u);
    EXPECT_EQ(player.Close(), kSoundOk);
    EXPECT_TRUE(ui->finished());
}

INSTANTIATE_TEST_SUITE_P(Paths, NoSound,
                         ::testing::Values(NoSoundCase{"Missing", "no-such-file.wav"},
                                           NoSoundCase{"Empty", ""},
                                           NoSoundCase{"WindowsPath", "C:\\PANZER2\\WAVS\\1.wav"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NoSound, SuccessHasNoText) {
    EXPECT_EQ(NoAudioOutput().errorText(kSoundOk), "");
}

#if !VARNEL_SOUND
TEST(NoSound, IsThePlayersDefaultWithoutSound) {
    auto ui = test::MakeScriptedUi();
    ui->expectInformation(kNoSoundText);
    SoundPlayer player(*ui);
    EXPECT_EQ(player.Play("1.wav"), kSoundInitFailed);
}
#endif

} // namespace
} // namespace varnel
