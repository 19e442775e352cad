#include "convert/conversion.h"

#include "base/fileio.h"
#include "base/format.h"
#include "base/textlines.h"
#include "equip/efile.h"

#include <algorithm>
#include <array>

namespace varnel {

namespace {

// PeG country of each PG2 country 0..26.
constexpr std::array<std::uint8_t, pg2::kCountryCount> kPegCountryOfPg2 = {
    0,  15, 2,  17, 20, 20, 6, 7,  3,  9,  10, 11, 20, 5,
    20, 14, 16, 20, 18, 19, 4, 20, 20, 13, 1,  12, 8};

// PG2 country whose name PeG country k (1..20) takes over; entry 0 is unused.
constexpr std::array<int, peg::kCountryCount> kPg2NameOfPeg = {
    0, 24, 2, 8, 20, 13, 6, 7, 26, 9, 10, 11, 25, 23, 15, 1, 16, 3, 18, 19, 4};

// PG2 values with a fixed PeG rule.
constexpr std::uint8_t kPg2Infantry = 1;
constexpr std::uint8_t kPg2TacticalBomber = 11;
constexpr std::uint8_t kPegHelicopter = 12;
constexpr std::uint8_t kPg2AirDefense = 9;
constexpr std::uint8_t kPg2Fighter = 10;
constexpr std::uint8_t kInfantryCloseAtkDef = 5;
constexpr std::uint8_t kProfile = 3;
constexpr int kYearOffset = 30;             // PeG years count from 1930 on
constexpr std::uint8_t kPg2AirAndNaval = 2; // Organic Transport "Can be Airmobile & Naval"
constexpr std::uint8_t kPg2Airborne = 3;    // "Airborne, can also Air & Naval"
constexpr std::uint8_t kPegAirMobile = 2;   // airTransp "Air Mobile"

// Special1 switches of the PG2 form that carry over.
constexpr int kEngineer = 2;
constexpr int kBridge = 3;
constexpr int kNoSoftAtk = 4;
constexpr int kNoHardAtk = 5;
constexpr int kNoAirAtk = 6;

std::uint8_t bit(int n, bool set) {
    return set ? static_cast<std::uint8_t>(1u << n) : 0;
}

void copyIcon(const Pg2UnitRecord& from, PegUnitRecord& to, int offset) {
    const auto* begin = from.bytes.data() + pg2::Icon;
    const auto* end = std::find(begin, begin + pg2::kIconLength, std::uint8_t{0});
    std::copy(begin, end, to.bytes.begin() + offset);
}

} // namespace

std::uint8_t MapPg2Country(const Pg2UnitRecord& record) {
    const std::uint8_t country = Pg2Country(record);
    return country < kPegCountryOfPg2.size() ? kPegCountryOfPg2[country] : 0;
}

std::uint8_t MapPg2Country(const Pg2UnitTable& table, std::size_t index) {
    return index < table.count() ? MapPg2Country(table.units[index].record) : 0;
}

PegUnit ConvertPg2Unit(const Pg2Unit& unit) {
    const Pg2UnitRecord& p = unit.record;
    PegUnit result;
    PegUnitRecord& r = result.record;
    const auto on = [&](int sw) { return ((p[pg2::Special1] >> sw) & 1) != 0; };
    const std::uint8_t pg2Class = p[pg2::Class];

    r[peg::Code] = p[pg2::Code];
    r[peg::Code + 1] = p[pg2::Code + 1];
    r[peg::Class] = pg2Class == kPg2TacticalBomber ? kPegHelicopter : pg2Class;
    r[peg::SoftAtk] = p[pg2::SoftAtk];
    r[peg::HardAtk] = p[pg2::HardAtk];
    r[peg::AirAtk] = p[pg2::AirAtk];
    r[peg::HeloAtk] = p[pg2::NavalAtk];
    r[peg::GroundDef] = p[pg2::GroundDef];
    r[peg::AirDef] = p[pg2::AirDef];
    r[peg::IndirectDef] = p[pg2::RangeDefMod];
    r[peg::TargetType] = p[pg2::Target];
    r[peg::CloseAtkDef] = pg2Class == kPg2Infantry ? kInfantryCloseAtkDef : p[pg2::CloseDef];
    r[peg::Range] = p[pg2::GunRange];
    r[peg::Spotting] = p[pg2::SpotRange];
    r[peg::Profile] = kProfile;
    r[peg::AirUnit] = p[pg2::MoveMode];
    r[peg::MovType] = p[pg2::MovMethod];
    r[peg::MovPoints] = p[pg2::MovPoints];
    r[peg::Ammo] = p[pg2::Ammo];
    r[peg::Cost] = static_cast<std::uint8_t>(p[pg2::Cost] * 12 / 10);
    r[peg::IconNumber] = 0;
    r[peg::MonthAvaible] = p[pg2::MontAvaible];
    r[peg::YearAvaible] = static_cast<std::uint8_t>(p[pg2::YearAvaible] - kYearOffset);
    const std::uint8_t transport = p[pg2::OrganicTransport];
    r[peg::airTransp] = transport == kPg2AirAndNaval ? kPegAirMobile : 0;
    r[peg::Country] = MapPg2Country(p);

    // Air defence and fighters keep their attack on aircraft whatever the PG2 switch says.
    const bool noAirAtk = on(kNoAirAtk) && pg2Class != kPg2AirDefense && pg2Class != kPg2Fighter;
    r[peg::Options1] = static_cast<std::uint8_t>(bit(0, true) | bit(2, on(kEngineer)) |
                                                 bit(3, on(kBridge)) | bit(4, on(kNoSoftAtk)) |
                                                 bit(5, on(kNoHardAtk)) | bit(6, noAirAtk));
    r[peg::Options2] = static_cast<std::uint8_t>(bit(1, transport == kPg2Airborne) |
                                                 bit(2, noAirAtk) | bit(7, on(kEngineer)));
    r[peg::Options3] = bit(0, on(kEngineer));

    copyIcon(p, r, peg::UnitIcon);
    copyIcon(p, r, peg::MovIcon);
    r[peg::atkSnd] = p[pg2::atkMel];
    r[peg::movSnd] = p[pg2::movMel];
    r[peg::dieSnd] = p[pg2::dieMel];
    result.name = unit.name;
    return result;
}

PegUnitTable ConvertPg2Table(const Pg2UnitTable& table) {
    PegUnitTable result;
    result.units.reserve(table.count());
    for (const Pg2Unit& unit : table.units)
        result.units.push_back(ConvertPg2Unit(unit));
    result.names = table.names;
    return result;
}

void TakeOverPg2CountryNames(const NameTable& pg2, NameTable& peg) {
    for (int k = 1; k < peg::kCountryCount; ++k)
        peg.setName(k, pg2.name(kPg2NameOfPeg[static_cast<std::size_t>(k)]));
}

Bytes ConvertTFileBytes(std::span<const std::uint8_t> source, const NameTable& peg) {
    Bytes out;
    out.reserve(source.size());
    LineReader reader(source);
    std::string line;
    int k = 1;
    while (reader.next(line)) {
        const bool lastWithoutEnd = reader.atEnd() && source.back() != '\n';
        const std::string& text = k < peg.count() ? peg.name(k) : line;
        if (lastWithoutEnd && k >= peg.count())
            out.insert(out.end(), text.begin(), text.end());
        else
            AppendLine(out, text);
        ++k;
    }
    return out;
}

} // namespace varnel
