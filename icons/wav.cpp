#include "icons/wav.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace varnel {

namespace {

constexpr std::uint32_t kBytesPerMonoSample16 = 2;

bool hasTag(std::span<const std::uint8_t> tag, const char* text) {
    return std::memcmp(tag.data(), text, 4) == 0;
}

WavReadResult failure(std::string what, std::size_t offset) {
    WavReadResult r;
    r.error = std::move(what);
    r.offset = offset;
    return r;
}

} // namespace

Bytes BuildPcmWav(std::span<const std::int16_t> samples, std::uint32_t sampleRate) {
    constexpr std::size_t kHeaderBytes =
        kWavRiffHeaderSize + 2 * kWavChunkHeaderSize + kWavFmtMinSize;
    constexpr std::size_t kMaxSamples =
        (std::numeric_limits<std::uint32_t>::max() - kHeaderBytes) / kBytesPerMonoSample16;
    const std::size_t count = std::min(samples.size(), kMaxSamples);
    const auto dataSize = static_cast<std::uint32_t>(count * kBytesPerMonoSample16);

    Bytes out;
    out.reserve(kHeaderBytes + dataSize);
    ByteWriter w(out);
    w.append(std::string("RIFF"));
    w.u32(static_cast<std::uint32_t>(kHeaderBytes - 8 + dataSize));
    w.append(std::string("WAVE"));
    w.append(std::string("fmt "));
    w.u32(kWavFmtMinSize);
    w.u16(kWavFormatPcm);
    w.u16(1);
    w.u32(sampleRate);
    w.u32(sampleRate * kBytesPerMonoSample16);
    w.u16(kBytesPerMonoSample16);
    w.u16(kWavBitsPerSample16);
    w.append(std::string("data"));
    w.u32(dataSize);
    for (std::size_t i = 0; i < count; ++i)
        w.u16(static_cast<std::uint16_t>(samples[i]));
    return out;
}

WavReadResult ReadWav(std::span<const std::uint8_t> bytes) {
    ByteCursor c(bytes);
    const auto riff = c.take(4);
    if (!riff || !hasTag(*riff, "RIFF"))
        return failure("not a RIFF file", 0);
    if (!c.u32())
        return failure("RIFF header cut short", c.offset());
    const auto wave = c.take(4);
    if (!wave || !hasTag(*wave, "WAVE"))
        return failure("not a WAVE file", 8);

    std::optional<WavData> format;
    while (!c.atEnd()) {
        const std::size_t chunkStart = c.offset();
        const auto id = c.take(4);
        const auto size = c.u32();
        if (!id || !size)
            return failure("chunk header cut short", chunkStart);
        const auto body = c.take(*size);
        if (!body)
            return failure("chunk runs past the end of the file", chunkStart);
        if (*size % 2 != 0)
            c.skip(1); // pad byte; a file may end without it

        if (hasTag(*id, "fmt ")) {
            if (*size < kWavFmtMinSize)
                return failure("format chunk too short", chunkStart);
            ByteCursor f(*body);
            WavData w;
            w.formatTag = *f.u16();
            w.channels = *f.u16();
            w.sampleRate = *f.u32();
            f.skip(6); // bytes per second and block align follow from the rest
            w.bitsPerSample = *f.u16();
            format = std::move(w);
        } else if (hasTag(*id, "data")) {
            if (!format)
                return failure("data chunk before the format chunk", chunkStart);
            WavReadResult r;
            r.wav = std::move(format);
            r.wav->samples.assign(body->begin(), body->end());
            return r;
        }
    }
    return failure("no data chunk", c.offset());
}

} // namespace varnel
