#include "icons/samplewavs.h"
#include "icons/wav.h"

#include "base/paths.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

namespace varnel {
namespace {

namespace fs = std::filesystem;

TEST(PcmWav, WritesTheHeaderAndReadsBack) {
    const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32768, 0x1234};
    const Bytes wav = BuildPcmWav(samples, 11025);
    ASSERT_EQ(wav.size(), 44u + 12u);
    const std::string tags(wav.begin(), wav.begin() + 16);
    EXPECT_EQ(tags.substr(0, 4), "RIFF");
    EXPECT_EQ(tags.substr(8, 8), "WAVEfmt ");
    ByteCursor c(wav);
    c.seek(4);
    EXPECT_EQ(c.u32(), wav.size() - 8);
    c.seek(28);
    EXPECT_EQ(c.u32(), 11025u * 2); // bytes per second
    EXPECT_EQ(c.u16(), 2u);         // block align
    c.seek(40);
    EXPECT_EQ(c.u32(), 12u);
    EXPECT_EQ(c.u16(), 0u);
    EXPECT_EQ(c.u16(), 1u);
    EXPECT_EQ(c.u16(), 0xFFFFu);
    EXPECT_EQ(c.u16(), 0x7FFFu);

    const WavReadResult r = ReadWav(wav);
    ASSERT_TRUE(r.wav) << r.error;
    EXPECT_EQ(r.wav->formatTag, kWavFormatPcm);
    EXPECT_EQ(r.wav->channels, 1u);
    EXPECT_EQ(r.wav->sampleRate, 11025u);
    EXPECT_EQ(r.wav->bitsPerSample, 16u);
    EXPECT_EQ(r.wav->samples, Bytes(wav.begin() + 44, wav.end()));
}

TEST(PcmWav, SkipsOtherChunksWithTheirPadByte) {
    Bytes wav = BuildPcmWav(std::vector<std::int16_t>{7, 8}, 8000);
    // A "LIST" chunk of odd size (3 bytes and a pad byte) between "fmt " and "data".
    const Bytes list{'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    wav.insert(wav.begin() + 36, list.begin(), list.end());
    const WavReadResult r = ReadWav(wav);
    ASSERT_TRUE(r.wav) << r.error;
    EXPECT_EQ(r.wav->samples, (Bytes{7, 0, 8, 0}));
}

struct BrokenWav {
    const char* name;
    Bytes (*make)();
    std::size_t offset;
};

Bytes goodWav() {
    return BuildPcmWav(std::vector<std::int16_t>{1, 2, 3}, 8000);
}
Bytes withByte(std::size_t at, std::uint8_t value) {
    Bytes w = goodWav();
    w[at] = value;
    return w;
}

class ReadWavRefuses : public ::testing::TestWithParam<BrokenWav> {};

TEST_P(ReadWavRefuses, NamesWhere) {
    const WavReadResult r = ReadWav(GetParam().make());
    EXPECT_FALSE(r.wav);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(r.offset, GetParam().offset) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Broken, ReadWavRefuses,
    ::testing::Values(BrokenWav{"Empty", [] { return Bytes{}; }, 0},
                      BrokenWav{"NotRiff", [] { return withByte(0, 'X'); }, 0},
                      BrokenWav{"NotWave", [] { return withByte(9, 'X'); }, 8},
                      BrokenWav{"CutInRiffSize",
                                [] {
                                    return Bytes{'R', 'I', 'F', 'F', 1};
                                },
                                4},
                      BrokenWav{"FmtTooShort", [] { return withByte(16, 14); }, 12},
                      BrokenWav{"FmtPastTheEnd", [] { return withByte(19, 0x7F); }, 12},
                      BrokenWav{"DataPastTheEnd", [] { return withByte(40, 7); }, 36},
                      BrokenWav{"ChunkHeaderCut",
                                [] {
                                    Bytes w = goodWav();
                                    w.resize(40);
                                    return w;
                                },
                                36},
                      BrokenWav{"DataBeforeFmt",
                                [] {
                                    Bytes w = goodWav();
                                    Bytes out(w.begin(), w.begin() + 12);
                                    out.insert(out.end(), w.begin() + 36, w.end());
                                    out.insert(out.end(), w.begin() + 12, w.begin() + 36);
                                    return out;
                                },
                                12},
                      BrokenWav{"NoData",
                                [] {
                                    Bytes w = goodWav();
                                    w.resize(36);
                                    return w;
                                },
                                36}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PcmWav, EveryCutOfAFileIsRefused) {
    const Bytes wav = BuildPcmWav(std::vector<std::int16_t>{1, 2, 3, 4, 5}, 8000);
    for (std::size_t size = 0; size < wav.size(); ++size) {
        const Bytes cut(wav.begin(), wav.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadWav(cut).wav) << "cut to " << size;
    }
}

// ---- Generated sample sounds ----

int zeroCrossings(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    int n = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        if ((s[i - 1] < 0) != (s[i] < 0))
            ++n;
    return n;
}

TEST(SampleSounds, PitchFollowsTheNumber) {
    constexpr std::uint32_t rate = 22050;
    // Move sounds are steady tones of 200 Hz + 8 Hz per step: two crossings per period.
    for (const int number : {1000, 1050, 1255}) {
        const auto s = SampleSoundSamples(number, rate, 0.5);
        ASSERT_EQ(s.size(), rate / 2);
        const double hz = 200.0 + 8.0 * (number % 1000);
        EXPECT_NEAR(zeroCrossings(s, 0, s.size()), 2 * hz * 0.5, 3) << number;
    }
}

TEST(SampleSounds, ShapesTellTheEventsApart) {
    constexpr std::uint32_t rate = 22050;
    const auto attack = SampleSoundSamples(2010, rate, 0.3);
    const auto death = SampleSoundSamples(3010, rate, 0.3);
    // Attack: pulses with silence between them (12 per second, half on).
    const std::size_t gap = rate / 12 / 2 + rate / 12 / 4; // in the middle of the first gap
    EXPECT_EQ(attack[gap], 0);
    EXPECT_NE(attack[rate / 12 / 4], 0);
    // Death: the pitch falls, so the second half crosses zero less often.
    const std::size_t half = death.size() / 2;
    EXPECT_GT(zeroCrossings(death, 0, half), zeroCrossings(death, half, death.size()) + 10);
}

TEST(SampleSounds, StartAndEndQuietAndStayInRange) {
    const auto s = SampleSoundSamples(1200, 22050, 0.3);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.front(), 0);
    EXPECT_EQ(s.back(), 0);
    for (const auto v : s)
        EXPECT_LE(std::abs(static_cast<int>(v)), 14000);
    EXPECT_TRUE(SampleSoundSamples(1000, 0, 0.3).empty());
    EXPECT_TRUE(SampleSoundSamples(1000, 22050, -1.0).empty());
}

TEST(SampleWavs, WritesOneFilePerNumberInWavs) {
    test::TempDir dir;
    // Given without its closing separator.
    const std::string game = dir.dir() + "PG2";
    ASSERT_TRUE(WriteSampleWavs(game, {1000, 2003, 3010}));
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(game + "/WAVS"))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"1000.wav", "2003.wav", "3010.wav"}));

    const WavReadResult r = ReadWav(test::ReadFile(game + "/WAVS/2003.wav"));
    ASSERT_TRUE(r.wav) << r.error;
    EXPECT_EQ(r.wav->sampleRate, kSampleWavRate);
    EXPECT_EQ(r.wav->channels, 1u);
    EXPECT_EQ(r.wav->bitsPerSample, 16u);
    const auto expected = ReadWav(
        BuildPcmWav(SampleSoundSamples(2003, kSampleWavRate, kSampleWavSeconds), kSampleWavRate));
    ASSERT_TRUE(expected.wav);
    EXPECT_EQ(r.wav->samples, expected.wav->samples);
    EXPECT_EQ(r.wav->samples.size(),
              2u * static_cast<std::size_t>(kSampleWavRate * kSampleWavSeconds));
}

TEST(SampleWavs, RefusesAGameFolderThatIsAFile) {
    test::TempDir dir;
    test::WriteFile(dir.file("PG2"), std::string("not a folder"));
    EXPECT_FALSE(WriteSampleWavs(dir.file("PG2"), {1000}));
    EXPECT_EQ(test::ReadText(dir.file("PG2")), "not a folder");
}

} // namespace
} // namespace varnel
