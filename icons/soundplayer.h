#pragma once
// The sound test player that each unit form owns: plays one WAV file at a time in the
// background and reports failures with the audio library's own text.

#include "base/uiport.h"

#include <cstdint>
#include <string>

namespace varnel {

// Error codes of the audio output; 0 is success.
enum SoundError : int {
    kSoundOk = 0,
    kSoundInitFailed = 1,   // the audio subsystem could not start
    kSoundLoadFailed = 2,   // the file is missing, unreadable or not a WAV SDL can decode
    kSoundDeviceFailed = 3, // no output device could be opened for the file's format
    kSoundPlayFailed = 4,   // the samples could not be handed to the device
    kSoundCloseFailed = 5,  // the device could not be closed
};

// Text shown when the library has no text for a code.
inline constexpr const char* kUnknownSoundError = "Unknow Error";
// The longest error text shown.
inline constexpr std::size_t kMaxSoundErrorLength = 256;

// The audio library under the player, in the steps the player takes. The program uses
// DefaultAudioOutput(); tests may put in one that fails on purpose.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // Loads the WAV at `path` and opens a paused output device for it; on success sets `device`
    // (never 0) and returns 0, else returns an error code and leaves `device` alone.
    virtual int open(const std::string& path, std::uint32_t& device) = 0;
    // Starts the sound loaded by `open`; returns 0 or an error code.
    virtual int play(std::uint32_t device) = 0;
    // Stops and closes `device`; returns 0 or an error code (the device then stays open).
    virtual int close(std::uint32_t device) = 0;
    // The library's text for the most recent failure with `code`; empty when it has none.
    virtual std::string errorText(int code) const = 0;
};

// SDL2 audio. The audio subsystem starts on the first open (once per process; a failed start is
// tried again on the next open). A sound plays with the WAV's own format on the default output
// device; SDL's close cannot fail, so close always returns 0. One UI thread uses it.
// Only in builds with sound (VARNEL_SOUND).
AudioOutput& SdlAudioOutput();

// The text every sound gets in a build without sound.
inline constexpr const char* kNoSoundText = "sound is not available in this build";
// An output that plays nothing: open fails with kSoundInitFailed and kNoSoundText.
AudioOutput& NoAudioOutput();
// SdlAudioOutput() in builds with sound, else NoAudioOutput().
AudioOutput& DefaultAudioOutput();

class SoundPlayer {
  public:
    // Reports through `ui`; plays through `output`, which must outlive the player.
    explicit SoundPlayer(UiPort& ui, AudioOutput& output = DefaultAudioOutput());
    // Closes the open device, if any.
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Opens the WAV file at `path` and starts playing it; returns at once. On a failed open the
    // error is shown and the device id stays as it was; on a failed start the error is shown
    // and the new device is closed. Returns the error code, 0 on success.
    int Play(const std::string& path);
    // Closes the open device, if any. A failed close is shown and keeps the id, so a later Close
    // tries again. Returns the error code, 0 on success.
    int Close();
    // Shows the library's text for a nonzero `code` (at most 256 characters), or "Unknow Error"
    // when it has none, in a message box. Does nothing for 0.
    void ReportError(int code);

    // The device of the last sound; 0 when none is open.
    std::uint32_t deviceId() const { return deviceId_; }

  private:
    UiPort& ui_;
    AudioOutput& output_;
    std::uint32_t deviceId_ = 0;
};

} // namespace varnel
