// Patches: applied forwards they make the table the command wanted, backwards they give back
// every byte and name; a patch that does not fit the table (a journal's wrong or damaged entry)
// changes nothing; and they stay small.

#include "app/patch.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <random>

namespace varnel {
namespace {

template <class Table> Table numberedTable(std::size_t count, unsigned seed) {
    Table table = test::SizedTable<Table>(count);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < count; ++i) {
        for (auto& b : table.units[i].record.bytes)
            b = static_cast<std::uint8_t>(rng() % 4);
        table.units[i].record.setCode(static_cast<std::uint16_t>(i));
        table.setName(i, "Unit " + std::to_string(i));
    }
    return table;
}

template <class Table> std::vector<std::string> picture(const Table& table) {
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < table.count(); ++i) {
        std::uint8_t image[kMaxImageSize];
        WriteImage(table.units[i], image);
        rows.emplace_back(reinterpret_cast<const char*>(image),
                          ImageSize<typename PatchBuilder<Table>::Unit>());
        rows.back() += "|" + std::string(table.name(i));
    }
    return rows;
}

// A delete's shape: a unit out, the codes after it moved down, a name changed.
template <class Table> Patch deleteLike(const Table& table, std::size_t index) {
    PatchBuilder<Table> builder;
    builder.remove(index, 1, table);
    for (std::size_t k = index + 1; k < table.count(); ++k) {
        auto after = table.units[k];
        after.record.setCode(static_cast<std::uint16_t>(k - 1));
        builder.change(k - 1, table.units[k], table.name(k), after,
                       k == index + 1 ? std::string_view("Renamed") : table.name(k));
    }
    return builder.finish();
}

template <class Table> void roundTrip() {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        const Table original = numberedTable<Table>(40, seed);
        Table table = original;
        std::mt19937 rng(seed);
        // Random parts: changes, units in, units out.
        PatchBuilder<Table> builder;
        Table expected = original;
        for (int part = 0; part < 6; ++part) {
            const int kind = static_cast<int>(rng() % 3);
            if (kind == 0) {
                for (std::size_t i = rng() % 5; i < expected.count(); i += 1 + rng() % 7) {
                    auto after = expected.units[i];
                    after.record.bytes[rng() % after.record.bytes.size()] ^= 0x5A;
                    const std::string name =
                        rng() % 2 ? "Changed " + std::to_string(i) : std::string(expected.name(i));
                    builder.change(i, expected.units[i], expected.name(i), after, name);
                    expected.units[i] = after;
                    expected.setName(i, name);
                }
            } else if (kind == 1) {
                const Table added = numberedTable<Table>(1 + rng() % 3, seed * 7 + part);
                const std::size_t at = rng() % (expected.count() + 1);
                builder.insert(at, added, 0, added.count());
                for (std::size_t k = 0; k < added.count(); ++k) {
                    expected.units.insert(expected.units.begin() + at + k, added.units[k]);
                    expected.setName(at + k, added.name(k));
                }
            } else if (expected.count() > 3) {
                const std::size_t at = rng() % (expected.count() - 2);
                builder.remove(at, 2, expected);
                expected.units.erase(expected.units.begin() + at, expected.units.begin() + at + 2);
            }
        }
        const Patch patch = builder.finish();
        std::vector<std::uint64_t> hashes;
        ASSERT_TRUE(ApplyPatch(table, patch, true, nullptr, &hashes).ok);
        EXPECT_EQ(picture(table), picture(expected));
        ASSERT_TRUE(ApplyPatch(table, patch, false).ok);
        EXPECT_EQ(picture(table), picture(original));
        // As a journal replays it: checked against the hashes taken when it was done.
        ASSERT_TRUE(ApplyPatch(table, patch, true, &hashes).ok);
        EXPECT_EQ(picture(table), picture(expected));
    }
}

TEST(Patch, ForwardsMakesTheTableAndBackwardsGivesItBack) {
    roundTrip<Pg2UnitTable>();
    roundTrip<PegUnitTable>();
}

TEST(Patch, AStepThatDoesNotFitChangesNothing) {
    const PegUnitTable original = numberedTable<PegUnitTable>(20, 3);
    const Patch patch = deleteLike(original, 4);
    std::vector<std::uint64_t> hashes;
    {
        PegUnitTable table = original;
        ASSERT_TRUE(ApplyPatch(table, patch, true, nullptr, &hashes).ok);
    }
    struct Case {
        const char* name;
        std::function<void(PegUnitTable&)> damage;
        std::vector<std::uint64_t> hashes;
    };
    const std::vector<Case> cases = {
        {"a byte the patch changes differs", [](PegUnitTable& t) { t.units[9].record[0] ^= 1; },
         hashes},
        {"the unit to remove differs", [](PegUnitTable& t) { t.units[4].record[7] ^= 1; }, hashes},
        {"the name to change differs", [](PegUnitTable& t) { t.setName(5, "Other"); }, hashes},
        {"the table is shorter", [](PegUnitTable& t) { t.units.resize(10); }, hashes},
        {"the hashes are missing", [](PegUnitTable&) {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PegUnitTable table = original;
        c.damage(table);
        const auto before = picture(table);
        EXPECT_FALSE(ApplyPatch(table, patch, true, &c.hashes).ok);
        // The remove that came first was taken back with the rest.
        EXPECT_EQ(picture(table), before);
    }
}

TEST(Patch, CodeCutAnywhereIsRefusedWhole) {
    const PegUnitTable table = numberedTable<PegUnitTable>(12, 5);
    const Patch patch = deleteLike(table, 2);
    ASSERT_TRUE(PatchCodeIsWhole(Game::Peg, patch.code));
    // The remove part is 1 + 1 + 1 + image + name bytes long: a cut just after it is whole.
    const std::size_t removePart = 3 + peg::kImageSize + 1 + table.name(2).size();
    for (std::size_t cut = 1; cut < patch.code.size(); ++cut) {
        const std::span<const std::uint8_t> part(patch.code.data(), cut);
        EXPECT_EQ(PatchCodeIsWhole(Game::Peg, part), cut == removePart) << cut;
    }
    // A PeG patch read as PG2 (another image size) is no patch.
    EXPECT_FALSE(PatchCodeIsWhole(Game::Pg2, patch.code));
    PegUnitTable applied = table;
    Patch cut;
    cut.code.assign(patch.code.begin(), patch.code.end() - 1);
    EXPECT_FALSE(ApplyPatch(applied, cut, true).ok);
    EXPECT_EQ(picture(applied), picture(table));
}

TEST(Patch, AColumnChangedEverywhereKeepsUnderTwoBytesAUnit) {
    PegUnitTable table = test::SizedTable<PegUnitTable>(kMaxUnits);
    PatchBuilder<PegUnitTable> builder;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < table.count(); ++i) {
        if (i % 97 == 0)
            continue; // a few keep their cost
        PegUnit after = table.units[i];
        after.record[peg::Cost] = static_cast<std::uint8_t>(i % 200 + 1);
        builder.change(i, table.units[i], {}, after, {});
        ++changed;
    }
    const Patch patch = builder.finish();
    EXPECT_LT(patch.code.size(), 2 * changed);
    ASSERT_TRUE(ApplyPatch(table, patch, true).ok);
    EXPECT_EQ(table.units[5].record[peg::Cost], 6);
    EXPECT_EQ(table.units[97].record[peg::Cost], 0);
}

} // namespace
} // namespace varnel
