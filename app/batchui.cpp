#include "app/batchui.h"

#include <algorithm>

namespace varnel {

void BatchUi::answerQuestions(std::string prefix, bool answer) {
    rules_.emplace_back(std::move(prefix), answer);
}

void BatchUi::answerFileDialog(std::string title, std::string path) {
    files_.emplace_back(std::move(title), std::move(path));
}

void BatchUi::information(const std::string& text) {
    out_ << text << '\n';
}

bool BatchUi::question(const std::string& text) {
    bool answer = defaultAnswer_;
    for (const auto& [prefix, a] : rules_)
        if (text.compare(0, prefix.size(), prefix) == 0) {
            answer = a;
            break;
        }
    err_ << text << "\n-> " << (answer ? "Yes" : "No") << '\n';
    return answer;
}

void BatchUi::error(const std::string& text) {
    ++errors_;
    err_ << text << '\n';
}

std::optional<std::string> BatchUi::fileDialog(const FileDialogRequest& request) {
    const auto it = std::find_if(files_.begin(), files_.end(),
                                 [&](const auto& f) { return f.first == request.title; });
    if (it != files_.end()) {
        std::string path = it->second;
        files_.erase(it);
        return path;
    }
    ++unanswered_;
    err_ << "A file would be asked for (\"" << request.title << "\", proposed \""
         << request.initialName << "\"); give it as an option.\n";
    return std::nullopt;
}

bool BatchUi::startDetached(const std::string& program, const std::vector<std::string>&) {
    err_ << "varnel-cli does not start programs (" << program << ")\n";
    return false;
}

} // namespace varnel
