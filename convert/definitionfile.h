#pragma once
// Definition files: the text files that drive merge and export. A line's number value is its
// leading decimal integer (blanks skipped, optional sign, digits; anything after them ignored; no
// digits: 0). Lines longer than 255 characters are taken as several lines of 255.
//  - value > 0: a unit code (file order, repeats kept);
//  - the first line of value 0: the source (merge) or target (export) E-File name;
//  - later lines of value 0 and lines of negative value: ignored;
//  - a line "no: N ..." (the equipment report's simple list read back): code N, 0 included.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnel {

constexpr std::size_t kMaxDefinitionLine = 255;

struct DefinitionFile {
    std::string sourceName = "-"; // "-" when no line names a file
    std::vector<int> codes;       // values above INT_MAX count as INT_MAX
};

// Reads a definition file from its bytes (CR LF or LF line ends; a last line without one counts).
DefinitionFile ParseDefinitionFile(std::span<const std::uint8_t> data);

// The number value of one definition line.
int DefinitionLineValue(const std::string& line);

// The E-File a definition file at `definitionPath` names: `name` itself when it is absolute,
// otherwise `name` (with any folders of its own) under the definition file's folder. "\"
// separates folders on every system.
std::string ResolveDefinitionTarget(const std::string& definitionPath, const std::string& name);

} // namespace varnel
