#include "cli/where.h"

#include "base/csvtext.h"
#include "base/format.h"
#include "cli/common.h"

#include <iostream>

namespace varnel::cli {

std::optional<Condition> ParseWhere(const std::string& command, Game game, const std::string& text,
                                    const NameTable& countries) {
    long bad = 0;
    const std::optional<std::string> bytes = Utf8To1252(text, &bad);
    if (!bytes) {
        Fail(command, bad < 0 ? "the condition is not valid UTF-8"
                              : "the condition holds a character no unit name can hold (U+" +
                                    Format("%04lX", static_cast<unsigned long>(bad)) + ")");
        return std::nullopt;
    }
    ConditionParse parse = ParseCondition(game, *bytes, &countries);
    if (parse.ok)
        return std::move(parse.condition);
    // One Windows-1252 byte is one character: the position counts characters of the text typed.
    Fail(command,
         "--where: " + parse.reason + " (at character " + std::to_string(parse.position) + ")");
    std::cerr << "  " << text << '\n' << "  " << std::string(parse.position, ' ') << "^\n";
    return std::nullopt;
}

} // namespace varnel::cli
