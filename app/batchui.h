#pragma once
// The Ui port of varnel-cli: information goes to stdout, errors and questions to stderr.
// Questions are answered by rules set from the command's options (a text prefix and the answer),
// otherwise with the default answer. File dialogs cannot be answered in batch: they are reported
// on stderr and count as cancelled, and the command is expected to stop.

#include "tools/uiport.h"

#include <ostream>
#include <utility>

namespace varnel {

class BatchUi : public UiPort {
  public:
    BatchUi(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // Questions whose text starts with `prefix` get `answer`.
    void answerQuestions(std::string prefix, bool answer);
    void setDefaultAnswer(bool answer) { defaultAnswer_ = answer; }
    // Paths handed to the file dialogs with this title, in order, instead of cancelling.
    void answerFileDialog(std::string title, std::string path);

    void information(const std::string& text) override;
    bool question(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    void setBusy(bool) override {}
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;

    // Errors and unanswered file dialogs seen so far.
    int errorCount() const { return errors_; }
    int unansweredDialogs() const { return unanswered_; }

  private:
    std::ostream& out_;
    std::ostream& err_;
    std::vector<std::pair<std::string, bool>> rules_;
    std::vector<std::pair<std::string, std::string>> files_;
    bool defaultAnswer_ = false;
    int errors_ = 0;
    int unanswered_ = 0;
};

} // namespace varnel
