#include "icons/soundplayer.h"

namespace varnel {

namespace {

// The output of a build without an audio library: every sound is refused with a text that says
// why, so the user is not left wondering about a silent button.
class NoAudio final : public AudioOutput {
  public:
    int open(const std::string&, std::uint32_t&) override { return kSoundInitFailed; }
    int play(std::uint32_t) override { return kSoundPlayFailed; }
    int close(std::uint32_t) override { return kSoundOk; }
    std::string errorText(int code) const override {
        return code == kSoundOk ? std::string() : std::string(kNoSoundText);
    }
};

} // namespace

AudioOutput& NoAudioOutput() {
    static NoAudio output;
    return output;
}

AudioOutput& DefaultAudioOutput() {
#if VARNEL_SOUND
    return SdlAudioOutput();
#else
    return NoAudioOutput();
#endif
}

SoundPlayer::SoundPlayer(UiPort& ui, AudioOutput& output) : ui_(ui), output_(output) {}

SoundPlayer::~SoundPlayer() {
    if (deviceId_ != 0)
        output_.close(deviceId_);
}

int SoundPlayer::Play(const std::string& path) {
    std::uint32_t device = 0;
    if (const int code = output_.open(path, device); code != kSoundOk) {
        ReportError(code);
        return code;
    }
    // A device still open from an earlier sound would otherwise be lost and keep playing.
    if (deviceId_ != 0)
        Close();
    deviceId_ = device;
    if (const int code = output_.play(deviceId_); code != kSoundOk) {
        ReportError(code);
        Close();
        return code;
    }
    return kSoundOk;
}

int SoundPlayer::Close() {
    if (deviceId_ == 0)
        return kSoundOk;
    const int code = output_.close(deviceId_);
    if (code != kSoundOk) {
        ReportError(code);
        return code;
    }
    deviceId_ = 0;
    return kSoundOk;
}

void SoundPlayer::ReportError(int code) {
    if (code == kSoundOk)
        return;
    std::string text = output_.errorText(code);
    if (text.empty())
        text = kUnknownSoundError;
    if (text.size() > kMaxSoundErrorLength)
        text.resize(kMaxSoundErrorLength);
    MessageBox(ui_, "%s", text.c_str());
}

} // namespace varnel
