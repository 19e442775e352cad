#pragma once
// The Ui port of varnel-cli: information goes to stdout, errors and questions to stderr.
// The commands fill their requests from options, so nothing is answered here by matching a text:
// a question that still comes gets the default answer, and a file dialog is reported on stderr
// and counts as cancelled.

#include "base/uiport.h"

#include <ostream>
#include <utility>

namespace varnel {

class BatchUi : public UiPort {
  public:
    BatchUi(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void setDefaultAnswer(bool answer) { defaultAnswer_ = answer; }

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
    bool defaultAnswer_ = false;
    int errors_ = 0;
    int unanswered_ = 0;
};

} // namespace varnel
