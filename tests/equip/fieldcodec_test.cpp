#include "base/csvtext.h"
#include "equip/fieldtable.h"

#include <gtest/gtest.h>

#include <random>

#include <string>
#include <vector>

namespace varnel {
namespace {

const FieldDef& row(Game game, const char* name) {
    const FieldDef* f = FindField(game, name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
}

NameTable Countries(Game game) {
    NameTable names(CountryCount(game));
    names.setName(0, "None");
    names.setName(1, "Germany");
    names.setName(2, "Sov. Union");
    names.setCount(CountryCount(game));
    return names;
}

// Values a row can hold: the ends of its range and one inside, as stored numbers or texts.
std::vector<FieldValue> SampleValues(const FieldDef& f) {
    switch (f.kind) {
    case FieldKind::Name:
        return {{0, ""}, {0, "Tiger I"}, {0, "=1+1"}, {0, "Panzerj\xE4ger"}, {0, "@x"}};
    case FieldKind::Icon:
        return {{0, ""}, {0, "0123"}, {0, "-TANK"}, {0, "ABCDEF"}};
    case FieldKind::Switch:
    case FieldKind::Bit:
        return {{0, {}}, {1, {}}};
    case FieldKind::AnyInteger:
        return {{0, {}}, {255, {}}};
    default: {
        const int top = (f.maxShown - f.base) / f.scale;
        return {{0, {}}, {top / 2, {}}, {top, {}}};
    }
    }
}

// Every row of both games comes back from each style it is written in as the value it was.
TEST(FieldCodec, EveryRowRoundTripsThroughEveryReadableStyle) {
    for (const Game game : {Game::Pg2, Game::Peg}) {
        const NameTable countries = Countries(game);
        for (const FieldDef& f : FieldTable(game)) {
            if (f.readOnly)
                continue;
            for (const FieldValue& v : SampleValues(f))
                for (const FieldStyle style :
                     {FieldStyle::Form, FieldStyle::Cell, FieldStyle::Csv, FieldStyle::Report}) {
                    const std::string text = FormatValue(f, v, style, &countries);
                    const ParsedValue back = ParseValue(f, text, style, &countries);
                    ASSERT_TRUE(back.ok) << f.name << " '" << text << "': " << back.message;
                    EXPECT_EQ(back.value, v)
                        << f.name << " style " << static_cast<int>(style) << " '" << text << "'";
                }
        }
    }
}

TEST(FieldCodec, WritesEachStyle) {
    const NameTable countries = Countries(Game::Pg2);
    const struct {
        Game game;
        const char* field;
        FieldValue value;
        FieldStyle style;
        const char* text;
    } cases[] = {
        {Game::Pg2, "yearAvaible", {43, {}}, FieldStyle::Form, "1943"},
        {Game::Pg2, "yearAvaible", {43, {}}, FieldStyle::Report, "43"},
        {Game::Peg, "yearAvaible", {5, {}}, FieldStyle::Csv, "2005"},
        {Game::Pg2, "cost", {20, {}}, FieldStyle::Cell, "240"},
        {Game::Peg, "cost", {20, {}}, FieldStyle::Report, "20"},
        {Game::Pg2, "class", {3, {}}, FieldStyle::Form, "3"},
        {Game::Pg2, "class", {3, {}}, FieldStyle::Diff, "3 (Recon)"},
        {Game::Pg2, "montAvaible", {0, {}}, FieldStyle::Diff, "0 (not set)"},
        {Game::Pg2, "montAvaible", {5, {}}, FieldStyle::Cell, "May"},
        {Game::Pg2, "moveMode", {1, {}}, FieldStyle::Diff, "1 (Air)"},
        {Game::Pg2, "class", {99, {}}, FieldStyle::Cell, "99"}, // a code the list lacks
        {Game::Pg2, "country", {1, {}}, FieldStyle::Cell, "1  Germany"},
        {Game::Pg2, "country", {1, {}}, FieldStyle::Diff, "1"},
        {Game::Pg2, "bridge", {1, {}}, FieldStyle::Csv, "1"},
        {Game::Pg2, "denomination", {0, "=HYPERLINK(1)"}, FieldStyle::Csv, "'=HYPERLINK(1)"},
        {Game::Pg2, "denomination", {0, "J\xE4ger"}, FieldStyle::Csv, "J\xC3\xA4ger"},
        {Game::Pg2, "denomination", {0, "J\xE4ger"}, FieldStyle::Form, "J\xE4ger"},
        {Game::Pg2, "denomination", {0, "Tiger"}, FieldStyle::Diff, "\"Tiger\""},
        {Game::Pg2, "icon", {0, "-T"}, FieldStyle::Csv, "'-T"},
        {Game::Pg2, "icon", {0, "-T"}, FieldStyle::Report, "-T"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatValue(row(c.game, c.field), c.value, c.style, &countries), c.text)
            << c.field;
}

TEST(FieldCodec, ReadsOrRefuses) {
    const NameTable countries = Countries(Game::Pg2);
    const struct {
        Game game;
        const char* field;
        const char* text;
        FieldStyle style;
        int stored;          // when taken
        const char* refusal; // "" when taken
    } cases[] = {
        // Years that would wrap in the byte.
        {Game::Pg2, "yearAvaible", "1899", FieldStyle::Form, 0,
         "Please enter an integer between 1900 and 2155."},
        {Game::Pg2, "yearAvaible", "39", FieldStyle::Csv, 0,
         "Please enter an integer between 1900 and 2155."},
        {Game::Peg, "yearAvaible", "1999", FieldStyle::Csv, 0,
         "Please enter an integer between 2000 and 2255."},
        {Game::Pg2, "yearAvaible", " +1943 ", FieldStyle::Form, 43, ""},
        // Costs between two stored values name the two.
        {Game::Pg2, "cost", "227", FieldStyle::Csv, 0,
         "Please enter a multiple of 12, such as 216 or 228."},
        {Game::Peg, "cost", "15", FieldStyle::Cell, 0,
         "Please enter a multiple of 10, such as 10 or 20."},
        {Game::Pg2, "cost", "3072", FieldStyle::Form, 0,
         "Please enter an integer between 0 and 3060."},
        // The report holds stored bytes; shown values are refused there.
        {Game::Pg2, "cost", "72", FieldStyle::Report, 72, ""},
        {Game::Pg2, "cost", "864", FieldStyle::Report, 0,
         "Please enter an integer between 0 and 255."},
        // Numbers a spreadsheet or a person may write.
        {Game::Pg2, "airAtk", "1E5", FieldStyle::Csv, 0, "Please enter an integer."},
        {Game::Pg2, "airAtk", "12.0", FieldStyle::Csv, 0, "Please enter an integer."},
        {Game::Pg2, "airAtk", "", FieldStyle::Form, 0, "Please enter an integer."},
        {Game::Pg2, "airAtk", "99999999999", FieldStyle::Form, 0, "Please enter an integer."},
        {Game::Pg2, "atkMel", "100", FieldStyle::Form, 0,
         "Please enter an integer between 0 and 99."},
        {Game::Peg, "byte55", "-1", FieldStyle::Form, 255, ""}, // its box keeps the low 8 bits
        // Drop-downs by number, words or both, in any case.
        {Game::Pg2, "class", "recon", FieldStyle::Csv, 3, ""},
        {Game::Pg2, "class", "3  RECON", FieldStyle::Cell, 3, ""},
        {Game::Pg2, "class", "Reco", FieldStyle::Form, 0, "Please enter an integer."},
        {Game::Pg2, "class", "22", FieldStyle::Form, 0,
         "Please enter an integer between 0 and 21."},
        {Game::Pg2, "moveMode", "air", FieldStyle::Csv, 1, ""},
        {Game::Pg2, "montAvaible", "december", FieldStyle::Form, 12, ""},
        {Game::Pg2, "country", "sov. union", FieldStyle::Csv, 2, ""},
        {Game::Pg2, "country", "2  Sov. Union", FieldStyle::Cell, 2, ""},
        {Game::Pg2, "bridge", "2", FieldStyle::Form, 0, "Please enter an integer between 0 and 1."},
    };
    for (const auto& c : cases) {
        const ParsedValue parsed = ParseValue(row(c.game, c.field), c.text, c.style, &countries);
        EXPECT_EQ(parsed.message, c.refusal) << c.field << " '" << c.text << "'";
        EXPECT_EQ(parsed.ok, *c.refusal == '\0') << c.field << " '" << c.text << "'";
        if (parsed.ok) {
            EXPECT_EQ(parsed.value.stored, c.stored) << c.field << " '" << c.text << "'";
        }
    }
}

TEST(FieldCodec, ReadsTexts) {
    const struct {
        const char* field;
        const char* text;
        FieldStyle style;
        const char* stored;  // Windows-1252 bytes when taken
        const char* refusal; // "" when taken
    } cases[] = {
        {"denomination", "'=1+1", FieldStyle::Csv, "=1+1", ""},
        {"denomination", "''=1+1", FieldStyle::Csv, "'=1+1", ""}, // only the writer's one guard
        {"denomination", "'Tiger", FieldStyle::Csv, "'Tiger", ""},
        {"denomination", "'=1+1", FieldStyle::Form, "'=1+1", ""},
        {"denomination", "J\xC3\xA4ger", FieldStyle::Csv, "J\xE4ger", ""},
        {"denomination", "J\xE4ger", FieldStyle::Csv, "", "The text is not valid UTF-8."},
        {"denomination", "\xE2\x82\xAC", FieldStyle::Csv, "\x80", ""}, // the euro sign
        {"denomination", "\xE4\xB8\x80", FieldStyle::Csv, "",
         "The character U+4E00 has no Windows-1252 byte."},
        {"denomination", "two\nlines", FieldStyle::Form, "",
         "A unit name cannot hold a line break."},
        {"icon", "ABCDEFG", FieldStyle::Csv, "", "Please enter no more than 6 characters."},
        {"icon", "'-TANK", FieldStyle::Csv, "-TANK", ""},
        {"icon", "0123", FieldStyle::Csv, "0123", ""},
    };
    for (const auto& c : cases) {
        const ParsedValue parsed = ParseValue(row(Game::Pg2, c.field), c.text, c.style);
        EXPECT_EQ(parsed.message, c.refusal) << c.text;
        if (parsed.ok) {
            EXPECT_EQ(parsed.value.text, c.stored) << c.text;
        }
    }
}

// A column read once for many units gives, for every row, unit and style, what the codec's own
// per-value path gives: the CSV writer and reader rely on it.
TEST(FieldCodec, NumberColumnsAgreeWithTheCodec) {
    std::mt19937 random(11);
    Pg2Unit pg2;
    PegUnit peg;
    for (int trial = 0; trial < 64; ++trial) {
        for (auto& b : pg2.record.bytes)
            b = static_cast<std::uint8_t>(random());
        for (auto& b : peg.record.bytes)
            b = static_cast<std::uint8_t>(random());
        if (trial % 2 == 0)
            SetMaskRight(pg2);
        for (const FieldStyle style : {FieldStyle::Form, FieldStyle::Csv, FieldStyle::Report}) {
            for (const FieldDef& f : FieldTable(Game::Pg2)) {
                const int expected =
                    IsTextField(f) ? 0 : WrittenNumber(f, Pg2StoredValue(pg2, f), style);
                EXPECT_EQ(NumberColumn(Game::Pg2, f, style).written(pg2), expected) << f.name;
                // A row of the other game reads nothing, as the codec's own reader.
                EXPECT_EQ(NumberColumn(Game::Peg, f, style).stored(peg), PegStoredValue(peg, f))
                    << f.name;
            }
            for (const FieldDef& f : FieldTable(Game::Peg)) {
                const int expected =
                    IsTextField(f) ? 0 : WrittenNumber(f, PegStoredValue(peg, f), style);
                EXPECT_EQ(NumberColumn(Game::Peg, f, style).written(peg), expected) << f.name;
            }
        }
    }
}

TEST(FieldCodec, FindsColumnsByNameOrLabelInAnyCase) {
    const struct {
        Game game;
        const char* text;
        const char* field; // nullptr: none
    } cases[] = {
        {Game::Pg2, "airAtk", "airAtk"},
        {Game::Pg2, "AIRATK", "airAtk"},
        {Game::Pg2, "Air attack", "airAtk"},
        {Game::Pg2, "  year available ", "yearAvaible"},
        {Game::Peg, "Year Available", "yearAvaible"},
        {Game::Pg2, "cost", "cost"},
        {Game::Pg2, "Name", "denomination"},
        {Game::Pg2, "Move Method", "movMethod"},
        {Game::Peg, "Air missions", "byte55"},
        {Game::Pg2, "byte55", "byte55"},
        {Game::Pg2, "helo attack", nullptr},
        {Game::Pg2, "", nullptr},
    };
    for (const auto& c : cases) {
        const FieldDef* found = FindColumn(c.game, c.text);
        if (c.field == nullptr)
            EXPECT_EQ(found, nullptr) << c.text;
        else
            EXPECT_EQ(found, FindField(c.game, c.field)) << c.text;
    }
}

} // namespace
} // namespace varnel
