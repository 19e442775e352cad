#include "tests/icons/sound_support.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace varnel::test {

int FakeAudioOutput::open(const std::string& path, std::uint32_t& device) {
    calls.push_back("open " + path);
    if (openResult != kSoundOk)
        return lastFailure_ = openResult;
    device = nextDevice_++;
    return kSoundOk;
}

int FakeAudioOutput::play(std::uint32_t device) {
    calls.push_back("play " + std::to_string(device));
    return playResult != kSoundOk ? lastFailure_ = playResult : kSoundOk;
}

int FakeAudioOutput::close(std::uint32_t device) {
    calls.push_back("close " + std::to_string(device));
    return closeResult != kSoundOk ? lastFailure_ = closeResult : kSoundOk;
}

std::string FakeAudioOutput::errorText(int code) const {
    return code == lastFailure_ ? failureText : std::string();
}

void DiskAudioTest::SetUpTestSuite() {
    // The driver is chosen once, when SDL's audio starts; the output file and pace per device.
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    // A short pause per buffer: fast, yet the silence after a sound does not flood the disk.
    ::setenv("SDL_DISKAUDIODELAY", "1", 1);
}

void DiskAudioTest::SetUp() {
    outputFile_ = dir_.file("audio-out.raw");
    ::setenv("SDL_DISKAUDIOFILE", outputFile_.c_str(), 1);
}

bool DiskAudioTest::WaitUntilDrained(std::uint32_t device) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (SDL_GetQueuedAudioSize(device) > 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::vector<std::int16_t> RampSamples(std::size_t count) {
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::int16_t>((i * 37) % 20000 + 1);
    return samples;
}

bool Contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

} // namespace varnel::test
