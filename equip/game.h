#pragma once
// The two games and what differs between them: record size, country count, display rules.
// A difference between the games lives here, where it can be seen at once.

#include "equip/pegrecord.h"
#include "equip/pg2record.h"
#include "equip/unittable.h"

#include <cstddef>
#include <type_traits>

namespace varnel {

// The current game's code: 1 = PG2 (view CView2), 2 = PeG (view CView3).
enum class Game { Pg2 = 1, Peg = 2 };

template <Game G> struct GameTraits;

// Where a game's entry sits in an array over both games: PG2 first.
constexpr std::size_t GameIndex(Game g) {
    return static_cast<std::size_t>(g) - 1;
}

// The game whose units a table holds.
template <class Table> constexpr Game GameOfTable() {
    return std::is_same_v<Table, Pg2UnitTable> ? Game::Pg2 : Game::Peg;
}

// Calls `f.template operator()<Table>()` with the table type of game `g`: a command written
// once over the table type (a template lambda), run for the game chosen at run time.
template <class F> decltype(auto) ForTableOf(Game g, F&& f) {
    if (g == Game::Pg2)
        return f.template operator()<Pg2UnitTable>();
    return f.template operator()<PegUnitTable>();
}

template <> struct GameTraits<Game::Pg2> {
    using Record = Pg2UnitRecord;
    using Unit = Pg2Unit;
    using Table = Pg2UnitTable;
    static constexpr std::size_t kRecordSize = pg2::kRecordSize;
    static constexpr int kCountryCount = pg2::kCountryCount;
    static constexpr int kCostFactor = 12; // shown cost = stored x 12
    static constexpr int kYearBase = 1900; // shown year = stored + 1900
    static constexpr const char* kName = "PG2";
};

template <> struct GameTraits<Game::Peg> {
    using Record = PegUnitRecord;
    using Unit = PegUnit;
    using Table = PegUnitTable;
    static constexpr std::size_t kRecordSize = peg::kRecordSize;
    static constexpr int kCountryCount = peg::kCountryCount;
    static constexpr int kCostFactor = 10;
    static constexpr int kYearBase = 2000;
    static constexpr const char* kName = "PeG";
};

constexpr std::size_t RecordSize(Game g) {
    return g == Game::Pg2 ? pg2::kRecordSize : peg::kRecordSize;
}
constexpr int CountryCount(Game g) {
    return g == Game::Pg2 ? pg2::kCountryCount : peg::kCountryCount;
}
constexpr const char* GameName(Game g) {
    return g == Game::Pg2 ? "PG2" : "PeG";
}
constexpr Game OtherGame(Game g) {
    return g == Game::Pg2 ? Game::Peg : Game::Pg2;
}

} // namespace varnel
