#include "app/batchui.h"

namespace varnel {

void BatchUi::information(const std::string& text) {
    out_ << text << '\n';
}

bool BatchUi::question(const std::string& text) {
    const bool answer = defaultAnswer_;
    err_ << text << "\n-> " << (answer ? "Yes" : "No") << '\n';
    return answer;
}

void BatchUi::error(const std::string& text) {
    ++errors_;
    err_ << text << '\n';
}

std::optional<std::string> BatchUi::fileDialog(const FileDialogRequest& request) {
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
