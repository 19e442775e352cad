#include "tools/editor.h"

#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

using Call = std::vector<std::string>;

class EditorTest : public ::testing::Test {
  protected:
    EditorTest() {
        editor = dir.file("bin/my editor");
        std::filesystem::create_directories(dir.path() / "bin");
        test::WriteFile(editor, std::string("#!/bin/sh\n"));
        state.settings().editorPath = editor;
        state.settings().textSuffix = ".txt";
        state.settings().dir(Game::Peg) = dir.dir();
        state.settings().tFile(Game::Peg) = dir.file("GUI97.txt");
    }

    std::unique_ptr<ScriptedUi> ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc state{*ui, store};
    test::TempDir dir;
    std::string editor;
};

TEST_F(EditorTest, PathWithBlanksIsOneArgument) {
    std::filesystem::create_directories(dir.path() / "My Files");
    const std::string file = dir.file("My Files/a b.txt");
    test::WriteFile(file, std::string("x"));
    ui->expectStart(editor);
    OpenInEditor(state, file);
    EXPECT_EQ(ui->starts(), (std::vector<Call>{{editor, file}}));
}

TEST_F(EditorTest, FailedStartShowsTheCommandLine) {
    const std::string file = dir.file("report.txt");
    ui->expectStart(editor, false)
        .expectInformation("Invocado:\n\"" + editor + "\" \"" + file + "\"\nRetornado = 0");
    OpenInEditor(state, file);
}

TEST_F(EditorTest, MissingEditorAndCancelledChooserStartNothing) {
    state.settings().editorPath = dir.file("no such editor");
    const std::string file = dir.file("GUI97.txt");
    test::WriteFile(file, std::string("Germany\r\n"));
    ui->expectFileDialog("Select TXT file to edit", file)
        .expectFileDialog("Select EDITOR", std::nullopt);
    EditTextFile(state);
    EXPECT_TRUE(ui->starts().empty());
    EXPECT_EQ(state.settings().editorPath, dir.file("no such editor"));
    EXPECT_TRUE(store.values().empty());
}

TEST_F(EditorTest, EditTextFileAsksWithItsOwnPresets) {
    const std::string file = dir.file("GUI97.txt");
    test::WriteFile(file, std::string("Germany\r\n"));
    ui->expectFileDialog("Select TXT file to edit", file).expectStart(editor);
    EditTextFile(state);
    ASSERT_EQ(ui->fileRequests().size(), 1u);
    const auto& r = ui->fileRequests()[0];
    EXPECT_TRUE(r.open);
    EXPECT_EQ(r.filter, "TXT files (*.txt)|*.txt|");
    EXPECT_EQ(r.defaultExtension, ".TXT");
    // No name given: the dialog starts at the PeG T-File.
    EXPECT_EQ(r.initialName, file);
    EXPECT_EQ(ui->starts(), (std::vector<Call>{{editor, file}}));
}

TEST_F(EditorTest, EditTextFileRefusesAMissingFile) {
    const std::string file = dir.file("typed.txt");
    ui->expectFileDialog("Select TXT file to edit", file)
        .expectInformation("Error !\n" + file + "not found");
    EditTextFile(state);
    EXPECT_TRUE(ui->starts().empty());
}

TEST_F(EditorTest, EditTextFileCancelledDoesNothing) {
    ui->expectFileDialog("Select TXT file to edit", std::nullopt);
    EditTextFile(state);
    EXPECT_TRUE(ui->starts().empty());
}

TEST_F(EditorTest, ChooserRefusesAMissingProgram) {
    const std::string typed = dir.file("typo");
    ui->expectFileDialog("Select EDITOR", typed)
        .expectInformation("Error !\n" + typed + "not found" + editor + " not changed");
    ChooseEditor(state);
    EXPECT_EQ(state.settings().editorPath, editor);
    EXPECT_TRUE(store.values().empty());
}

TEST_F(EditorTest, ChooserStartsAtTheCurrentEditor) {
    ui->expectFileDialog("Select EDITOR", std::nullopt);
    ChooseEditor(state);
    ASSERT_EQ(ui->fileRequests().size(), 1u);
    EXPECT_EQ(ui->fileRequests()[0].initialName, editor);
}

struct StoreCase {
    const char* name;
    bool answer;
};

void PrintTo(const StoreCase& c, std::ostream* os) {
    *os << c.name;
}

class StoringQuestion : public EditorTest, public ::testing::WithParamInterface<StoreCase> {};

TEST_P(StoringQuestion, NewEditorLastsAndIsStoredOnlyOnYes) {
    store.write("Editor", "C:\\WINDOWS\\NOTEPAD.EXE");
    const std::string chosen = dir.file("other editor");
    test::WriteFile(chosen, std::string("#!/bin/sh\n"));
    ui->expectFileDialog("Select EDITOR", chosen)
        .expectQuestion("Do you want to save in the registry\nthe selected text editor ?",
                        GetParam().answer);
    ChooseEditor(state);
    EXPECT_EQ(state.settings().editorPath, chosen);
    EXPECT_EQ(store.values().at("Editor"),
              GetParam().answer ? chosen : std::string("C:\\WINDOWS\\NOTEPAD.EXE"));
}

INSTANTIATE_TEST_SUITE_P(Answers, StoringQuestion,
                         ::testing::Values(StoreCase{"Yes", true}, StoreCase{"No", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, MissingEditorIsReplacedBeforeTheStart) {
    state.settings().editorPath = dir.file("gone");
    const std::string file = dir.file("report.txt");
    ui->expectFileDialog("Select EDITOR", editor)
        .expectQuestion("Do you want to save in the registry\nthe selected text editor ?", false)
        .expectStart(editor);
    OpenInEditor(state, file);
    EXPECT_EQ(ui->starts(), (std::vector<Call>{{editor, file}}));
}

} // namespace
} // namespace varnel
