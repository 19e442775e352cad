#pragma once
// A Ui port for the benchmarks: shows nothing, answers No and cancels every file dialog. The
// measured files are consistent, so no prompt is expected on the measured path.

#include "app/uiport.h"

namespace varnel {

class SilentUi : public UiPort {
public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
    void error(const std::string&) override {}
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
};

} // namespace varnel
