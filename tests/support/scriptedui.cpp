#include "tests/support/scriptedui.h"

namespace varnel {

const char* KindName(ScriptedUi::Kind kind) {
    switch (kind) {
    case ScriptedUi::Kind::Information:
        return "information";
    case ScriptedUi::Kind::Question:
        return "question";
    case ScriptedUi::Kind::Error:
        return "error";
    case ScriptedUi::Kind::FileDialog:
        return "file dialog";
    case ScriptedUi::Kind::Start:
        return "process start";
    case ScriptedUi::Kind::Text:
        return "text prompt";
    }
    return "?";
}

ScriptedUi::ScriptedUi(FailureHandler onFailure) : onFailure_(std::move(onFailure)) {}

ScriptedUi::~ScriptedUi() {
    verify();
}

void ScriptedUi::verify() {
    for (const auto& e : expected_)
        onFailure_(std::string("expected ") + KindName(e.kind) + " never shown: \"" + e.text +
                   "\"");
    expected_.clear();
}

ScriptedUi& ScriptedUi::expectInformation(std::string text) {
    expected_.push_back({Kind::Information, std::move(text), false, std::nullopt});
    return *this;
}

ScriptedUi& ScriptedUi::expectQuestion(std::string text, bool answer) {
    expected_.push_back({Kind::Question, std::move(text), answer, std::nullopt});
    return *this;
}

ScriptedUi& ScriptedUi::expectError(std::string text) {
    expected_.push_back({Kind::Error, std::move(text), false, std::nullopt});
    return *this;
}

ScriptedUi& ScriptedUi::expectFileDialog(std::string title, std::optional<std::string> answer) {
    expected_.push_back({Kind::FileDialog, std::move(title), false, std::move(answer)});
    return *this;
}

ScriptedUi& ScriptedUi::expectStart(std::string program, bool succeeds) {
    expected_.push_back({Kind::Start, std::move(program), succeeds, std::nullopt});
    return *this;
}

const ScriptedUi::Expectation* ScriptedUi::take(Kind kind, const std::string& text) {
    if (expected_.empty()) {
        onFailure_(std::string("unexpected ") + KindName(kind) + ": \"" + text + "\"");
        return nullptr;
    }
    Expectation e = expected_.front();
    if (e.kind != kind || e.text != text) {
        onFailure_(std::string("expected ") + KindName(e.kind) + " \"" + e.text + "\" but got " +
                   KindName(kind) + " \"" + text + "\"");
        // A wrong prompt still consumes its place, so one slip does not cascade.
        expected_.pop_front();
        return nullptr;
    }
    expected_.pop_front();
    current_ = std::move(e);
    return &current_;
}

void ScriptedUi::information(const std::string& text) {
    take(Kind::Information, text);
}

bool ScriptedUi::question(const std::string& text) {
    const Expectation* e = take(Kind::Question, text);
    return e ? e->answer : false;
}

void ScriptedUi::error(const std::string& text) {
    take(Kind::Error, text);
}

std::optional<std::string> ScriptedUi::fileDialog(const FileDialogRequest& request) {
    fileRequests_.push_back(request);
    const Expectation* e = take(Kind::FileDialog, request.title);
    return e ? e->file : std::nullopt;
}

std::optional<std::string> ScriptedUi::askText(const std::string& label, const std::string&,
                                               const std::vector<std::string>& items) {
    textItems_.push_back(items);
    const Expectation* e = take(Kind::Text, label);
    return e ? e->file : std::nullopt;
}

ScriptedUi& ScriptedUi::expectText(std::string label, std::optional<std::string> answer) {
    expected_.push_back({Kind::Text, std::move(label), false, std::move(answer)});
    return *this;
}

void ScriptedUi::setBusy(bool busy) {
    busyDepth_ += busy ? 1 : -1;
}

bool ScriptedUi::startDetached(const std::string& program,
                               const std::vector<std::string>& arguments) {
    std::vector<std::string> call{program};
    call.insert(call.end(), arguments.begin(), arguments.end());
    starts_.push_back(call);
    const Expectation* e = take(Kind::Start, program);
    return e ? e->answer : false;
}

} // namespace varnel
