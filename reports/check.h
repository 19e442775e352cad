#pragma once
// The catalogue check: what in a unit table the game would choke on, found before the game finds
// it. Each finding has a severity, the rule that found it and the unit it is about (or none, for
// the file as a whole). Rules:
//
// | rule    | severity                  | finding                                              |
// |---------|---------------------------|------------------------------------------------------|
// | code    | error PG2, warning PeG    | a code that differs from the unit's position         |
// | names   | error fewer, warning more | a Names E-File whose line count differs from N       |
// | icon    | error                     | an icon name the game's icon archive does not hold   |
// | sound   | warning                   | a sound number whose WAV file is missing             |
// | value   | error                     | a stored value the field table would refuse          |
// | country | error                     | a PG2 country mask that names no single country      |
// | dates   | warning                   | a PG2 unit available only after its expiry           |
//
// Text layout, one line per finding ("\n" ends):
//   "error: unit %d (code %d) NAME: message"   or   "warning: NAMES: message" for the file
// then "%d errors, %d warnings" and one line "skipped: ..." per rule that could not run.

#include "equip/game.h"
#include "equip/unittable.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnel {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity = Severity::Error;
    std::string rule; // "code", "names", "icon", "sound", "value", "country", "dates"
    std::optional<std::size_t> unit; // none: the file as a whole
    std::uint16_t code = 0;          // the unit's code and name, when there is a unit
    std::string name;
    std::string message;
};

// What the check needs from outside the table; an empty member skips its rule.
struct CheckSources {
    // The number of lines of the Names E-File.
    std::optional<std::size_t> nameLines;
    // Whether the icon archive holds the key (an icon name upper-cased).
    std::function<bool(const std::string& key)> hasIcon;
    // Whether the WAV file of a sound file number (1000 + move, 2000 + attack, 3000 + death)
    // exists.
    std::function<bool(int number)> hasSound;
    // PG2 masks that named no single country in the E-File as it was loaded, in unit order (the
    // table holds them set right): reported as the file's while the table is what it loaded.
    std::span<const Pg2OddMask> loadedMasks;
};

struct CheckResult {
    std::vector<Finding> findings;    // unit findings in unit order, then the file's
    std::vector<std::string> skipped; // why a rule did not run, one sentence each (the caller's)

    std::size_t count(Severity severity) const;
    bool hasErrors() const { return count(Severity::Error) > 0; }
};

CheckResult CheckPg2Table(const Pg2UnitTable& table, const CheckSources& sources);
CheckResult CheckPegTable(const PegUnitTable& table, const CheckSources& sources);

// The text layout above.
std::string CheckText(const CheckResult& result);
// "error" or "warning".
const char* SeverityName(Severity severity);

} // namespace varnel
