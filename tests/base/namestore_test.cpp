// The names of a table live in one store: refs into it must stay right through edits, clones,
// deletes, compaction, conversion and loading, and a ref must never read outside the store.

#include "base/namestore.h"
#include "convert/conversion.h"
#include "equip/efile.h"

#include <gtest/gtest.h>

#include <string>

using namespace varnel;

namespace {

Bytes AsBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

template <class Table> std::vector<std::string> NamesOf(const Table& table) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < table.count(); ++i)
        names.emplace_back(table.name(i));
    return names;
}

} // namespace

TEST(NameStore, RefsOutsideTheBufferReadAsEmpty) {
    NameStore store(AsBytes("abcdef"));
    EXPECT_EQ(store.view({1, 3}), "bcd");
    EXPECT_EQ(store.view({0, 6}), "abcdef");
    EXPECT_EQ(store.view({6, 0}), "");
    EXPECT_EQ(store.view({4, 3}), "") << "runs past the end";
    EXPECT_EQ(store.view({7, 0}), "");
    EXPECT_EQ(store.view({1, SIZE_MAX}), "") << "a length that would wrap the end";
    EXPECT_EQ(store.view({SIZE_MAX, 2}), "");
    EXPECT_EQ(store.add("").length, 0u);
    EXPECT_EQ(store.size(), 6u) << "an empty name takes no bytes";
}

TEST(NameStore, AddingAViewOfItselfSurvivesTheBufferMoving) {
    NameStore store;
    NameRef first = store.add("Tiger I Ausf. E");
    // Each add of its own bytes may reallocate while copying from them.
    for (int i = 0; i < 200; ++i)
        first = store.add(store.view(first));
    EXPECT_EQ(store.view(first), "Tiger I Ausf. E");
    EXPECT_EQ(store.size(), 201u * 15u);
}

TEST(UnitTableNames, EditingACloneLeavesTheOriginal) {
    Pg2UnitTable table;
    table.units.resize(1);
    table.setName(0, "Panther D");
    table.units.push_back(table.units[0]); // as clone copies a unit: the ref is shared
    EXPECT_EQ(table.name(1), "Panther D");
    table.setName(1, "Panther G");
    EXPECT_EQ(table.name(0), "Panther D");
    EXPECT_EQ(table.name(1), "Panther G");
}

TEST(UnitTableNames, RepeatedEditsCompactAndKeepEveryName) {
    PegUnitTable table;
    table.units.resize(100);
    for (std::size_t i = 0; i < table.count(); ++i)
        table.setName(i, "unit " + std::to_string(i));
    table.units.push_back(table.units[7]); // a shared ref must come through compaction
    const std::string longName(300, 'x');
    std::size_t largest = 0;
    for (int round = 0; round < 2000; ++round) {
        table.setName(static_cast<std::size_t>(round % 50), longName + std::to_string(round));
        largest = std::max(largest, table.names.size());
    }
    // 50 live names of about 303 bytes and 50 short ones: dead bytes must not pile up.
    EXPECT_LT(largest, 4 * kMinNameCompactBytes);
    for (std::size_t i = 0; i < 50; ++i)
        EXPECT_EQ(table.name(i), longName + std::to_string(1950 + i)) << i;
    for (std::size_t i = 50; i < 100; ++i)
        EXPECT_EQ(table.name(i), "unit " + std::to_string(i));
    EXPECT_EQ(table.name(100), "unit 7");
}

TEST(UnitTableNames, DeletedUnitsBytesAreDroppedOnCompaction) {
    Pg2UnitTable table;
    table.units.resize(1000);
    for (std::size_t i = 0; i < table.count(); ++i)
        table.setName(i, std::string(100, static_cast<char>('A' + i % 26)));
    table.units.erase(table.units.begin() + 1, table.units.end());
    table.compactNames();
    EXPECT_EQ(table.names.size(), 100u);
    EXPECT_EQ(table.name(0), std::string(100, 'A'));
}

TEST(AdoptNames, TakesTheLinesAsTheyAre) {
    Pg2UnitTable table;
    table.units.resize(5);
    AdoptPg2Names(table, AsBytes("one\r\n\r\ntwo \xE9\t\nlast without end"));
    EXPECT_EQ(NamesOf(table),
              (std::vector<std::string>{"one", "", "two \xE9\t", "last without end", ""}));

    // More lines than units: the store keeps only what the units name.
    PegUnitTable peg;
    peg.units.resize(2);
    AdoptPegNames(peg, AsBytes("a\r\nbb\r\n" + std::string(100000, 'z') + "\r\n"));
    EXPECT_EQ(NamesOf(peg), (std::vector<std::string>{"a", "bb"}));
    EXPECT_EQ(peg.names.size(), 5u) << "up to the end of \"bb\"";

    // No names file at all, and a lone CR that is part of a name, not a line end.
    AdoptPegNames(peg, Bytes());
    EXPECT_EQ(NamesOf(peg), (std::vector<std::string>{"", ""}));
    AdoptPegNames(peg, AsBytes("x\ry\r\r\n"));
    EXPECT_EQ(peg.name(0), "x\ry\r");
}

TEST(AdoptNames, WrittenBackByteForByte) {
    const std::string names = "Pz IVF2\r\nChar B1 bis\r\n\r\n\xFF\xE9\r\n";
    PegUnitTable table;
    table.units.resize(4);
    AdoptPegNames(table, AsBytes(names));
    EXPECT_EQ(WriteNamesFile(table), AsBytes(names));
    table.setName(1, "Somua S35");
    EXPECT_EQ(WriteNamesFile(table), AsBytes("Pz IVF2\r\nSomua S35\r\n\r\n\xFF\xE9\r\n"));
}

TEST(ConvertedNames, AreACopyOfThePg2Names) {
    Pg2UnitTable pg2;
    pg2.units.resize(3);
    AdoptPg2Names(pg2, AsBytes("Sherman\r\nFirefly\r\nStuart\r\n"));
    PegUnitTable peg = ConvertPg2Table(pg2);
    EXPECT_EQ(NamesOf(peg), NamesOf(pg2));
    peg.setName(1, "M1A1");
    EXPECT_EQ(pg2.name(1), "Firefly");
    EXPECT_EQ(peg.name(1), "M1A1");
}
