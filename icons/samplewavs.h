#pragma once
// Generated unit sounds for the sample game folders: short tones whose pitch and shape follow
// the sound number, so that different numbers sound different.

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

inline constexpr std::uint32_t kSampleWavRate = 22050;
inline constexpr double kSampleWavSeconds = 0.3;

// The 16-bit samples of sound `number` (1000 + move, 2000 + attack, 3000 + death sound):
// the thousands pick the shape (a steady tone, sharp pulses, a falling sweep, other numbers a
// plain tone) and the rest the pitch, 200 Hz + 8 Hz per step up to 999.
std::vector<std::int16_t> SampleSoundSamples(int number, std::uint32_t sampleRate, double seconds);

// Writes "%d.wav" for every number into the "WAVS" subfolder of `gameFolder` (created when
// missing). `gameFolder` may end with a separator or not. Returns false, having written what it
// could, when the folder cannot be created or a file cannot be saved.
bool WriteSampleWavs(const std::string& gameFolder, const std::vector<int>& soundNumbers);

} // namespace varnel
