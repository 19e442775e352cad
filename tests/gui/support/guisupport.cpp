#include "tests/gui/support/guisupport.h"

#include "app/samples/samples.h"
#include "app/ui/text1252.h"
#include "views/unitviewfactory.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace varnel::guitest {

std::unique_ptr<ScriptedUi> MakeQtScriptedUi() {
    return std::make_unique<ScriptedUi>(
        [](const std::string& message) { QTest::qFail(message.c_str(), __FILE__, __LINE__); });
}

void WhenModal(std::function<void(QWidget*)> check) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            check(w);
            if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
                dialog->reject();
        }
    });
    timer->start();
}

QString ShownText(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text.at(i);
    }
    return shown;
}

Workspace::Workspace() {
    std::string error;
    ok_ = dir_.isValid() && WriteSampleGameFolders(ToPath(dir_.path()), error);
    if (!ok_)
        qWarning("sample folders not written: %s", error.c_str());
}

std::string Workspace::path(const QString& relative) const {
    return ToPath(file(relative));
}

void Workspace::presetSetting(const QString& name, const QString& value) {
    QSettings ini(settingsFile(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Settings/") + name, value);
    ini.sync();
}

Editor::Editor(Workspace& workspace, Forms forms, const std::optional<std::string>& file,
               const Prepare& prepare)
    : ui_(MakeQtScriptedUi()), app_(std::make_unique<CVarnelApp>()) {
    if (prepare)
        prepare(*ui_, *app_);
    if (forms == Forms::Real) {
        app_->setFormFactory(MakeUnitView);
        app_->setTableFactory(MakeUnitTable);
    }
    if (forms == Forms::Placeholder) {
        app_->setFormFactory([](CMainFrame&, CVarnelDoc&, Game game) -> QWidget* {
            auto* form = new QLabel(game == Game::Pg2 ? QStringLiteral("PG2 form")
                                                      : QStringLiteral("PeG form"));
            form->setObjectName(game == Game::Pg2 ? QStringLiteral("pg2Form")
                                                  : QStringLiteral("pegForm"));
            form->setMinimumSize(600, 400);
            return form;
        });
    }
    CommandLine commandLine;
    commandLine.settingsFile = ToPath(workspace.settingsFile());
    commandLine.file = file;
    started_ = app_->initInstance(commandLine, ui_.get());
    if (started_) {
        frame().activateWindow();
        started_ = QTest::qWaitForWindowActive(&frame());
    }
}

Editor::~Editor() {
    // Closing the window is part of what a test checks; the rest is cleared without asking.
    if (CVarnelDoc* doc = app_->doc())
        for (Game g : {Game::Pg2, Game::Peg})
            for (ChangeKind kind : {ChangeKind::Data, ChangeKind::Names})
                doc->markSaved(g, kind);
    app_.reset();
    ui_->verify();
}

QAction* Editor::action(const char* objectName) {
    return frame().findChild<QAction*>(QLatin1String(objectName));
}

} // namespace varnel::guitest
