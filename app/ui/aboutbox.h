#pragma once
// The About box: the program's purpose, its version line and the authors' notes.

#include <QDialog>

#include <memory>

namespace Ui {
class CAboutBox;
}

namespace varnel {

class CAboutBox : public QDialog {
    Q_OBJECT
  public:
    // `appTitle` goes into the caption ("About %s"), `versionLine` under the pictures.
    CAboutBox(const QString& appTitle, const QString& versionLine, QWidget* parent = nullptr);
    ~CAboutBox() override;

  private:
    std::unique_ptr<Ui::CAboutBox> ui;
};

} // namespace varnel
