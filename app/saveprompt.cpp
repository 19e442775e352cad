#include "app/saveprompt.h"

#include "app/appstate.h"
#include "equip/efile.h"

namespace varnel {

namespace {
constexpr const char* kSaveQuestion = "%s\nIS modified\n ¿ Save changes ?";
}

void RunSavePrompt(AppState& state) {
    AppSettings& s = state.settings;
    if (state.flags.pg2Data && QuestionBox(state.ui, kSaveQuestion, s.pg2EFile.c_str()))
        SavePg2EFile(state, s.pg2EFile);
    if (state.flags.pegData && QuestionBox(state.ui, kSaveQuestion, s.pegEFile.c_str()))
        SavePegEFile(state, s.pegEFile);
    if (state.flags.pg2Names && QuestionBox(state.ui, kSaveQuestion, s.pg2NamesEFile.c_str()))
        SavePg2Names(state);
    if (state.flags.pegNames && QuestionBox(state.ui, kSaveQuestion, s.pegNamesEFile.c_str()))
        SavePegNames(state);
}

} // namespace varnel
