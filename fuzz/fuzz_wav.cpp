// Feeds arbitrary bytes to the WAV reader the sound test uses.

#include "icons/wav.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto result = varnel::ReadWav(std::span<const std::uint8_t>(data, size));
    if (result.wav && result.wav->samples.size() > size)
        __builtin_trap();
    if (!result.wav && (result.error.empty() || result.offset > size))
        __builtin_trap();
    return 0;
}
