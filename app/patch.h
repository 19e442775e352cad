#pragma once
// A patch: what one step of the edit path changed in a game's table, in bytes. Every command
// computes one and hands it to the document's one door, which applies it, keeps it as the step
// of the undo history, tells the observers what it touched and writes it to the recovery journal.
// Undo applies it backwards; replaying a journal applies it again after checking that the table
// holds the bytes it held when the step was done. Nothing in a patch depends on the rules of the
// fields: it is bytes and names.
//
// The parts are kept one after another in `code` and applied in that order (backwards: the
// other way round, each inverted). Integers are LEB128 varints unless said otherwise; a text is a
// varint length and its bytes; an image is ImageSize(game) bytes (equip/unitimage.h).
//
//   part     body
//   Replace  varint columns; per column: varint offset, varint length, u8 set (0: a list, 1: a
//            map), varint first unit, varint units, then the units after the first (0: varint
//            gaps, each >= 1; 1: varint span and a bit map of span bits over first..), then
//            units x length bytes, old XOR new, unit by unit. Then varint names; per name:
//            varint unit, text before, text after.
//   Insert   varint position, varint n, n images, n texts: units put in before `position`.
//   Remove   the same layout: the units taken out at `position`, as they were.
// A swap (the whole table, the country names, the files of the game) is kept beside the code,
// since it holds what the document will hold afterwards and, once applied, what it held before.

#include "equip/game.h"
#include "equip/tfile.h"
#include "equip/unitimage.h"
#include "equip/unittable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace varnel {

// The other side of a swap: what the document takes in when the patch is applied, and holds
// the document's former state afterwards.
struct SwapSide {
    bool table = false; // the table swaps (it may be absent on either side)
    std::optional<Pg2UnitTable> pg2;
    std::optional<PegUnitTable> peg;
    std::optional<NameTable> countries; // the country names swap
    bool files = false;                 // the three file paths swap
    std::string eFile, namesEFile, tFile;
    // The side's table of the type `Table`.
    template <class Table> std::optional<Table>& tableOf() {
        if constexpr (std::is_same_v<Table, Pg2UnitTable>)
            return pg2;
        else
            return peg;
    }
};

struct Patch {
    enum class Part : std::uint8_t { Replace = 1, Insert = 2, Remove = 3 };
    Bytes code;
    std::unique_ptr<SwapSide> swap;
    bool empty() const { return code.empty() && !swap; }
};

// What applying a patch touched, for the observers.
struct PatchReach {
    bool ok = true;
    bool counted = false; // units were inserted or removed: positions from `first` moved
    std::size_t first = SIZE_MAX;
    std::size_t last = 0; // the last unit whose values or name changed (when first <= last)
    bool touched() const { return first != SIZE_MAX; }
};

// Applies the code of `patch` to `table`, forwards or backwards (the swap is the document's).
// With `check`, each part is first compared with the table (a Replace part's old bytes against
// `hashes`, one per Replace part in order, and its old names; a removed unit against the one in
// the table); on a mismatch, or a part that does not fit the table, the parts applied so far are
// taken back and `ok` is false. With `record`, the hash of each Replace part's old bytes is
// appended to it, as the journal keeps it.
template <class Table>
PatchReach ApplyPatch(Table& table, const Patch& patch, bool forward,
                      const std::vector<std::uint64_t>* check = nullptr,
                      std::vector<std::uint64_t>* record = nullptr);

// Whether `code` is made of whole parts that could be applied to some table of the game: no
// part cut short, no offset past an image. Journal content goes through this before anything.
bool PatchCodeIsWhole(Game g, std::span<const std::uint8_t> code);

// Builds the code of a patch, part after part, from the table as each part finds it.
template <class Table> class PatchBuilder {
  public:
    using Unit = std::remove_cvref_t<decltype(std::declval<Table>().units[0])>;
    // Unit `index` goes from `before` to `after`. Indices of one run of changes ascend; a lower
    // one starts a new part.
    void change(std::size_t index, const Unit& before, std::string_view beforeName,
                const Unit& after, std::string_view afterName);
    // Units `first` .. `first + n - 1` of `from` (with their names) go in at `position`.
    void insert(std::size_t position, const Table& from, std::size_t first, std::size_t n);
    // Units `position` .. `position + n - 1` of `table` come out.
    void remove(std::size_t position, std::size_t n, const Table& table);
    // The patch; the builder is spent.
    Patch finish();

  private:
    struct Column {
        std::vector<std::uint32_t> units;
        Bytes deltas;
    };
    void flush();
    void units(Patch::Part part, std::size_t position, const Table& from, std::size_t first,
               std::size_t n);
    std::vector<std::pair<std::uint32_t, Column>> columns_; // key: offset << 8 | length
    std::vector<std::tuple<std::uint32_t, std::string, std::string>> names_;
    std::size_t lastIndex_ = 0;
    bool open_ = false;
    Bytes code_;
};

// FNV-1a over bytes, fed in pieces; the journal's check of a part's old bytes.
struct PatchHash {
    std::uint64_t value = 1469598103934665603ull;
    void feed(const std::uint8_t* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            value = (value ^ p[i]) * 1099511628211ull;
    }
    void feed(std::string_view s) {
        feed(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
        const std::uint8_t end = 0xFF; // "ab" + "c" differs from "a" + "bc"
        feed(&end, 1);
    }
};

// The hash of a whole table (images and names), or of its absence.
template <class Table> std::uint64_t TableHash(const std::optional<Table>& table);

} // namespace varnel
