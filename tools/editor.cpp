#include "tools/editor.h"

#include "app/filekind.h"
#include "app/varneldoc.h"
#include "base/format.h"
#include "base/paths.h"

namespace varnel {

namespace {
constexpr int kEditorSettingId = static_cast<int>(FileKind::Editor);
constexpr int kStartFailedResult = 0;
} // namespace

void OpenInEditor(CVarnelDoc& state, const std::string& path) {
    if (!FileExists(state.settings().editorPath)) {
        ChooseEditor(state);
        if (!FileExists(state.settings().editorPath))
            return;
    }
    // Folders copied from Windows may differ in letter case from the names the settings hold:
    // hand the spellings that exist to the new process.
    const std::string program = ResolvePath(state.settings().editorPath);
    const std::string file = ResolvePath(path);
    if (state.ui.startDetached(program, {file}))
        return;
    const std::string commandLine = Format("\"%s\" \"%s\"", program.c_str(), file.c_str());
    MessageBox(state.ui, "Invocado:\n%s\nRetornado = %d", commandLine.c_str(), kStartFailedResult);
}

void ChooseEditor(CVarnelDoc& state) {
    const std::string answer = ChooseFile(state.ui, state.settings(), FileKind::Editor);
    if (answer == kNoValue)
        return;
    if (!FileExists(answer)) {
        MessageBox(state.ui, "Error !\n%snot found%s not changed", answer.c_str(),
                   state.settings().editorPath.c_str());
        return;
    }
    state.settings().editorPath = answer;
    if (QuestionBox(state.ui, "Do you want to save in the registry\nthe selected text editor ?"))
        WriteSetting(state.store, kEditorSettingId, answer);
}

void EditTextFile(CVarnelDoc& state) {
    const std::string answer = ChooseFile(state.ui, state.settings(),
                                          {.kind = FileKind::PegTFile,
                                           .title = "Select TXT file to edit",
                                           .defaultExtension = ".TXT",
                                           .fileName = "",
                                           .filter = "TXT files (*.txt)|*.txt|"});
    if (answer == kNoValue)
        return;
    if (!FileExists(answer)) {
        MessageBox(state.ui, "Error !\n%snot found", answer.c_str());
        return;
    }
    OpenInEditor(state, answer);
}

} // namespace varnel
