#include "convert/definitionfile.h"

#include "tools/fileio.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <climits>

namespace varnel {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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
    if (!GetPathPart(name, PathPart::Folder).empty())
        return name;
    return GetPathPart(definitionPath, PathPart::Folder) + name;
}



} // namespace varnel
