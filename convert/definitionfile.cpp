#include "convert/definitionfile.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/textlines.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <optional>

namespace varnel {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The code of a line of the equipment report's simple list ("no: %4d  name  [class  country]"),
// which is read back as a definition file; nothing for any other line.
std::optional<int> simpleListCode(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (line.compare(i, 3, "no:") != 0)
        return std::nullopt;
    i += 3;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i >= line.size() || line[i] < '0' || line[i] > '9')
        return std::nullopt;
    return DefinitionLineValue(line.substr(i));
}
} // namespace

int DefinitionLineValue(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        // Saturate: a huge code stays huge (and out of range) instead of wrapping.
        if (value <= INT_MAX)
            value = value * 10 + (line[i] - '0');
    }
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(negative ? -value : value);
}

DefinitionFile ParseDefinitionFile(std::span<const std::uint8_t> data) {
    DefinitionFile result;
    bool named = false;
    LineReader reader(data);
    std::string whole;
    while (reader.next(whole)) {
        std::size_t start = 0;
        do {
            const std::string line = whole.substr(start, kMaxDefinitionLine);
            start += kMaxDefinitionLine;
            if (const auto code = simpleListCode(line)) {
                result.codes.push_back(*code);
                continue;
            }
            const int value = DefinitionLineValue(line);
            if (value > 0) {
                result.codes.push_back(value);
            } else if (value == 0 && !named) {
                result.sourceName = line;
                named = true;
            }
        } while (start < whole.size());
    }
    return result;
}

std::string ResolveDefinitionTarget(const std::string& definitionPath, const std::string& name) {
    std::string target = name;
    const bool drive = target.size() >= 2 && std::isalpha(static_cast<unsigned char>(target[0])) &&
                       target[1] == ':';
    if (drive)
        return target;
#ifndef _WIN32
    // Definition files are written on Windows: "\\" separates folders there too.
    std::replace(target.begin(), target.end(), '\\', '/');
#endif
    if (!target.empty() && (target[0] == '/' || target[0] == '\\'))
        return target;
    // A relative name, with or without folders, is taken from the definition file's folder, not
    // from wherever the program happens to run.
    return GetPathPart(definitionPath, PathPart::Folder) + target;
}

} // namespace varnel
