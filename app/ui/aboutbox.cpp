#include "app/ui/aboutbox.h"

#include "ui_aboutbox.h"

#include <QPushButton>

namespace varnel {

CAboutBox::CAboutBox(const QString& appTitle, const QString& versionLine, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CAboutBox>()) {
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("About %1").arg(appTitle));
    ui->versionLabel->setText(versionLine);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // A dialog without a sizing border, like the rest of the program.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

CAboutBox::~CAboutBox() = default;

} // namespace varnel
