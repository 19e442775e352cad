#pragma once
// Shared helpers of the editor's Qt Test programs: a scripted Ui port that fails the running
// Qt test, a temporary folder with the sample game folders and an INI settings file, and the
// editor started on them.

#include "app/ui/varnelapp.h"
#include "tests/support/scriptedui.h"

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>

#include <map>
#include <memory>
#include <string>

namespace varnel::guitest {

// A ScriptedUi whose failures fail the current Qt test.
std::unique_ptr<ScriptedUi> MakeQtScriptedUi();

// Runs `check` on the next modal dialog as soon as it is shown; `check` closes it (a dialog that
// is still open afterwards is rejected, so a failed check cannot hang the test).
void WhenModal(std::function<void(QWidget*)> check);

// The text a check box, button or group box shows for its `text`, read as Qt reads it: "&&" is
// one "&", a lone "&" only marks the shortcut letter after it.
QString ShownText(const QString& text);

// A temporary folder holding pg2/ and peg/ sample game folders and a settings file.
class Workspace {
  public:
    Workspace();
    bool ok() const { return ok_; }
    QString dir() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.filePath(relative); }
    std::string path(const QString& relative) const;
    QString pg2EFile() const { return file(QStringLiteral("pg2/EQUIP97.EQP")); }
    QString pegEFile() const { return file(QStringLiteral("peg/EQUIP97.EQP")); }
    QString settingsFile() const { return file(QStringLiteral("settings.ini")); }
    // Stores `value` under `name` in the group "Settings" of the settings file before start-up.
    void presetSetting(const QString& name, const QString& value);

  private:
    QTemporaryDir dir_;
    bool ok_ = false;
};

// What stands in the frame's central area.
enum class Forms {
    None,        // no factory: the area stays empty
    Placeholder, // plain widgets named pg2Form / pegForm
    Real,        // CView2 and CView3
};

// The editor started with the workspace's settings file and a scripted Ui port; the window is
// shown and active.
class Editor {
  public:
    // `prepare`, when given, runs before the start-up (prompts expected then, a journal folder).
    using Prepare = std::function<void(ScriptedUi&, CVarnelApp&)>;
    explicit Editor(Workspace& workspace, Forms forms = Forms::Placeholder,
                    const std::optional<std::string>& file = std::nullopt,
                    const Prepare& prepare = {});
    ~Editor();
    bool started() const { return started_; }
    ScriptedUi& ui() { return *ui_; }
    CVarnelApp& app() { return *app_; }
    CVarnelDoc& doc() { return *app_->doc(); }
    CMainFrame& frame() { return *app_->frame(); }
    QAction* action(const char* objectName);

  private:
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<CVarnelApp> app_;
    bool started_ = false;
};

} // namespace varnel::guitest
