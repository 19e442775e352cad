#pragma once
// The one reader of whole numbers typed or read from files: every field, option, setting and
// percentage goes through it, so " 12", "+12" and "-3" mean the same everywhere.

#include <optional>
#include <string_view>

namespace varnel {

// A whole number with optional blanks (spaces, tabs) around it and an optional sign; nothing
// when the text is anything else (empty, a fraction, an exponent, a thousands separator) or does
// not fit an int.
std::optional<int> ParseInteger(std::string_view text);

// The same, and nothing outside min..max.
std::optional<int> ParseInteger(std::string_view text, int min, int max);

} // namespace varnel
