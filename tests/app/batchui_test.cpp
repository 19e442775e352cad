#include "app/batchui.h"
#include "tests/support/scriptedui.h"

#include <gtest/gtest.h>

#include <sstream>

namespace varnel {
namespace {

struct Recorder {
    std::vector<std::string> failures;
    ScriptedUi::FailureHandler handler() {
        return [this](const std::string& m) { failures.push_back(m); };
    }
};

TEST(MessageHelpers, FormatPrintfStyleAndCutAt512) {
    Recorder rec;
    ScriptedUi ui(rec.handler());
    ui.expectInformation("File C:\\A.EQP updated")
        .expectQuestion("Are you sure to delete ItemCode: 7", true)
        .expectError("Error on creating [x]")
        .expectInformation(std::string(512, 'a'));
    MessageBox(ui, "File %s updated", "C:\\A.EQP");
    EXPECT_TRUE(QuestionBox(ui, "Are you sure to delete ItemCode: %d", 7));
    ErrorBox(ui, "Error on creating [%s]", "x");
    const std::string longText(2000, 'a');
    MessageBox(ui, "%s", longText.c_str());
    EXPECT_TRUE(ui.finished());
    EXPECT_TRUE(rec.failures.empty());
}

TEST(ScriptedUi, ReportsUnexpectedWrongAndMissingPrompts) {
    Recorder rec;
    {
        ScriptedUi ui(rec.handler());
        ui.expectQuestion("Save?", true).expectInformation("never shown");
        EXPECT_FALSE(ui.question("Something else?")); // wrong text: answered No, reported
        ui.error("unexpected");                       // a prompt of another kind
    }
    ASSERT_EQ(rec.failures.size(), 2u);
    EXPECT_NE(rec.failures[0].find("Something else?"), std::string::npos);
    EXPECT_NE(rec.failures[1].find("never shown"), std::string::npos) << rec.failures[1];
    rec.failures.clear();
    {
        ScriptedUi ui(rec.handler());
        ui.information("nobody expected this");
    }
    EXPECT_EQ(rec.failures.size(), 1u);
}

TEST(ScriptedUi, AnswersFileDialogsAndStartsInOrder) {
    Recorder rec;
    ScriptedUi ui(rec.handler());
    ui.expectFileDialog("Open", std::string("a.txt"))
        .expectFileDialog("Open", std::nullopt)
        .expectStart("editor", false);
    FileDialogRequest r;
    r.title = "Open";
    EXPECT_EQ(ui.fileDialog(r), "a.txt");
    EXPECT_EQ(ui.fileDialog(r), std::nullopt);
    EXPECT_FALSE(ui.startDetached("editor", {"C:\\My Files\\a.txt"}));
    ASSERT_EQ(ui.starts().size(), 1u);
    EXPECT_EQ(ui.starts()[0], (std::vector<std::string>{"editor", "C:\\My Files\\a.txt"}));
    {
        BusyCursor busy(ui);
        EXPECT_TRUE(ui.busy());
    }
    EXPECT_FALSE(ui.busy());
    EXPECT_TRUE(rec.failures.empty());
}

TEST(BatchUi, PrintsInformationOnStdoutAndAnswersWithTheDefault) {
    std::ostringstream out, err;
    BatchUi ui(out, err);
    MessageBox(ui, "%d Units modified", 3);
    EXPECT_FALSE(QuestionBox(ui, "Other question"));
    ui.setDefaultAnswer(true);
    EXPECT_TRUE(QuestionBox(ui, "Warning!\nUnit %d \nhas Code=%d", 5, 9));
    ErrorBox(ui, "Error on creating [%s]", "out.txt");
    FileDialogRequest r;
    r.title = "Select PG2 GUI97.txt";
    EXPECT_FALSE(ui.fileDialog(r));
    EXPECT_EQ(out.str(), "3 Units modified\n");
    EXPECT_NE(err.str().find("Error on creating [out.txt]"), std::string::npos);
    EXPECT_NE(err.str().find("-> Yes"), std::string::npos);
    EXPECT_EQ(ui.errorCount(), 1);
    EXPECT_EQ(ui.unansweredDialogs(), 1);
}

} // namespace
} // namespace varnel
