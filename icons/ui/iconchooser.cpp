#include "icons/ui/iconchooser.h"

#include "base/format.h"
#include "base/paths.h"
#include "equip/unitfilter.h"
#include "icons/iconformat.h"
#include "icons/ui/qimagepainter.h"
#include "views/viewtext.h"

#include "ui_iconchooser.h"

#include <QPixmap>

#include <algorithm>

namespace varnel {

namespace {

bool startsWithFolded(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size())
        return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return FoldCase1252(static_cast<unsigned char>(a)) ==
               FoldCase1252(static_cast<unsigned char>(b));
    });
}

} // namespace

CIconChooser::CIconChooser(IconArchive& archive, const std::string& archivePath,
                           const std::string& name, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::IconChooser>()), archive_(archive), name_(name),
      image_(kChooserIconOriginX + iconfile::kFrameWidth,
             kChooserIconOriginY + iconfile::kFrameHeight, QImage::Format_RGB32) {
    ui->setupUi(this);
    ui->iconLabel->setFixedSize(image_.size());

    const std::vector<std::string> keys = archive_.keys();
    int selected = 0;
    bool matched = false;
    ui->iconListWidget->clear();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ui->iconListWidget->addItem(viewtext::toQString(keys[i]));
        if (!matched && startsWithFolded(keys[i], name)) {
            selected = static_cast<int>(i);
            matched = true;
        }
    }
    ui->selectionLabel->setText(QStringLiteral("Select an icon and press OK"));
    const std::string fileName = GetPathPart(archivePath, PathPart::NameExtension);
    ui->fileLabel->setText(viewtext::toQString(
        Format("%d Icons in %s", static_cast<int>(archive_.keyCount()), fileName.c_str())));
    if (!keys.empty())
        ui->iconListWidget->setCurrentRow(selected);

    connect(ui->iconListWidget, &QListWidget::currentRowChanged, this,
            [this](int) { showSelection(); });
    connect(ui->prevViewButton, &QPushButton::clicked, this, [this] { changeView(false); });
    connect(ui->nextViewButton, &QPushButton::clicked, this, [this] { changeView(true); });
    connect(ui->okButton, &QPushButton::clicked, this, &CIconChooser::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CIconChooser::reject);
    showSelection();
    ui->iconListWidget->setFocus();
}

CIconChooser::~CIconChooser() = default;

void CIconChooser::showSelection() {
    image_.fill(palette().color(QPalette::Window));
    QImagePainter painter(image_);
    archive_.SetOrigin(kChooserIconOriginX, kChooserIconOriginY);
    const int row = ui->iconListWidget->currentRow();
    if (row >= 0) {
        const auto key = viewtext::toBytes(ui->iconListWidget->item(row)->text());
        archive_.ShowIcon(painter, key.value_or(std::string()));
    } else {
        // Nothing to select: the empty frame alone.
        archive_.DrawFrame(painter);
    }
    ui->iconLabel->setPixmap(QPixmap::fromImage(image_));
    ui->sizeLabel->setText(viewtext::toQString(Format(
        "Size (%d x %d) View:%d", archive_.lastWidth(), archive_.lastHeight(), archive_.view())));
}

void CIconChooser::changeView(bool next) {
    if (next)
        archive_.NextView();
    else
        archive_.PreviousView();
    showSelection();
    ui->iconListWidget->setFocus();
}

void CIconChooser::accept() {
    const int row = ui->iconListWidget->currentRow();
    if (row >= 0) {
        if (const auto key = viewtext::toBytes(ui->iconListWidget->item(row)->text()))
            name_ = *key;
    }
    QDialog::accept();
}

} // namespace varnel
