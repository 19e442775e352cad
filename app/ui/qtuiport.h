#pragma once
// The editor's Ui port: Qt message boxes captioned "Varnel", Qt file dialogs, the override
// cursor and QProcess for the external editor.

#include "base/uiport.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace varnel {

// The file dialog filter of a request: "Description (pattern)" from "Description|pattern|".
// A description that already ends in a parenthesised pattern has it replaced by the real one;
// each pattern is offered in lower and upper case too, because game folders copied from Windows
// have any letter case. An empty filter gives an empty text (every file).
QString QtFileFilter(const std::string& filter);

// The path a file dialog returns for `chosen` (what the user picked or typed): the default
// extension (with its dot) is added when the last component has none and no file of the typed
// name exists.
QString WithDefaultExtension(const QString& chosen, const std::string& defaultExtension);

class QtUiPort : public UiPort {
  public:
    explicit QtUiPort(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtUiPort() override;

    // The window the boxes and dialogs belong to.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void information(const std::string& text) override;
    bool question(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> askText(const std::string& label, const std::string& initial,
                                       const std::vector<std::string>& items = {}) override;
    void setBusy(bool busy) override;
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;

  private:
    QWidget* parentWidget() const;
    QPointer<QWidget> parent_;
    int busyDepth_ = 0;
};

} // namespace varnel
