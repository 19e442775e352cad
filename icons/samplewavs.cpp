#include "icons/samplewavs.h"

#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"
#include "icons/wav.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <system_error>

namespace varnel {

namespace {

constexpr double kAmplitude = 0.4 * 32767.0;
constexpr double kBaseHz = 200.0;
constexpr double kHzPerStep = 8.0;
constexpr double kFadeSeconds = 0.01; // against clicks at both ends
constexpr double kPulsesPerSecond = 12.0;
constexpr double kSweepEndRatio = 0.4; // a death sound falls to this share of its pitch

enum class Shape { Steady, Pulses, Sweep };

Shape shapeOf(int number) {
    switch (number / 1000) {
    case 2:
        return Shape::Pulses;
    case 3:
        return Shape::Sweep;
    default:
        return Shape::Steady;
    }
}

} // namespace

std::vector<std::int16_t> SampleSoundSamples(int number, std::uint32_t sampleRate, double seconds) {
    if (sampleRate == 0 || !(seconds > 0.0))
        return {};
    const auto count = static_cast<std::size_t>(seconds * sampleRate);
    const int step = ((number % 1000) + 1000) % 1000;
    const double hz = kBaseHz + kHzPerStep * step;
    const Shape shape = shapeOf(number);
    const double fadeSamples = std::max(1.0, kFadeSeconds * sampleRate);

    std::vector<std::int16_t> out(count);
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double progress = static_cast<double>(i) / static_cast<double>(count);
        double freq = hz;
        double envelope = 1.0;
        if (shape == Shape::Sweep)
            freq = hz * (1.0 - (1.0 - kSweepEndRatio) * progress);
        if (shape == Shape::Pulses)
            envelope = std::fmod(t * kPulsesPerSecond, 1.0) < 0.5 ? 1.0 : 0.0;
        envelope *= std::min({1.0, static_cast<double>(i) / fadeSamples,
                              static_cast<double>(count - 1 - i) / fadeSamples});
        phase += 2.0 * std::numbers::pi * freq / sampleRate;
        out[i] = static_cast<std::int16_t>(std::lround(kAmplitude * envelope * std::sin(phase)));
    }
    return out;
}

bool WriteSampleWavs(const std::string& gameFolder, const std::vector<int>& soundNumbers) {
    const std::string folder = WithTrailingSeparator(gameFolder) + "WAVS" + kNativeSeparator;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return false;
    bool ok = true;
    for (const int number : soundNumbers) {
        const auto samples = SampleSoundSamples(number, kSampleWavRate, kSampleWavSeconds);
        if (!SaveFileBytes(Format("%s%d.wav", folder.c_str(), number),
                           BuildPcmWav(samples, kSampleWavRate)))
            ok = false;
    }
    return ok;
}

} // namespace varnel
