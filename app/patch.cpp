#include "app/patch.h"

#include <algorithm>
#include <cstring>

namespace varnel {

namespace {

void putVarint(Bytes& out, std::uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

std::size_t varintSize(std::uint64_t v) {
    std::size_t n = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++n;
    }
    return n;
}

void putText(Bytes& out, std::string_view text) {
    putVarint(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
}

// Reads a part's fields; any read past the end (or a varint over 64 bits) fails the reader.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::size_t offset() const { return pos_; }
    std::uint64_t varint() {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (pos_ >= bytes_.size())
                return fail();
            const std::uint8_t b = bytes_[pos_++];
            v |= std::uint64_t{b & 0x7Fu} << shift;
            if ((b & 0x80) == 0)
                return v;
        }
        return fail();
    }
    std::uint8_t u8() {
        if (pos_ >= bytes_.size())
            return static_cast<std::uint8_t>(fail());
        return bytes_[pos_++];
    }
    const std::uint8_t* take(std::uint64_t n) {
        if (!ok_ || n > bytes_.size() - pos_) {
            fail();
            return nullptr;
        }
        const std::uint8_t* p = bytes_.data() + pos_;
        pos_ += static_cast<std::size_t>(n);
        return p;
    }
    std::string_view text() {
        const std::uint64_t n = varint();
        const std::uint8_t* p = take(n);
        return p ? std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
                 : std::string_view();
    }

  private:
    std::uint64_t fail() {
        ok_ = false;
        pos_ = bytes_.size();
        return 0;
    }
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

struct PartView {
    Patch::Part kind;
    std::span<const std::uint8_t> body;
};

// One column of a Replace part, read: which units, and where their deltas lie.
struct ColumnView {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::uint8_t set = 0;
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    std::span<const std::uint8_t> unitBytes; // the gaps or the map
    std::uint64_t span = 0;                  // of the map
    const std::uint8_t* deltas = nullptr;
};

// Calls f(unit, k) for the units of a column in order; false when the set is malformed.
template <class F> bool forEachUnit(const ColumnView& c, F&& f) {
    if (c.set == 0) {
        Reader r(c.unitBytes);
        std::uint64_t unit = c.first;
        for (std::uint64_t k = 0; k < c.count; ++k) {
            if (k > 0) {
                const std::uint64_t gap = r.varint();
                if (!r.ok() || gap == 0 || gap > kMaxUnits)
                    return false;
                unit += gap;
            }
            if (!f(unit, k))
                return false;
        }
        return r.atEnd();
    }
    std::uint64_t k = 0;
    for (std::uint64_t bit = 0; bit < c.span; ++bit) {
        if ((c.unitBytes[bit / 8] >> (bit % 8)) & 1u) {
            if (k >= c.count || !f(c.first + bit, k))
                return false;
            ++k;
        }
    }
    return k == c.count;
}

bool readColumn(Reader& r, std::size_t imageSize, ColumnView& c) {
    c.offset = static_cast<std::size_t>(r.varint());
    c.length = static_cast<std::size_t>(r.varint());
    c.set = r.u8();
    c.first = r.varint();
    c.count = r.varint();
    if (!r.ok() || c.length == 0 || c.offset >= imageSize || c.length > imageSize - c.offset ||
        c.set > 1 || c.count == 0 || c.count > kMaxUnits || c.first >= kMaxUnits)
        return false;
    if (c.set == 0) {
        for (std::uint64_t k = 1; k < c.count && r.ok(); ++k)
            r.varint();
        if (!r.ok())
            return false;
    } else {
        c.span = r.varint();
        if (!r.ok() || c.span == 0 || c.span > kMaxUnits)
            return false;
        const std::uint8_t* map = r.take((c.span + 7) / 8);
        if (!map)
            return false;
        c.unitBytes = {map, static_cast<std::size_t>((c.span + 7) / 8)};
    }
    c.deltas = r.take(c.count * c.length);
    return c.deltas != nullptr;
}

// Splits `code` into its parts; nothing when a part is cut short or unknown.
std::optional<std::vector<PartView>> splitParts(std::span<const std::uint8_t> code,
                                                std::size_t imageSize) {
    std::vector<PartView> parts;
    Reader r(code);
    while (!r.atEnd()) {
        const auto kind = static_cast<Patch::Part>(r.u8());
        const std::size_t start = r.offset();
        if (kind == Patch::Part::Replace) {
            const std::uint64_t columns = r.varint();
            if (!r.ok() || columns > imageSize)
                return std::nullopt;
            for (std::uint64_t c = 0; c < columns; ++c) {
                ColumnView column;
                if (!readColumn(r, imageSize, column))
                    return std::nullopt;
            }
            const std::uint64_t names = r.varint();
            if (!r.ok() || names > kMaxUnits)
                return std::nullopt;
            for (std::uint64_t n = 0; n < names && r.ok(); ++n) {
                r.varint();
                r.text();
                r.text();
            }
        } else if (kind == Patch::Part::Insert || kind == Patch::Part::Remove) {
            r.varint();
            const std::uint64_t n = r.varint();
            if (!r.ok() || n == 0 || n > kMaxUnits)
                return std::nullopt;
            r.take(n * imageSize);
            for (std::uint64_t k = 0; k < n && r.ok(); ++k)
                r.text();
        } else {
            return std::nullopt;
        }
        if (!r.ok())
            return std::nullopt;
        parts.push_back({kind, code.subspan(start, r.offset() - start)});
    }
    return parts;
}

template <class Table> using UnitOfTable = typename PatchBuilder<Table>::Unit;

template <class Table>
bool applyReplace(Table& table, std::span<const std::uint8_t> body, bool forward,
                  std::optional<std::uint64_t> expected, std::uint64_t* recorded,
                  PatchReach& reach) {
    using Unit = UnitOfTable<Table>;
    constexpr std::size_t kImage = ImageSize<Unit>();
    const std::size_t count = table.count();
    // Columns whose unit sets are lists keep their gaps inline: read each column's layout first.
    struct Col {
        ColumnView view;
        std::span<const std::uint8_t> gaps;
    };
    std::vector<Col> cols;
    Reader r(body);
    const std::uint64_t columns = r.varint();
    for (std::uint64_t c = 0; c < columns; ++c) {
        Col col;
        col.view.offset = static_cast<std::size_t>(r.varint());
        col.view.length = static_cast<std::size_t>(r.varint());
        col.view.set = r.u8();
        col.view.first = r.varint();
        col.view.count = r.varint();
        if (!r.ok() || col.view.length == 0 || col.view.offset >= kImage ||
            col.view.length > kImage - col.view.offset || col.view.count == 0)
            return false;
        if (col.view.set == 0) {
            const std::size_t start = r.offset();
            for (std::uint64_t k = 1; k < col.view.count && r.ok(); ++k)
                r.varint();
            col.view.unitBytes = body.subspan(start, r.offset() - start);
        } else {
            col.view.span = r.varint();
            const std::uint8_t* map = r.take((col.view.span + 7) / 8);
            if (!map)
                return false;
            col.view.unitBytes = {map, static_cast<std::size_t>((col.view.span + 7) / 8)};
        }
        col.view.deltas = r.take(col.view.count * col.view.length);
        if (!r.ok())
            return false;
        cols.push_back(col);
    }
    const std::uint64_t nameCount = r.varint();
    struct NameChange {
        std::uint64_t unit;
        std::string_view before, after;
    };
    std::vector<NameChange> names;
    for (std::uint64_t n = 0; n < nameCount && r.ok(); ++n) {
        NameChange change;
        change.unit = r.varint();
        change.before = r.text();
        change.after = r.text();
        names.push_back(change);
    }
    if (!r.ok() || !r.atEnd())
        return false;

    // Every unit must lie in the table before anything changes; the old bytes are hashed then.
    PatchHash hash;
    const bool hashing = expected.has_value() || recorded != nullptr;
    std::uint8_t image[kMaxImageSize];
    for (const Col& col : cols) {
        const bool fits = forEachUnit(col.view, [&](std::uint64_t unit, std::uint64_t k) {
            if (unit >= count)
                return false;
            if (hashing) {
                WriteImage(table.units[unit], image);
                std::uint8_t* p = image + col.view.offset;
                if (!forward)
                    for (std::size_t b = 0; b < col.view.length; ++b)
                        p[b] ^= col.view.deltas[k * col.view.length + b];
                hash.feed(p, col.view.length);
            }
            return true;
        });
        if (!fits)
            return false;
    }
    for (const NameChange& change : names) {
        if (change.unit >= count)
            return false;
        if (expected && table.name(change.unit) != (forward ? change.before : change.after))
            return false;
    }
    if (expected && hash.value != *expected)
        return false;
    if (recorded)
        *recorded = hash.value;

    for (const Col& col : cols) {
        forEachUnit(col.view, [&](std::uint64_t unit, std::uint64_t k) {
            Unit& u = table.units[unit];
            WriteImage(u, image);
            for (std::size_t b = 0; b < col.view.length; ++b)
                image[col.view.offset + b] ^= col.view.deltas[k * col.view.length + b];
            ReadImage(image, u);
            reach.first = std::min<std::size_t>(reach.first, unit);
            reach.last = std::max<std::size_t>(reach.last, unit);
            return true;
        });
    }
    for (const NameChange& change : names) {
        table.setName(change.unit, forward ? change.after : change.before);
        reach.first = std::min<std::size_t>(reach.first, change.unit);
        reach.last = std::max<std::size_t>(reach.last, change.unit);
    }
    return true;
}

// Units of an Insert or Remove body go in (`in`) or come out.
template <class Table>
bool applyUnits(Table& table, std::span<const std::uint8_t> body, bool in, bool check,
                PatchReach& reach) {
    using Unit = UnitOfTable<Table>;
    constexpr std::size_t kImage = ImageSize<Unit>();
    Reader r(body);
    const std::uint64_t position = r.varint();
    const std::uint64_t n = r.varint();
    const std::uint8_t* images = r.take(n * kImage);
    if (!r.ok())
        return false;
    const std::size_t count = table.count();
    if (in ? (position > count || n > kMaxUnits - count)
           : (position > count || n > count - position))
        return false;
    const auto at = static_cast<std::size_t>(position);
    const auto many = static_cast<std::size_t>(n);
    if (in) {
        table.units.insert(table.units.begin() + static_cast<std::ptrdiff_t>(at), many, Unit{});
        for (std::size_t k = 0; k < many; ++k) {
            ReadImage(images + k * kImage, table.units[at + k]);
            table.setName(at + k, r.text());
        }
    } else {
        if (check) {
            std::uint8_t image[kMaxImageSize];
            for (std::size_t k = 0; k < many; ++k) {
                WriteImage(table.units[at + k], image);
                if (std::memcmp(image, images + k * kImage, kImage) != 0 ||
                    table.name(at + k) != r.text())
                    return false;
            }
        }
        table.units.erase(table.units.begin() + static_cast<std::ptrdiff_t>(at),
                          table.units.begin() + static_cast<std::ptrdiff_t>(at + many));
    }
    reach.counted = true;
    reach.first = std::min(reach.first, at);
    return true;
}

template <class Table>
bool applyPart(Table& table, const PartView& part, bool forward,
               std::optional<std::uint64_t> expected, std::uint64_t* recorded, bool check,
               PatchReach& reach) {
    switch (part.kind) {
    case Patch::Part::Replace:
        return applyReplace(table, part.body, forward, expected, recorded, reach);
    case Patch::Part::Insert:
        return applyUnits(table, part.body, forward, check, reach);
    case Patch::Part::Remove:
        return applyUnits(table, part.body, !forward, check, reach);
    }
    return false;
}

} // namespace

template <class Table>
PatchReach ApplyPatch(Table& table, const Patch& patch, bool forward,
                      const std::vector<std::uint64_t>* check, std::vector<std::uint64_t>* record) {
    using Unit = UnitOfTable<Table>;
    PatchReach reach;
    const auto parts = splitParts(patch.code, ImageSize<Unit>());
    if (!parts) {
        reach.ok = false;
        return reach;
    }
    const std::size_t n = parts->size();
    std::size_t replaceIndex = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const PartView& part = (*parts)[forward ? i : n - 1 - i];
        std::optional<std::uint64_t> expected;
        std::uint64_t recorded = 0;
        const bool isReplace = part.kind == Patch::Part::Replace;
        const bool unchecked = isReplace && check && replaceIndex >= check->size();
        if (isReplace && check && !unchecked)
            expected = (*check)[replaceIndex];
        if (unchecked ||
            !applyPart(table, part, forward, expected, isReplace && record ? &recorded : nullptr,
                       check != nullptr, reach)) {
            reach.ok = false;
            // What this patch did so far is taken back: the table is as it was.
            PatchReach ignored;
            for (std::size_t j = i; j-- > 0;)
                applyPart(table, (*parts)[forward ? j : n - 1 - j], !forward, std::nullopt, nullptr,
                          false, ignored);
            return reach;
        }
        if (isReplace) {
            ++replaceIndex;
            if (record)
                record->push_back(recorded);
        }
    }
    return reach;
}

bool PatchCodeIsWhole(Game g, std::span<const std::uint8_t> code) {
    return splitParts(code, ImageSize(g)).has_value();
}

template <class Table>
void PatchBuilder<Table>::change(std::size_t index, const Unit& before, std::string_view beforeName,
                                 const Unit& after, std::string_view afterName) {
    if (open_ && index <= lastIndex_)
        flush();
    open_ = true;
    lastIndex_ = index;
    constexpr std::size_t kImage = ImageSize<Unit>();
    std::uint8_t a[kMaxImageSize];
    std::uint8_t b[kMaxImageSize];
    WriteImage(before, a);
    WriteImage(after, b);
    for (std::size_t at = 0; at < kImage;) {
        if (a[at] == b[at]) {
            ++at;
            continue;
        }
        std::size_t end = at + 1;
        while (end < kImage && a[end] != b[end])
            ++end;
        const auto key = static_cast<std::uint32_t>(at << 8 | (end - at));
        auto it = std::find_if(columns_.begin(), columns_.end(),
                               [&](const auto& c) { return c.first == key; });
        if (it == columns_.end()) {
            columns_.emplace_back(key, Column{});
            it = columns_.end() - 1;
        }
        it->second.units.push_back(static_cast<std::uint32_t>(index));
        for (std::size_t k = at; k < end; ++k)
            it->second.deltas.push_back(static_cast<std::uint8_t>(a[k] ^ b[k]));
        at = end;
    }
    if (beforeName != afterName)
        names_.emplace_back(static_cast<std::uint32_t>(index), std::string(beforeName),
                            std::string(afterName));
}

template <class Table> void PatchBuilder<Table>::flush() {
    open_ = false;
    if (columns_.empty() && names_.empty())
        return;
    code_.push_back(static_cast<std::uint8_t>(Patch::Part::Replace));
    putVarint(code_, columns_.size());
    for (const auto& [key, column] : columns_) {
        const std::vector<std::uint32_t>& units = column.units;
        putVarint(code_, key >> 8);
        putVarint(code_, key & 0xFF);
        // A list of gaps for scattered units, a bit map for dense ones: whichever is shorter.
        std::size_t listSize = 0;
        for (std::size_t k = 1; k < units.size(); ++k)
            listSize += varintSize(units[k] - units[k - 1]);
        const std::uint64_t span = std::uint64_t{units.back()} - units.front() + 1;
        const std::size_t mapSize = varintSize(span) + static_cast<std::size_t>((span + 7) / 8);
        const bool map = mapSize < listSize;
        code_.push_back(map ? 1 : 0);
        putVarint(code_, units.front());
        putVarint(code_, units.size());
        if (map) {
            putVarint(code_, span);
            const std::size_t at = code_.size();
            code_.resize(at + static_cast<std::size_t>((span + 7) / 8), 0);
            for (std::uint32_t unit : units) {
                const std::uint32_t bit = unit - units.front();
                code_[at + bit / 8] =
                    static_cast<std::uint8_t>(code_[at + bit / 8] | (1u << (bit % 8)));
            }
        } else {
            for (std::size_t k = 1; k < units.size(); ++k)
                putVarint(code_, units[k] - units[k - 1]);
        }
        code_.insert(code_.end(), column.deltas.begin(), column.deltas.end());
    }
    putVarint(code_, names_.size());
    for (const auto& [unit, before, after] : names_) {
        putVarint(code_, unit);
        putText(code_, before);
        putText(code_, after);
    }
    columns_.clear();
    names_.clear();
}

template <class Table>
void PatchBuilder<Table>::units(Patch::Part part, std::size_t position, const Table& from,
                                std::size_t first, std::size_t n) {
    flush();
    if (n == 0)
        return;
    constexpr std::size_t kImage = ImageSize<Unit>();
    code_.push_back(static_cast<std::uint8_t>(part));
    putVarint(code_, position);
    putVarint(code_, n);
    const std::size_t at = code_.size();
    code_.resize(at + n * kImage);
    for (std::size_t k = 0; k < n; ++k)
        WriteImage(from.units[first + k], code_.data() + at + k * kImage);
    for (std::size_t k = 0; k < n; ++k)
        putText(code_, from.name(first + k));
}

template <class Table>
void PatchBuilder<Table>::insert(std::size_t position, const Table& from, std::size_t first,
                                 std::size_t n) {
    units(Patch::Part::Insert, position, from, first, n);
}

template <class Table>
void PatchBuilder<Table>::remove(std::size_t position, std::size_t n, const Table& table) {
    units(Patch::Part::Remove, position, table, position, n);
}

template <class Table> Patch PatchBuilder<Table>::finish() {
    flush();
    Patch patch;
    code_.shrink_to_fit();
    patch.code = std::move(code_);
    code_ = {};
    return patch;
}

template <class Table> std::uint64_t TableHash(const std::optional<Table>& table) {
    PatchHash hash;
    if (!table)
        return hash.value ^ 1;
    std::uint8_t image[kMaxImageSize];
    for (std::size_t i = 0; i < table->count(); ++i) {
        WriteImage(table->units[i], image);
        hash.feed(image, ImageSize<UnitOfTable<Table>>());
        hash.feed(table->name(i));
    }
    return hash.value;
}

template PatchReach ApplyPatch(Pg2UnitTable&, const Patch&, bool, const std::vector<std::uint64_t>*,
                               std::vector<std::uint64_t>*);
template PatchReach ApplyPatch(PegUnitTable&, const Patch&, bool, const std::vector<std::uint64_t>*,
                               std::vector<std::uint64_t>*);
template class PatchBuilder<Pg2UnitTable>;
template class PatchBuilder<PegUnitTable>;
template std::uint64_t TableHash(const std::optional<Pg2UnitTable>&);
template std::uint64_t TableHash(const std::optional<PegUnitTable>&);

} // namespace varnel
