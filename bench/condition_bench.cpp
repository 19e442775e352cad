// Conditions and arithmetic over 1,000 and 65,535 units. A condition is parsed once and then
// tested unit by unit, so the larger size should cost about 65.5 times the smaller (goal: at
// most 85x, and under 50 ms at 65,535); so should an addition over every unit and its undo.

#include "bench/benchsupport.h"

#include "app/arithmetic.h"
#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "equip/condition.h"

namespace varnel {
namespace {

// Drop-downs by item text, a country by name, a year and a cost as shown, a name fragment, and
// both joins: every kind of test the grammar compiles.
constexpr const char* kCondition =
    "class = Tank and country = \"Country 3\" and \"Year available\" >= 1943 or cost > 600 "
    "and (name contains \"BER 1\" or engineer = 1)";

NameTable benchCountries() {
    NameTable names(pg2::kCountryCount);
    for (int n = 0; n < pg2::kCountryCount; ++n)
        names.setName(n, "Country " + std::to_string(n));
    names.setCount(pg2::kCountryCount);
    return names;
}

void BM_Condition(benchmark::State& state) {
    const Pg2UnitTable table = MakeBenchPg2Table(static_cast<std::size_t>(state.range(0)));
    const NameTable countries = benchCountries();
    const ConditionParse parse = ParseCondition(Game::Pg2, kCondition, &countries);
    if (!parse.ok) {
        state.SkipWithError(parse.reason.c_str());
        return;
    }
    std::size_t picked = 0;
    for (auto _ : state) {
        const std::vector<int> units = MatchingUnits(table, parse.condition);
        picked = units.size();
        benchmark::DoNotOptimize(units.data());
    }
    state.counters["picked"] = static_cast<double>(picked);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Condition)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);

// "Add..." of 1 to the cost of every unit (rounded to the byte's steps), then its undo.
void BM_AddAndUndo(benchmark::State& state) {
    SilentUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc(ui, store);
    Pg2UnitTable table = MakeBenchPg2Table(static_cast<std::size_t>(state.range(0)));
    const FieldDef& cost = *FindField(Game::Pg2, "cost");
    for (Pg2Unit& unit : table.units)
        unit.record[cost.offset] = 50;
    doc.loadTable(std::move(table));
    std::vector<int> units(doc.unitCount(Game::Pg2));
    for (std::size_t u = 0; u < units.size(); ++u)
        units[u] = static_cast<int>(u);
    Arithmetic add;
    add.field = &cost;
    add.kind = ArithmeticKind::Add;
    add.amount = 10;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApplyArithmetic(doc, Game::Pg2, units, {&add, 1}).ok);
        benchmark::DoNotOptimize(doc.undo(Game::Pg2));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AddAndUndo)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnel
