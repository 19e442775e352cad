#pragma once
// RIFF WAVE files: a writer of 16-bit PCM mono files (test sounds, the sample game folders) and a
// reader that finds the format and the sample bytes of any WAV.
//
// Layout, little-endian:
//   offset  width  meaning
//   0       4      "RIFF"
//   4       4      size of everything after this field (file size - 8)
//   8       4      "WAVE"
//   12      ...    chunks: id (4 bytes), size (4), data (size bytes, padded to an even length)
// The "fmt " chunk, at least 16 bytes:
//   0       2      format tag (1 = PCM)
//   2       2      channels
//   4       4      samples per second
//   8       4      bytes per second (sample rate * block align)
//   12      2      block align (channels * bits / 8)
//   14      2      bits per sample
// The "data" chunk holds the sample frames. Other chunks are skipped.

#include "base/bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varnel {

inline constexpr std::size_t kWavRiffHeaderSize = 12;
inline constexpr std::size_t kWavChunkHeaderSize = 8;
inline constexpr std::size_t kWavFmtMinSize = 16;
inline constexpr std::uint16_t kWavFormatPcm = 1;
inline constexpr std::uint16_t kWavBitsPerSample16 = 16;

struct WavData {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    Bytes samples; // the bytes of the "data" chunk, as stored
};

struct WavReadResult {
    std::optional<WavData> wav; // set on success
    std::string error;          // what is wrong, on failure
    std::size_t offset = 0;     // where it was found
};

// Builds the bytes of a 16-bit PCM mono WAV holding `samples` at `sampleRate` samples per
// second. Sample counts that would not fit the 32-bit size fields are cut to what fits.
Bytes BuildPcmWav(std::span<const std::int16_t> samples, std::uint32_t sampleRate);

// Reads the format and the sample bytes of a WAV. Fails, naming the offset, on a missing RIFF or
// WAVE tag, a chunk that runs past the end, a "fmt " chunk shorter than 16 bytes, a "data"
// chunk before the "fmt " chunk, or no "data" chunk. Never reads outside `bytes`.
WavReadResult ReadWav(std::span<const std::uint8_t> bytes);

} // namespace varnel
