#include "base/uiport.h"

#include <cstdarg>

namespace varnel {

void MessageBox(UiPort& ui, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const std::string text = FormatMessageV(format, args);
    va_end(args);
    ui.information(text);
}

bool QuestionBox(UiPort& ui, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const std::string text = FormatMessageV(format, args);
    va_end(args);
    return ui.question(text);
}

void ErrorBox(UiPort& ui, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const std::string text = FormatMessageV(format, args);
    va_end(args);
    ui.error(text);
}

} // namespace varnel
