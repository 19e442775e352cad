#include "convert/costmodifier.h"

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

} // namespace varnel
