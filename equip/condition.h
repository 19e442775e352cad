#pragma once
// Conditions on the units of a table, as a person types them into a filter:
//
//     class = Tank and country = Germany and "Year available" >= 1943
//     cost > 600 or (name contains tiger and moveMode = 0)
//
//   condition  := either { "or" either }            "and" binds tighter than "or"
//   either     := part { "and" part }
//   part       := "(" condition ")" | column operator value
//   column     := a catalogue name (airAtk) or the form's caption (its label), any letter case;
//                 a caption with blanks in double quotes ("Year available")
//   operator   := = != < <= > >= | contains
//   value      := words up to the next and / or / parenthesis, or a text in double quotes
//
// Keywords are in any letter case. Numbers are the values the form shows (years as years, costs
// as shown costs). Drop-downs take an item's number or its text ("class = Tank", "class = 3",
// months too); countries their number or the T-File's name; check boxes 0 or 1. Names and icons
// take = != and contains, without regard to ASCII letter case. Texts are Windows-1252 bytes, as
// the names are. An empty condition matches every unit.
//
// A condition is parsed once into a compiled form and then tested unit by unit.

#include "equip/fieldtable.h"
#include "equip/game.h"
#include "equip/tfile.h"
#include "equip/unittable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// Parentheses nest at most this deep; deeper is refused rather than risking the stack.
constexpr int kMaxConditionDepth = 64;

enum class ConditionOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Contains };

class Condition {
  public:
    // The empty condition: every unit matches.
    Condition() = default;

    bool empty() const { return nodes_.empty(); }
    Game game() const { return game_; }
    // Whether unit `index` (inside the table) passes. The table must be of the condition's game.
    bool matches(const Pg2UnitTable& table, std::size_t index) const;
    bool matches(const PegUnitTable& table, std::size_t index) const;

  private:
    friend class ConditionParser;

    struct Test {
        const FieldDef* field = nullptr;
        ConditionOp op = ConditionOp::Equal;
        std::int64_t number = 0; // numbers, drop-down positions, check boxes
        std::string text;        // names and icons, ASCII lower case
    };
    enum class NodeKind : std::uint8_t { Test, And, Or };
    struct Node {
        NodeKind kind = NodeKind::Test;
        std::uint32_t test = 0;  // Test: index into tests_
        std::uint32_t first = 0; // And / Or: children_[first .. first + count)
        std::uint32_t count = 0;
    };

    template <class Table>
    bool eval(const Table& table, std::size_t index, std::uint32_t node) const;
    template <class Table> bool test(const Table& table, std::size_t index, const Test& t) const;

    Game game_ = Game::Pg2;
    std::vector<Node> nodes_; // the root is the last
    std::vector<std::uint32_t> children_;
    std::vector<Test> tests_;
};

struct ConditionParse {
    Condition condition; // the empty condition when refused
    bool ok = true;
    std::size_t position = 0; // 0-based character offset of the fault
    std::string reason;       // "Unknown column \"foo\"", ...; empty when ok
};

// Parses a condition over the units of `game`. `countries` holds the T-File's names for
// conditions on the country by name; without it countries go by number only.
ConditionParse ParseCondition(Game game, std::string_view text,
                              const NameTable* countries = nullptr);

// The indexes of the units that pass, in table order: of `units` when given, else of the table.
template <class Table>
std::vector<int> MatchingUnits(const Table& table, const Condition& condition);
template <class Table>
std::vector<int> MatchingUnits(const Table& table, const Condition& condition,
                               const std::vector<int>& units);

} // namespace varnel
