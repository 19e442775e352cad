#pragma once
// The document's save-modified prompt: before data is discarded (a new document, an open, the
// conversion, the end of the program) every file with unsaved changes is offered for saving.

namespace varnel {

struct AppState;

// Asks "%s\nIS modified\n ¿ Save changes ?" once per set change flag, in the order PG2 data, PeG
// data, PG2 names, PeG names, with that file's current path, and saves the file on Yes
// (SavePg2EFile, SavePegEFile, SavePg2Names, SavePegNames). A No leaves its flag set; the prompt
// never cancels the action that called it. Nothing is asked when no flag is set.
void RunSavePrompt(AppState& state);

} // namespace varnel
