#pragma once
// The external text editor: the program never edits text files itself, it starts the editor
// program of the "Editor" setting on them and neither waits for it nor watches it.

#include <string>

namespace varnel {

class CVarnelDoc;

// Starts the editor on `path` through the Ui port, the path as one argument. When the configured
// editor is missing, ChooseEditor runs first; if there is still none, nothing happens and nothing
// is said. A start that fails shows "Invocado:\n%s\nRetornado = %d" with the command line
// "\"editor\" \"path\"" and 0.
void OpenInEditor(CVarnelDoc& state, const std::string& path);

// Asks for the editor program. Cancel: nothing changes. A missing file: "Error !\n%snot found%s not
// changed" with the answer and the current editor. Otherwise it becomes the editor until the
// program ends, and on Yes to "Do you want to save in the registry\nthe selected text editor ?"
// it is stored as setting 0.
void ChooseEditor(CVarnelDoc& state);

// The "Edit Text File" command: asks for a text file ("Select TXT file to edit") and opens it in
// the editor; a missing file gives "Error !\n%snot found".
void EditTextFile(CVarnelDoc& state);

} // namespace varnel
