#include "icons/soundplayer.h"

#include <SDL.h>

#include <map>

namespace varnel {

namespace {

// SDL waits two device buffers when it closes a device: small buffers keep a press of the next
// sound button quick. About 20 ms, a power of two in frames.
constexpr int kBufferMilliseconds = 20;
constexpr Uint16 kMinBufferFrames = 64;
constexpr Uint16 kMaxBufferFrames = 4096;

Uint16 bufferFrames(int sampleRate) {
    const long wanted = static_cast<long>(sampleRate) * kBufferMilliseconds / 1000;
    Uint16 frames = kMinBufferFrames;
    while (frames < kMaxBufferFrames && frames * 2 <= wanted)
        frames = static_cast<Uint16>(frames * 2);
    return frames;
}

class SdlAudio final : public AudioOutput {
  public:
    ~SdlAudio() override {
        for (auto& [device, sound] : loaded_)
            SDL_FreeWAV(sound.buffer);
    }

    int open(const std::string& path, std::uint32_t& device) override {
        // Only the text of this attempt may be shown.
        SDL_ClearError();
        if (!started_) {
            // SDL's own SIGINT/SIGTERM handlers would only queue a quit event nobody reads: the
            // editor must still end on them (and keep its recovery journal).
            SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
                return fail(kSoundInitFailed);
            started_ = true;
        }
        SDL_AudioSpec audioFormat{};
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        if (!SDL_LoadWAV(path.c_str(), &audioFormat, &buffer, &length))
            return fail(kSoundLoadFailed);
        audioFormat.callback = nullptr; // fed by SDL_QueueAudio
        audioFormat.userdata = nullptr;
        audioFormat.samples = bufferFrames(audioFormat.freq);
        // The file's own format, no changes allowed: SDL converts for the hardware if it must.
        const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &audioFormat, nullptr, 0);
        if (id == 0) {
            SDL_FreeWAV(buffer);
            return fail(kSoundDeviceFailed);
        }
        loaded_[id] = {buffer, length};
        device = id;
        return kSoundOk;
    }

    int play(std::uint32_t device) override {
        SDL_ClearError();
        const auto it = loaded_.find(device);
        if (it == loaded_.end())
            return fail(kSoundPlayFailed);
        // The queue keeps its own copy of the samples.
        const int rc = SDL_QueueAudio(device, it->second.buffer, it->second.length);
        SDL_FreeWAV(it->second.buffer);
        loaded_.erase(it);
        if (rc != 0)
            return fail(kSoundPlayFailed);
        SDL_PauseAudioDevice(device, 0);
        return kSoundOk;
    }

    int close(std::uint32_t device) override {
        const auto it = loaded_.find(device);
        if (it != loaded_.end()) {
            SDL_FreeWAV(it->second.buffer);
            loaded_.erase(it);
        }
        if (started_)
            SDL_CloseAudioDevice(device);
        return kSoundOk;
    }

    std::string errorText(int code) const override {
        return code == lastCode_ ? lastText_ : std::string();
    }

  private:
    struct Loaded {
        Uint8* buffer;
        Uint32 length;
    };

    int fail(int code) {
        lastCode_ = code;
        const char* text = SDL_GetError();
        lastText_ = text ? text : "";
        SDL_ClearError();
        return code;
    }

    bool started_ = false;
    std::map<std::uint32_t, Loaded> loaded_; // opened, not yet started
    int lastCode_ = kSoundOk;
    std::string lastText_;
};

} // namespace

AudioOutput& SdlAudioOutput() {
    static SdlAudio output;
    return output;
}

} // namespace varnel
