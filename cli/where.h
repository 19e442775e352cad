#pragma once
// The --where option of varnel-cli set and list: a condition on the units of the loaded game.

#include "equip/condition.h"

#include <optional>
#include <string>

namespace varnel::cli {

// Parses the UTF-8 condition over the units of `game`, countries named by the T-File. Prints the
// fault on stderr, with the condition and a mark under the place, and returns nothing when it is
// wrong.
std::optional<Condition> ParseWhere(const std::string& command, Game game, const std::string& text,
                                    const NameTable& countries);

} // namespace varnel::cli
