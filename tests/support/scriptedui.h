#pragma once
// The Ui port of the tests: every prompt the code under test may show is listed beforehand, in
// order, with its exact text and answer. An unexpected prompt, a prompt with another text, or a
// listed prompt that never came is reported through the failure callback.

#include "base/uiport.h"

#include <deque>
#include <functional>

namespace varnel {

class ScriptedUi : public UiPort {
  public:
    enum class Kind { Information, Question, Error, FileDialog, Start, Text };

    using FailureHandler = std::function<void(const std::string&)>;
    explicit ScriptedUi(FailureHandler onFailure);
    // Reports the prompts that were expected and never shown.
    ~ScriptedUi() override;

    ScriptedUi& expectInformation(std::string text);
    ScriptedUi& expectQuestion(std::string text, bool answer);
    ScriptedUi& expectError(std::string text);
    // A file dialog with this title; `answer` is the chosen path, nothing for Cancel.
    ScriptedUi& expectFileDialog(std::string title, std::optional<std::string> answer);
    // A text asked for with this label; `answer` is what is typed, nothing for Cancel.
    ScriptedUi& expectText(std::string label, std::optional<std::string> answer);
    // A process start of `program`; `succeeds` is what the start reports.
    ScriptedUi& expectStart(std::string program, bool succeeds = true);

    void information(const std::string& text) override;
    bool question(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> askText(const std::string& label, const std::string& initial,
                                       const std::vector<std::string>& items = {}) override;
    void setBusy(bool busy) override;
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;

    // Every file dialog request shown, in order, for checks of its presets.
    const std::vector<FileDialogRequest>& fileRequests() const { return fileRequests_; }
    // The items offered by each text asked for (empty for a plain line of text), in order.
    const std::vector<std::vector<std::string>>& textItems() const { return textItems_; }
    // Every process start, program first.
    const std::vector<std::vector<std::string>>& starts() const { return starts_; }
    bool busy() const { return busyDepth_ > 0; }
    // True when every expected prompt has been shown.
    bool finished() const { return expected_.empty(); }
    // Reports the remaining expectations now and forgets them.
    void verify();

  private:
    struct Expectation {
        Kind kind;
        std::string text;
        bool answer = false;
        std::optional<std::string> file;
    };
    const Expectation* take(Kind kind, const std::string& text);

    FailureHandler onFailure_;
    std::deque<Expectation> expected_;
    Expectation current_;
    std::vector<FileDialogRequest> fileRequests_;
    std::vector<std::vector<std::string>> starts_;
    std::vector<std::vector<std::string>> textItems_;
    int busyDepth_ = 0;
};

const char* KindName(ScriptedUi::Kind kind);

} // namespace varnel
