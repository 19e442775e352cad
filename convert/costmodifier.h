#pragma once
// The global cost modifier: scales the Cost of every PeG unit of chosen countries by a
// percentage per country.

#include "equip/pegrecord.h"
#include "equip/unittable.h"

#include <array>
#include <cstdint>

namespace varnel {

constexpr int kNoCostChange = 100; // percent

// The choices of the "Global Modifiers" dialog, per PeG country 0..20. Country 0 ("None") is
// never changed, whatever is set here.
struct CostChoices {
    CostChoices() { percent.fill(kNoCostChange); }
    std::array<bool, peg::kCountryCount> enabled{};
    std::array<int, peg::kCountryCount> percent;
};

// A cost scaled by `percent`: cost x percent in signed 32-bit (wrapping), divided by 100
// truncating toward zero, low byte kept. 45 at 50 % gives 22; 200 at 200 % gives 144.
std::uint8_t ScaleCost(std::uint8_t cost, int percent);

// Scales the cost of every unit whose country is chosen; units of country 0 or above 20 are left
// alone. Returns the number of units changed (a 100 % change counts).
int ApplyCostChange(PegUnitTable& table, const CostChoices& choices);

} // namespace varnel
