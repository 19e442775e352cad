#include "convert/definitionfile.h"

#include "app/appstate.h"
#include "app/filekind.h"
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

std::optional<ChosenDefinition> ChooseDefinitionFile(AppState& state, Game game,
                                                     const char* title) {
    const std::string path = ChooseFile(state.ui, state.settings, TFileKind(game),
                                        PathPart::FullPath, title, ".TXT", "*.txt",
                                        "TXT files (*.txt)|*.txt|", true);
    if (path == kNoValue)
        return std::nullopt;
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        MessageBox(state.ui, "file [%s]\nnot found", path.c_str());
        return std::nullopt;
    }
    ChosenDefinition chosen{path, ParseDefinitionFile(*bytes)};
    if (chosen.parsed.codes.empty()) {
        MessageBox(state.ui, "There are nothing to do (valid data) in %s",
                   chosen.parsed.sourceName.c_str());
        return std::nullopt;
    }
    return chosen;
}

} // namespace varnel
