#include "convert/costmodifier.h"

#include "app/appstate.h"

namespace varnel {

std::uint8_t ScaleCost(std::uint8_t cost, int percent) {
    // A 32-bit product that wraps, defined even for percentages near the limits of int.
    const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(cost) *
                                                   static_cast<std::uint32_t>(percent));
    return static_cast<std::uint8_t>(product / 100);
}

int ApplyCostChange(PegUnitTable& table, const CostChoices& choices) {
    int changed = 0;
    for (PegUnit& unit : table.units) {
        const std::uint8_t country = unit.record[peg::Country];
        if (country == 0 || country >= peg::kCountryCount || !choices.enabled[country])
            continue;
        unit.record[peg::Cost] = ScaleCost(unit.record[peg::Cost], choices.percent[country]);
        ++changed;
    }
    return changed;
}

int ModifyPegCosts(AppState& state, const CostChoices& choices) {
    const int changed = state.peg ? ApplyCostChange(*state.peg, choices) : 0;
    MessageBox(state.ui, "%d Units modified", changed);
    if (changed > 0) {
        state.notifyViews();
        state.flags.pegData = true;
        state.notifyTitle();
    }
    return changed;
}

} // namespace varnel
