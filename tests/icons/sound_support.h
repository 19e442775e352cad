#pragma once
// Helpers of the sound tests: SDL's disk audio driver writing into a temporary file, a Ui port
// that records messages, and an audio output whose steps can be made to fail.

#include "base/uiport.h"
#include "icons/soundplayer.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace varnel::test {

// Records every message instead of asking anybody.
class RecordingUi : public UiPort {
  public:
    std::vector<std::string> messages;
    void information(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string& text) override {
        messages.push_back(text);
        return false;
    }
    void error(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override { return {}; }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
};

// An audio output that logs its calls ("open PATH", "play 1", "close 1") and fails a step when
// told to, with the text given.
class FakeAudioOutput : public AudioOutput {
  public:
    int openResult = kSoundOk;
    int playResult = kSoundOk;
    int closeResult = kSoundOk;
    std::string failureText;
    std::vector<std::string> calls;

    int open(const std::string& path, std::uint32_t& device) override;
    int play(std::uint32_t device) override;
    int close(std::uint32_t device) override;
    std::string errorText(int code) const override;

  private:
    std::uint32_t nextDevice_ = 1;
    int lastFailure_ = kSoundOk;
};

// SDL's disk driver writing into a fresh temporary file for each test.
class DiskAudioTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    // Waits (at most a few seconds) until the device has taken every queued sample.
    static bool WaitUntilDrained(std::uint32_t device);
    // What the device wrote so far.
    Bytes output() const { return ReadFile(outputFile_); }

    TempDir dir_;
    std::string outputFile_;
};

// A recognisable sound: no sample is silent.
std::vector<std::int16_t> RampSamples(std::size_t count);
// True when `needle` occurs as one run inside `haystack`.
bool Contains(const Bytes& haystack, const Bytes& needle);

} // namespace varnel::test
