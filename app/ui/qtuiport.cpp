#include "app/ui/qtuiport.h"

#include "app/ui/text1252.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace varnel {

namespace {
const QString kCaption = QStringLiteral("Varnel");
} // namespace

QString QtFileFilter(const std::string& filter) {
    const QStringList fields = FromPath(filter).split(QLatin1Char('|'));
    if (fields.size() < 2 || fields.at(1).trimmed().isEmpty())
        return {};
    QString description = fields.at(0).trimmed();
    // "PG2 EQUIP97 Files (*.EQP)" names its pattern already; the real one takes its place.
    if (description.endsWith(QLatin1Char(')'))) {
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0)
            description = description.left(open).trimmed();
    }
    QStringList patterns;
    QSet<QString> seen;
    auto add = [&](const QString& p) {
        if (!p.isEmpty() && !seen.contains(p)) {
            seen.insert(p);
            patterns.append(p);
        }
    };
    for (const QString& p : fields.at(1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        add(p.trimmed());
        add(p.trimmed().toLower());
        add(p.trimmed().toUpper());
    }
    if (description.isEmpty())
        return patterns.join(QLatin1Char(' '));
    return QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
}

QString WithDefaultExtension(const QString& chosen, const std::string& defaultExtension) {
    if (defaultExtension.empty() || chosen.isEmpty())
        return chosen;
    const QFileInfo info(chosen);
    if (info.fileName().contains(QLatin1Char('.')) || info.exists())
        return chosen;
    QString extension = FromPath(defaultExtension);
    if (!extension.startsWith(QLatin1Char('.')))
        extension.prepend(QLatin1Char('.'));
    return chosen + extension;
}

QtUiPort::~QtUiPort() {
    // A command cut short must not leave the busy cursor behind.
    while (busyDepth_-- > 0)
        QApplication::restoreOverrideCursor();
}

QWidget* QtUiPort::parentWidget() const {
    if (parent_)
        return parent_;
    return QApplication::activeWindow();
}

namespace {
// A message names units, countries and files: it is shown as plain text, so a name that looks
// like markup ("<late>") is not swallowed.
QMessageBox::StandardButton showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, kCaption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
} // namespace

void QtUiPort::information(const std::string& text) {
    showBox(parentWidget(), QMessageBox::Information, FromMessage(text), QMessageBox::Ok,
            QMessageBox::Ok);
}

bool QtUiPort::question(const std::string& text) {
    return showBox(parentWidget(), QMessageBox::Question, FromMessage(text),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void QtUiPort::error(const std::string& text) {
    showBox(parentWidget(), QMessageBox::Critical, FromMessage(text), QMessageBox::Ok,
            QMessageBox::Ok);
}

std::optional<std::string> QtUiPort::askText(const std::string& label, const std::string& initial,
                                             const std::vector<std::string>& items) {
    bool ok = false;
    QString text;
    if (items.empty()) {
        text = QInputDialog::getText(parentWidget(), QStringLiteral("Varnel"), FromMessage(label),
                                     QLineEdit::Normal, FromWindows1252(initial), &ok);
    } else {
        QStringList list;
        for (const std::string& item : items)
            list.append(FromWindows1252(item));
        const auto at = std::find(items.begin(), items.end(), initial);
        const int current = at == items.end() ? 0 : static_cast<int>(at - items.begin());
        text = QInputDialog::getItem(parentWidget(), QStringLiteral("Varnel"), FromMessage(label),
                                     list, current, false, &ok);
    }
    if (!ok)
        return std::nullopt;
    std::optional<std::string> bytes = ToWindows1252(text);
    if (!bytes)
        error(Windows1252Refusal(text).toStdString());
    return bytes;
}

std::optional<std::string> QtUiPort::fileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(parentWidget(), FromMessage(request.title));
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Callers check that the file exists and say so themselves.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString filter = QtFileFilter(request.filter);
    if (!filter.isEmpty())
        dialog.setNameFilter(filter);
    if (!request.open && !request.defaultExtension.empty()) {
        // The dialog adds it before it asks about overwriting, so the question names the file
        // that will be written.
        QString suffix = FromPath(request.defaultExtension);
        if (suffix.startsWith(QLatin1Char('.')))
            suffix.remove(0, 1);
        dialog.setDefaultSuffix(suffix);
    }
    const QString folder = FromPath(request.initialFolder);
    const bool folderExists = !folder.isEmpty() && QFileInfo(folder).isDir();
    if (folderExists)
        dialog.setDirectory(folder);
    const QString name = FromPath(request.initialName);
    if (!name.isEmpty() && !name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        // The name field shows the file name; a folder that does not exist (a default for a game
        // that is not installed) is left out, and the dialog opens where it would anyway.
        const QFileInfo info(name);
        const bool ownFolderExists = info.isAbsolute() && info.absoluteDir().exists();
        dialog.selectFile(folderExists || !ownFolderExists ? info.fileName() : name);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    QString chosen = files.first();
    if (request.open)
        chosen = WithDefaultExtension(chosen, request.defaultExtension);
    return ToPath(QDir::toNativeSeparators(chosen));
}

void QtUiPort::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

bool QtUiPort::startDetached(const std::string& program,
                             const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments)
        args.append(FromPath(a));
    return QProcess::startDetached(FromPath(program), args);
}

} // namespace varnel
