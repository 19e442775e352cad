#include "equip/unitfilter.h"

#include <algorithm>
#include <array>

namespace varnel {

namespace {

std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 0x20);
    // À..Þ except the multiplication sign fold onto à..þ.
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 0x20);
    t[0x8A] = 0x9A; // Š š
    t[0x8C] = 0x9C; // Œ œ
    t[0x8E] = 0x9E; // Ž ž
    t[0x9F] = 0xFF; // Ÿ ÿ
    return t;
}

const std::array<unsigned char, 256> kFold = makeFoldTable();

unsigned char fold(char c) {
    return kFold[static_cast<unsigned char>(c)];
}

int sortValue(const Pg2Unit& unit, const FieldDef& field) {
    return Pg2StoredValue(unit, field);
}
int sortValue(const PegUnit& unit, const FieldDef& field) {
    return PegStoredValue(unit, field);
}

template <class Table> std::string_view textOf(const Table& table, int unit, const FieldDef& f) {
    if (f.kind == FieldKind::Name)
        return table.name(static_cast<std::size_t>(unit));
    // An icon name ends at its first NUL.
    const auto& bytes = table.units[static_cast<std::size_t>(unit)].record.bytes;
    const auto* first = reinterpret_cast<const char*>(bytes.data()) + f.offset;
    std::size_t length = 0;
    while (length < pg2::kIconLength && first[length] != '\0')
        ++length;
    return {first, length};
}

} // namespace

unsigned char FoldCase1252(unsigned char byte) {
    return kFold[byte];
}

std::string Folded1252(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out)
        c = static_cast<char>(fold(c));
    return out;
}

bool ContainsFolded1252(std::string_view haystack, std::string_view foldedNeedle) {
    if (foldedNeedle.empty())
        return true;
    const auto it =
        std::search(haystack.begin(), haystack.end(), foldedNeedle.begin(), foldedNeedle.end(),
                    [](char a, char b) { return fold(a) == static_cast<unsigned char>(b); });
    return it != haystack.end();
}

int CompareFolded1252(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = fold(a[i]) - fold(b[i]);
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

namespace {

// `needle` is the filter's search, folded once for the whole table.
template <class Table>
bool passes(const Table& table, std::size_t i, const UnitFilter& filter,
            const std::string& needle) {
    const auto& unit = table.units[i];
    if (filter.country > 0 && UnitCountry(unit) != filter.country)
        return false;
    if (filter.unitClass > 0 && UnitClass(unit) != filter.unitClass)
        return false;
    return needle.empty() || ContainsFolded1252(table.name(i), needle);
}

} // namespace

template <class Table> std::vector<int> FilterUnits(const Table& table, const UnitFilter& filter) {
    std::vector<int> units;
    if (filter.unmatchable)
        return units;
    const std::string needle = Folded1252(filter.find);
    const std::size_t count = table.count();
    units.reserve(filter.active() ? 0 : count);
    for (std::size_t i = 0; i < count; ++i)
        if (passes(table, i, filter, needle))
            units.push_back(static_cast<int>(i));
    return units;
}

template <class Table>
bool PassesFilter(const Table& table, std::size_t index, const UnitFilter& filter) {
    return !filter.unmatchable && index < table.count() &&
           passes(table, index, filter, Folded1252(filter.find));
}

template <class Table>
void SortUnits(const Table& table, const FieldDef& field, bool ascending, std::vector<int>& units) {
    if (IsTextField(field)) {
        std::stable_sort(units.begin(), units.end(), [&](int a, int b) {
            const int c = CompareFolded1252(textOf(table, a, field), textOf(table, b, field));
            return ascending ? c < 0 : c > 0;
        });
        return;
    }
    // The values are read once; the sort then moves pairs.
    std::vector<std::pair<int, int>> keyed(units.size());
    for (std::size_t k = 0; k < units.size(); ++k)
        keyed[k] = {sortValue(table.units[static_cast<std::size_t>(units[k])], field), units[k]};
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
        return ascending ? a.first < b.first : a.first > b.first;
    });
    for (std::size_t k = 0; k < units.size(); ++k)
        units[k] = keyed[k].second;
}

template std::vector<int> FilterUnits(const Pg2UnitTable&, const UnitFilter&);
template std::vector<int> FilterUnits(const PegUnitTable&, const UnitFilter&);
template bool PassesFilter(const Pg2UnitTable&, std::size_t, const UnitFilter&);
template bool PassesFilter(const PegUnitTable&, std::size_t, const UnitFilter&);
template void SortUnits(const Pg2UnitTable&, const FieldDef&, bool, std::vector<int>&);
template void SortUnits(const PegUnitTable&, const FieldDef&, bool, std::vector<int>&);

} // namespace varnel
