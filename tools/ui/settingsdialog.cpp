#include "tools/ui/settingsdialog.h"

#include "app/efileio.h"
#include "app/iconload.h"
#include "app/ui/text1252.h"
#include "base/format.h"
#include "base/paths.h"

#include "ui_settingsdialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QSettings>
#include <QStyle>

#include <array>

namespace varnel {

namespace {

constexpr std::array<const char*, 3> kSuffixes = {".txt", ".deu", ".fra"};

// The store ids of the edited settings, in the order "USE and SAVE" writes them.
constexpr int kEditorId = 0;
constexpr int kSuffixId = 1;
constexpr int kPg2DirId = 2;
constexpr int kPegDirId = 9;
constexpr int kPg2WavId = 8;
constexpr int kPegWavId = 15;
constexpr int kPg2AltId = 3;
constexpr int kPegAltId = 10;

enum LoadTarget { LoadEFileTarget, LoadTFileTarget, LoadIconsTarget };

QLineEdit* filledOr(QLineEdit* field, QLineEdit* fallback) {
    return field->text().trimmed().isEmpty() ? fallback : field;
}

} // namespace

QString SettingsStoreCaption(const QSettings& store) {
#ifdef Q_OS_WIN
    if (store.format() == QSettings::NativeFormat)
        return QStringLiteral("HKEY_CURRENT_USER \\Software\\%1\\%2")
            .arg(store.organizationName(), store.applicationName());
#endif
    return QDir::toNativeSeparators(store.fileName());
}

CSettingsDialog::CSettingsDialog(CVarnelDoc& doc, const QString& storeCaption, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingsDialog>()), doc_(doc),
      game_(doc.currentGame()) {
    ui->setupUi(this);
    ui->settingsGroupBox->setTitle(Verbatim(storeCaption));

    auto* defaults = new QButtonGroup(this);
    defaults->addButton(ui->pg2DefaultRadioButton);
    defaults->addButton(ui->pegDefaultRadioButton);
    (doc_.settings().defaultEFile == "PG2" ? ui->pg2DefaultRadioButton : ui->pegDefaultRadioButton)
        ->setChecked(true);
    ui->backupsSpinBox->setRange(0, kMaxBackups);
    ui->backupsSpinBox->setValue(doc_.settings().backups);

    for (const char* suffix : kSuffixes)
        ui->suffixComboBox->addItem(QString::fromLatin1(suffix));
    ui->suffixComboBox->model()->sort(0);

    const AppSettings& s = doc_.settings();
    ui->editorLineEdit->setText(FromPath(s.editorPath));
    ui->suffixComboBox->setEditText(FromPath(s.textSuffix));
    ui->pg2DirLineEdit->setText(FromPath(s.dir(Game::Pg2)));
    ui->pegDirLineEdit->setText(FromPath(s.dir(Game::Peg)));
    ui->pg2WavLineEdit->setText(FromPath(s.soundDir(Game::Pg2)));
    ui->pegWavLineEdit->setText(FromPath(s.soundDir(Game::Peg)));
    ui->pg2AltDirLineEdit->setText(FromPath(s.altDir(Game::Pg2)));
    ui->pegAltDirLineEdit->setText(FromPath(s.altDir(Game::Peg)));

    const bool pg2 = game_ == Game::Pg2;
    ui->eFileLineEdit->setText(FromPath(s.eFile(game_)));
    ui->tFileLineEdit->setText(FromPath(s.tFile(game_)));
    ui->iconFileLineEdit->setText(FromPath(s.iconArchive(game_)));
    ui->currentFilesGroupBox->setTitle(pg2 ? QStringLiteral("Current PG2 Files")
                                           : QStringLiteral("Current PeG Files"));
    ui->iconFileLabel->setText(pg2 ? QStringLiteral("PANZER2.dat") : QStringLiteral("MODGEN.dat"));

    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon loadIcon = style()->standardIcon(QStyle::SP_DialogOpenButton);
    for (QToolButton* b :
         {ui->pg2DirButton, ui->pg2AltDirButton, ui->pg2WavButton, ui->pegDirButton,
          ui->pegAltDirButton, ui->pegWavButton, ui->editorButton})
        b->setIcon(folderIcon);
    for (QToolButton* b : {ui->eFileLoadButton, ui->tFileLoadButton, ui->iconFileLoadButton})
        b->setIcon(loadIcon);

    connect(ui->pg2DirButton, &QToolButton::clicked, this, [this] {
        chooseFolder(ui->pg2DirLineEdit, FileKind::Pg2Program, ui->pg2DirLineEdit, "Panzer2.exe");
    });
    // An alternative folder starts from itself once it names one, before that from the game's
    // default folder.
    connect(ui->pg2AltDirButton, &QToolButton::clicked, this, [this] {
        chooseFolder(ui->pg2AltDirLineEdit, FileKind::Pg2Program,
                     filledOr(ui->pg2AltDirLineEdit, ui->pg2DirLineEdit), "Panzer2.exe");
    });
    connect(ui->pg2WavButton, &QToolButton::clicked, this, [this] {
        chooseFolder(ui->pg2WavLineEdit, FileKind::Pg2Sound, ui->pg2WavLineEdit, "1001.wav");
    });
    connect(ui->pegDirButton, &QToolButton::clicked, this, [this] {
        chooseFolder(ui->pegDirLineEdit, FileKind::PegProgram, ui->pegDirLineEdit, "Peoples.exe");
    });
    connect(ui->pegAltDirButton, &QToolButton::clicked, this, [this] {
        chooseFolder(ui->pegAltDirLineEdit, FileKind::PegProgram,
                     filledOr(ui->pegAltDirLineEdit, ui->pegDirLineEdit), "Peoples.exe");
    });
    connect(ui->pegWavButton, &QToolButton::clicked, this, [this] {
        chooseFolder(ui->pegWavLineEdit, FileKind::PegSound, ui->pegWavLineEdit, "1001.wav");
    });
    connect(ui->editorButton, &QToolButton::clicked, this, &CSettingsDialog::chooseEditor);
    for (QLineEdit* folder : {ui->pg2DirLineEdit, ui->pg2AltDirLineEdit, ui->pg2WavLineEdit,
                              ui->pegDirLineEdit, ui->pegAltDirLineEdit, ui->pegWavLineEdit})
        connect(folder, &QLineEdit::editingFinished, this, [this, folder] { closeFolder(folder); });
    connect(ui->eFileLoadButton, &QToolButton::clicked, this,
            [this] { loadFile(ui->eFileLineEdit, EFileKind(game_), LoadEFileTarget); });
    connect(ui->tFileLoadButton, &QToolButton::clicked, this,
            [this] { loadFile(ui->tFileLineEdit, TFileKind(game_), LoadTFileTarget); });
    connect(ui->iconFileLoadButton, &QToolButton::clicked, this,
            [this] { loadFile(ui->iconFileLineEdit, IconArchiveKind(game_), LoadIconsTarget); });
    connect(ui->useAndSaveButton, &QPushButton::clicked, this, &CSettingsDialog::useAndSave);
    connect(ui->useOnlyButton, &QPushButton::clicked, this, &CSettingsDialog::useOnly);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CSettingsDialog::reject);
}

CSettingsDialog::~CSettingsDialog() = default;

void CSettingsDialog::chooseFolder(QLineEdit* target, FileKind kind, QLineEdit* nameFrom,
                                   const char* programName) {
    const std::string name = ToPath(nameFrom->text()) + programName;
    const std::string answer = ChooseFile(
        doc_.ui, doc_.settings(), {.kind = kind, .part = int(PathPart::Folder), .fileName = name});
    if (answer != kNoValue)
        target->setText(FromPath(answer));
}

void CSettingsDialog::chooseEditor() {
    const std::string answer =
        ChooseFile(doc_.ui, doc_.settings(),
                   {.kind = FileKind::Editor, .fileName = ToPath(ui->editorLineEdit->text())});
    if (answer != kNoValue)
        ui->editorLineEdit->setText(FromPath(answer));
}

void CSettingsDialog::closeFolder(QLineEdit* field) {
    const std::string folder = ToPath(field->text());
    const std::string closed = WithTrailingSeparator(folder);
    if (closed != folder)
        field->setText(FromPath(closed));
}

void CSettingsDialog::loadFile(QLineEdit* field, FileKind kind, int which) {
    const std::string current = ToPath(field->text());
    const std::string answer =
        ChooseFile(doc_.ui, doc_.settings(), {.kind = kind, .fileName = current});
    if (answer == kNoValue || answer == current)
        return;
    // A Yes whose save failed cancels the load, as Open does: it would throw the edits away.
    if (which == LoadEFileTarget && !doc_.saveModified())
        return;
    field->setText(FromPath(answer));
    bool loaded = true;
    if (which == LoadEFileTarget) {
        loaded = LoadEFile(doc_, game_, answer);
    } else if (which == LoadTFileTarget) {
        loaded = LoadTFile(doc_, game_, answer) == answer;
    } else {
        loaded = LoadIconArchive(doc_.ui, doc_.settings(), doc_.icons(game_), answer);
    }
    // The loaders said what went wrong; "loaded" would then be untrue.
    if (loaded)
        MessageBox(doc_.ui, "%s loaded", answer.c_str());
    doc_.refreshAllViews();
    doc_.refreshTitle();
}

std::array<CSettingsDialog::Edited, CSettingsDialog::kEditedCount>
CSettingsDialog::editedSettings() const {
    return {{
        {ui->editorLineEdit, [](AppSettings& s) -> std::string& { return s.editorPath; },
         kEditorId},
        {nullptr, [](AppSettings& s) -> std::string& { return s.textSuffix; }, kSuffixId},
        {ui->pg2DirLineEdit, [](AppSettings& s) -> std::string& { return s.dir(Game::Pg2); },
         kPg2DirId},
        {ui->pegDirLineEdit, [](AppSettings& s) -> std::string& { return s.dir(Game::Peg); },
         kPegDirId},
        {ui->pg2WavLineEdit, [](AppSettings& s) -> std::string& { return s.soundDir(Game::Pg2); },
         kPg2WavId},
        {ui->pegWavLineEdit, [](AppSettings& s) -> std::string& { return s.soundDir(Game::Peg); },
         kPegWavId},
        {ui->pg2AltDirLineEdit, [](AppSettings& s) -> std::string& { return s.altDir(Game::Pg2); },
         kPg2AltId},
        {ui->pegAltDirLineEdit, [](AppSettings& s) -> std::string& { return s.altDir(Game::Peg); },
         kPegAltId},
    }};
}

std::string CSettingsDialog::fieldText(const Edited& e) const {
    return ToPath(e.field ? e.field->text() : ui->suffixComboBox->currentText());
}

void CSettingsDialog::useAndSave() {
    doc_.settings().defaultEFile = ui->pg2DefaultRadioButton->isChecked() ? "PG2" : "PeG";
    if (ui->backupsSpinBox->value() != doc_.settings().backups) {
        doc_.settings().backups = ui->backupsSpinBox->value();
        doc_.store.write(kBackupsName, std::to_string(doc_.settings().backups));
    }
    const std::array<Edited, kEditedCount> edited = editedSettings();
    for (const Edited& e : edited) {
        const std::string value = fieldText(e);
        if (value != e.value(doc_.settings())) {
            e.value(doc_.settings()) = value;
            WriteSetting(doc_.store, e.id, value);
        }
    }
    accept();
}

void CSettingsDialog::useOnly() {
    const std::array<Edited, kEditedCount> edited = editedSettings();
    for (const Edited& e : edited)
        e.value(doc_.settings()) = fieldText(e);
    doc_.settings().backups = ui->backupsSpinBox->value();
    accept();
}

} // namespace varnel
