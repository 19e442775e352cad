#include "reports/compare.h"

#include "base/csvtext.h"
#include "base/format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>

namespace varnel {

namespace {

constexpr int kBitsPerByte = 8;
constexpr std::uint8_t kWholeByte = 0xFF;

template <class Unit> constexpr Game gameOf() {
    return std::is_same_v<Unit, Pg2Unit> ? Game::Pg2 : Game::Peg;
}

int stored(const Pg2Unit& unit, const FieldDef& field) {
    return Pg2StoredValue(unit, field);
}
int stored(const PegUnit& unit, const FieldDef& field) {
    return PegStoredValue(unit, field);
}

// A set of record byte offsets, one bit each: the bytes in which two units differ, and the bytes
// a row shows. A row none of whose bytes differs cannot differ, so a unit that differs in one
// byte has only the rows of that byte looked at.
struct ByteSet {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    void add(std::size_t k) { (k < 64 ? low : high) |= std::uint64_t{1} << (k % 64); }
    bool meets(const ByteSet& other) const {
        return ((low & other.low) | (high & other.high)) != 0;
    }
};
static_assert(std::max(pg2::kRecordSize, peg::kRecordSize) <= 128);

void markDiffs(ByteSet& diffs, std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    // Eight bytes at a time: a unit differs in a few bytes of its record.
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    for (std::size_t k = 0; k < a.size(); k += kWord) {
        const std::size_t n = std::min(kWord, a.size() - k);
        if (std::memcmp(a.data() + k, b.data() + k, n) == 0)
            continue;
        for (std::size_t j = k; j < k + n; ++j)
            if (a[j] != b[j])
                diffs.add(j);
    }
}

// The bytes held differently.
template <class Unit> ByteSet byteDiffs(const Unit& a, const Unit& b) {
    ByteSet diffs;
    markDiffs(diffs, a.record.bytes, b.record.bytes);
    return diffs;
}

// The bytes whose difference may make `field` differ.
ByteSet rowBytes(const FieldDef& field, Game game) {
    const std::size_t recordSize = RecordSize(game);
    const FieldSpan span = FieldBytes(game, field);
    ByteSet bytes;
    for (int k = std::max(span.offset, 0); k < span.offset + span.count; ++k)
        if (static_cast<std::size_t>(k) < recordSize)
            bytes.add(static_cast<std::size_t>(k));
    return bytes;
}

// The rows a comparison looks at, and for each record byte the bits the form's rows show.
struct CompareRows {
    std::vector<const FieldDef*> rows;
    std::vector<ByteSet> bytes;      // per row: the bytes it may differ by
    std::vector<std::uint8_t> shown; // per record offset
};

CompareRows buildRows(Game game) {
    CompareRows out;
    out.shown.assign(RecordSize(game), 0);
    auto cover = [&](int offset, std::uint8_t bits) {
        if (offset >= 0 && static_cast<std::size_t>(offset) < out.shown.size())
            out.shown[static_cast<std::size_t>(offset)] |= bits;
    };
    for (const FieldDef& f : FieldTable(game)) {
        // A second control on the same byte (PeG "Close Atk/Def") shows nothing new.
        const bool twin = std::any_of(out.rows.begin(), out.rows.end(), [&](const FieldDef* r) {
            return r->kind == f.kind && r->offset == f.offset && r->bit == f.bit;
        });
        if (twin)
            continue;
        out.rows.push_back(&f);
        out.bytes.push_back(rowBytes(f, game));
        if (f.readOnly)
            continue;
        switch (f.kind) {
        case FieldKind::Name:
            break;
        case FieldKind::Switch:
            cover(f.offset, static_cast<std::uint8_t>(1u << f.bit));
            break;
        case FieldKind::Bit:
            cover(f.offset + f.bit / kBitsPerByte,
                  static_cast<std::uint8_t>(1u << (f.bit % kBitsPerByte)));
            break;
        default: {
            const FieldSpan span = FieldBytes(game, f);
            for (int k = 0; k < span.count; ++k)
                cover(span.offset + k, kWholeByte);
            break;
        }
        }
    }
    return out;
}

const CompareRows& rowsOf(Game game) {
    static const CompareRows pg2 = buildRows(Game::Pg2);
    static const CompareRows peg = buildRows(Game::Peg);
    return game == Game::Pg2 ? pg2 : peg;
}

template <class Unit> bool iconsDiffer(const Unit& a, const Unit& b, int offset) {
    return std::memcmp(a.record.bytes.data() + offset, b.record.bytes.data() + offset,
                       pg2::kIconLength) != 0;
}

// Whether `field` differs between the two units (names apart).
template <class Unit>
bool rowDiffers(const CompareRows& rows, const Unit& a, const Unit& b, const FieldDef& field) {
    if (field.kind == FieldKind::Icon)
        return iconsDiffer(a, b, field.offset);
    const int va = stored(a, field);
    const int vb = stored(b, field);
    if (va == vb)
        return false;
    if (!field.readOnly || field.kind == FieldKind::Code)
        return true;
    // A read-only byte counts only for the bits no other row shows.
    const int hidden = ~rows.shown[static_cast<std::size_t>(field.offset)] & kWholeByte;
    return ((va ^ vb) & hidden) != 0;
}

// The differences of unit i, when it differs.
template <class Table>
std::optional<UnitDifference> diffUnit(const Table& ours, const Table& theirs, bool compareNames,
                                       std::size_t i) {
    using Unit = typename std::decay_t<decltype(ours.units)>::value_type;
    const CompareRows& rows = rowsOf(gameOf<Unit>());
    const Unit& a = ours.units[i];
    const Unit& b = theirs.units[i];
    const bool namesDiffer = compareNames && ours.name(i) != theirs.name(i);
    if (!namesDiffer && a.record.bytes == b.record.bytes)
        return std::nullopt;
    UnitDifference diff{i, a.record.code(), std::string(ours.name(i)), {}};
    const ByteSet diffs = byteDiffs(a, b);
    for (std::size_t r = 0; r < rows.rows.size(); ++r) {
        const FieldDef* f = rows.rows[r];
        const bool differs = f->kind == FieldKind::Name
                                 ? namesDiffer
                                 : diffs.meets(rows.bytes[r]) && rowDiffers(rows, a, b, *f);
        if (differs)
            diff.fields.push_back(FieldDifference{f, FormatField(ours, i, *f, FieldStyle::Diff),
                                                  FormatField(theirs, i, *f, FieldStyle::Diff)});
    }
    if (diff.fields.empty())
        return std::nullopt;
    return diff;
}

template <class Table>
TableComparison compare(const Table& ours, const Table& theirs, bool compareNames) {
    using Unit = typename std::decay_t<decltype(ours.units)>::value_type;
    TableComparison out;
    out.game = gameOf<Unit>();
    out.oursCount = ours.count();
    out.theirsCount = theirs.count();
    out.namesCompared = compareNames;
    const std::size_t common = std::min(ours.count(), theirs.count());
    for (std::size_t i = 0; i < common; ++i)
        if (auto diff = diffUnit(ours, theirs, compareNames, i))
            out.changed.push_back(std::move(*diff));
    for (std::size_t i = common; i < ours.count(); ++i)
        out.onlyOurs.push_back({i, ours.units[i].record.code(), std::string(ours.name(i))});
    for (std::size_t i = common; i < theirs.count(); ++i)
        out.onlyTheirs.push_back({i, theirs.units[i].record.code(), std::string(theirs.name(i))});
    return out;
}

template <class Table>
bool update(TableComparison& comparison, const Table& ours, const Table& theirs, std::size_t first,
            std::size_t count) {
    if (comparison.oursCount != ours.count() || comparison.theirsCount != theirs.count())
        return false;
    const std::size_t end = std::min({first + count, ours.count(), theirs.count()});
    auto& changed = comparison.changed;
    const auto from =
        std::lower_bound(changed.begin(), changed.end(), first,
                         [](const UnitDifference& d, std::size_t u) { return d.unit < u; });
    const auto to =
        std::lower_bound(from, changed.end(), end,
                         [](const UnitDifference& d, std::size_t u) { return d.unit < u; });
    std::vector<UnitDifference> fresh;
    for (std::size_t i = first; i < end; ++i)
        if (auto diff = diffUnit(ours, theirs, comparison.namesCompared, i))
            fresh.push_back(std::move(*diff));
    const auto at = changed.erase(from, to);
    changed.insert(at, std::make_move_iterator(fresh.begin()),
                   std::make_move_iterator(fresh.end()));
    return true;
}

} // namespace

bool UpdateComparison(TableComparison& comparison, const Pg2UnitTable& ours,
                      const Pg2UnitTable& theirs, std::size_t first, std::size_t count) {
    return comparison.game == Game::Pg2 && update(comparison, ours, theirs, first, count);
}

bool UpdateComparison(TableComparison& comparison, const PegUnitTable& ours,
                      const PegUnitTable& theirs, std::size_t first, std::size_t count) {
    return comparison.game == Game::Peg && update(comparison, ours, theirs, first, count);
}

namespace {

std::string unitLine(std::size_t unit, std::uint16_t code, const std::string& name) {
    std::string line = Format("unit %d (code %d)", static_cast<int>(unit), int{code});
    if (!name.empty())
        line += ' ' + name;
    return line;
}

// A text value as a file holds it: UTF-8, without the quotes the comparison shows it in.
std::string textValue(const FieldDef& field, const std::string& shown) {
    if (IsTextField(field) && shown.size() >= 2 && shown.front() == '"' && shown.back() == '"')
        return Utf8From1252(std::string_view(shown).substr(1, shown.size() - 2));
    return Utf8From1252(shown);
}

// A row of the CSV: texts (names, values) guarded against formulas as to-csv guards them.
void appendCsvRow(std::string& out, std::initializer_list<std::string_view> cells) {
    bool first = true;
    for (const std::string_view cell : cells) {
        if (!first)
            out += ',';
        first = false;
        AppendCsvText(out, cell);
    }
    out += "\r\n";
}

template <class Unit> void takeField(Unit& ours, const Unit& theirs, const FieldDef& field) {
    constexpr Game game = gameOf<Unit>();
    if (FindField(game, field.name) != &field || field.kind == FieldKind::Name)
        return;
    if (field.kind == FieldKind::Switch || field.kind == FieldKind::Bit) {
        // Only its bit: the byte carries others.
        if constexpr (game == Game::Pg2)
            SetPg2StoredValue(ours, field, Pg2StoredValue(theirs, field));
        else
            SetPegStoredValue(ours, field, PegStoredValue(theirs, field));
        return;
    }
    FieldSpan span = FieldBytes(game, field);
    // A byte of the country's mask takes the whole mask: one byte of it names no country.
    if (const FieldSpan country = FieldBytes(game, *FindField(game, "country"));
        country.contains(span.offset))
        span = country;
    std::copy_n(theirs.record.bytes.begin() + span.offset, span.count,
                ours.record.bytes.begin() + span.offset);
}

} // namespace

TableComparison ComparePg2Tables(const Pg2UnitTable& ours, const Pg2UnitTable& theirs,
                                 bool compareNames) {
    return compare(ours, theirs, compareNames);
}

TableComparison ComparePegTables(const PegUnitTable& ours, const PegUnitTable& theirs,
                                 bool compareNames) {
    return compare(ours, theirs, compareNames);
}

std::string ComparisonText(const TableComparison& c, const std::string& a, const std::string& b) {
    std::string out;
    out += Format("A: %s (%s, %d units)\n", a.c_str(), GameName(c.game),
                  static_cast<int>(c.oursCount));
    out += Format("B: %s (%s, %d units)\n", b.c_str(), GameName(c.game),
                  static_cast<int>(c.theirsCount));
    if (!c.namesCompared)
        out += "names not compared\n";
    // Names and icon texts are Windows-1252 bytes: the terminal gets them as UTF-8.
    for (const UnitDifference& u : c.changed) {
        out += unitLine(u.unit, u.code, Utf8From1252(u.name)) + '\n';
        for (const FieldDifference& f : u.fields)
            out += Format("  %s: ", f.field->name) + Utf8From1252(f.ours) + " -> " +
                   Utf8From1252(f.theirs) + '\n';
    }
    for (const LoneUnit& u : c.onlyOurs)
        out += "only in A: " + unitLine(u.unit, u.code, Utf8From1252(u.name)) + '\n';
    for (const LoneUnit& u : c.onlyTheirs)
        out += "only in B: " + unitLine(u.unit, u.code, Utf8From1252(u.name)) + '\n';
    out += Counted(static_cast<long long>(c.changed.size()), "unit differs", "units differ") +
           Format(", %d only in A, %d only in B\n", static_cast<int>(c.onlyOurs.size()),
                  static_cast<int>(c.onlyTheirs.size()));
    return out;
}

Bytes ComparisonCsv(const TableComparison& c) {
    std::string out(kUtf8Bom);
    appendCsvRow(out, {"unit", "code", "name", "change", "field", "a", "b"});
    for (const UnitDifference& u : c.changed) {
        const std::string unit = std::to_string(u.unit);
        const std::string code = std::to_string(u.code);
        const std::string name = Utf8From1252(u.name);
        for (const FieldDifference& f : u.fields)
            appendCsvRow(out, {unit, code, name, "changed", f.field->name,
                               textValue(*f.field, f.ours), textValue(*f.field, f.theirs)});
    }
    for (const LoneUnit& u : c.onlyOurs)
        appendCsvRow(out, {std::to_string(u.unit), std::to_string(u.code), Utf8From1252(u.name),
                           "only in A", "", "", ""});
    for (const LoneUnit& u : c.onlyTheirs)
        appendCsvRow(out, {std::to_string(u.unit), std::to_string(u.code), Utf8From1252(u.name),
                           "only in B", "", "", ""});
    return Bytes(out.begin(), out.end());
}

void TakePg2Field(Pg2Unit& ours, const Pg2Unit& theirs, const FieldDef& field) {
    takeField(ours, theirs, field);
}

void TakePegField(PegUnit& ours, const PegUnit& theirs, const FieldDef& field) {
    takeField(ours, theirs, field);
}

} // namespace varnel
