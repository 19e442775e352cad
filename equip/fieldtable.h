#pragma once
// The editable fields of the two unit forms, one static table per game, and the one place where a
// shown value is checked, converted and stored into a unit.
//
// Every edit box, drop-down and check box of a unit form is one row: its control id, its texts,
// where its value lives and how the shown value maps to the stored one. Numbers follow
//
//     shown  = stored * scale + base
//     stored = (shown - base) / scale
//
// A shown value the byte cannot hold exactly (a cost between two multiples, a year past the
// byte, an icon name longer than the field) is refused, never rounded, wrapped or cut. Only
// AnyInteger keeps the low 8 bits of any int, as its box always has.
//
// | kind       | scale / base       | shown range                | value held in            |
// |------------|--------------------|----------------------------|--------------------------|
// | Byte       | 1 / 0              | 0..255, sounds 0..99       | record byte `offset`     |
// | Year       | 1 / 1900 PG2, 2000 | 1900..2155, 2000..2255     | record byte `offset`     |
// | Cost       | 12 PG2, 10 PeG / 0 | multiples, up to 3060/2550 | record byte `offset`     |
// | AnyInteger | 1 / 0              | any int, low 8 bits stored | record byte `offset`     |
// | Month      | list position      | 0..12, 0 "not set"         | record byte `offset`     |
// | Vocabulary | list position      | 0..items->size - 1         | record byte `offset`     |
// | Country    | list position      | 0..country count - 1       | PG2 mask 30..33, PeG byte|
// | Switch     | "0" / "1"          | 0..1                       | PG2 bit `bit` of `offset`|
// | Bit        | "0" / "1"          | 0..1                       | PeG u16 word at `offset` |
// | Icon       | text               | at most 6 bytes, NUL-padded| 6 bytes at `offset`      |
// | Name       | text               | at most 1024 bytes         | the name (offset -1)     |
// | Code       | 1 / 0, read-only   | 0..65535                   | u16 at `offset` 0        |
//
// After the form's rows come read-only rows for every byte the form does not show, so that the
// rows of a game cover its whole record: the equipment report, and whatever else lists every
// field, go through this one catalogue. A read-only row accepts only the value it holds.
//
// Each kind has one codec: FormatValue writes a value in a style (the form, a table cell, CSV, a
// comparison, the equipment report) and ParseValue reads it back or says why not. Everything that
// shows or takes a field's value goes through them, so a new kind touches this file only.

#include "equip/game.h"
#include "equip/pegrecord.h"
#include "equip/pg2record.h"
#include "equip/tfile.h"
#include "equip/unittable.h"
#include "equip/vocabulary.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace varnel {

enum class FieldKind {
    Byte,
    Year,
    Cost,
    Month,
    Vocabulary,
    Country,
    Switch,
    Bit,
    Icon,
    Name,
    AnyInteger,
    Code, // the unit's 16-bit code
};

// The change flag a successful store sets: the game's data changed or its names changed.
enum class FieldChange { None, Data, Names };

constexpr int kMaxUnitNameLength = 1024;
// At most this many of the PeG iconed options may be set on one unit.
constexpr int kMaxIconedOptions = 4;
// The PeG class whose air-mission bits the form names ("Tactical Bomber").
constexpr int kPegAirMissionClass = 11;

struct FieldDef {
    const char* name = "";    // stable lowerCamelCase name ("airAtk", "closeAtkDef2")
    int control = 0;          // the form's control id, unique within a game
    const char* caption = ""; // the control's own caption or check-box text; "" when it has none
    // A short name for people: the caption, else the tooltip, else a name of its own where those
    // say something else ("Cost", "Year available"); read-only rows their name. Set by the
    // catalogue.
    const char* label = "";
    const char* tooltip = ""; // "" when the control has none
    FieldKind kind = FieldKind::Byte;
    // Record offset of the byte, word or text; -1 for the name. PG2 switches: Special1 or
    // Special2, the byte holding the switch; PG2 country: CountryMask, the first mask byte.
    int offset = -1;
    int bit = -1;     // Switch: switch number 0..7; Bit: bit 0..15 of the u16 word; else -1
    int minShown = 0; // accepted shown values (AnyInteger: the whole int range, unchecked)
    int maxShown = 0; // Name: the longest name
    int scale = 1;    // shown = stored * scale + base (numbers only)
    int base = 0;
    // Drop-downs: the texts the list shows, or nullptr when the list is filled from elsewhere
    // (months: MonthText; countries: the game's T-File names).
    const Vocabulary* items = nullptr;
    // True when each item is ListItem(position, text); false when the text is the whole item.
    bool numberedItems = false;
    // PeG iconed options: the message refusing a fifth one; nullptr for every other field.
    const char* limitMessage = nullptr;
    // The equipment report's column of this row; "" when the report has none (check boxes, whose
    // byte has a column of its own, and a second box on the same byte).
    const char* report = "";
    bool fullOnly = false; // the column is in the full table only (unnamed bytes)
    bool readOnly = false; // a byte the form does not show
};

struct FieldResult {
    bool ok = false;
    FieldChange change = FieldChange::None; // None when refused or when the value was the same
    std::string message;                    // why it was refused; empty when ok
};

// Every row of a game: the form's fields in form order, then the read-only rows. The table
// lives for the whole process.
std::span<const FieldDef> FieldTable(Game game);
// The form's fields only: the leading rows of FieldTable.
std::span<const FieldDef> FormFields(Game game);
// The rows that have an equipment-report column, in the report's column order.
const std::vector<const FieldDef*>& ReportColumns(Game game);
// The field of that name (in constant time) or control id, or nullptr when the game has none.
// Read-only rows have no control.
const FieldDef* FindField(Game game, std::string_view name);
const FieldDef* FindFieldByControl(Game game, int control);

// How a value is written for its reader.
enum class FieldStyle {
    Form,   // a control: numbers as shown, drop-downs by list position, check boxes 1/0, texts as
            // they are
    Cell,   // the units table: as Form, but drop-downs as their item ("3  Recon", "3  Germany")
    Csv,    // a spreadsheet: as Form, texts in UTF-8 with kFormulaGuard where they need it
    Diff,   // a comparison: drop-downs "3 (Recon)", texts in double quotes
    Report, // the equipment report: the stored byte, texts as they are
};

// A field's value: the stored number of a number, drop-down or check box, or the Windows-1252
// bytes of a name or icon.
struct FieldValue {
    int stored = 0;
    std::string text;
    bool operator==(const FieldValue&) const = default;
};

struct ParsedValue {
    bool ok = false;
    FieldValue value;
    std::string message; // why it was refused; empty when ok
};

// Writes `value` of `field` in `style`. `countries` names the country items of the Cell style
// (nullptr: the number).
std::string FormatValue(const FieldDef& field, const FieldValue& value, FieldStyle style,
                        const NameTable* countries = nullptr);
void AppendValue(std::string& out, const FieldDef& field, const FieldValue& value, FieldStyle style,
                 const NameTable* countries = nullptr);

// The number a value of a number, drop-down or check box is written as in the Form, Csv and
// Report styles: check boxes 1 or 0, the stored byte in the Report style, else the shown value.
// FormatValue writes it in those styles; a writer of many cells may write it itself.
int WrittenNumber(const FieldDef& field, int stored, FieldStyle style);

// Reads a value written in `style`. Numbers allow blanks around them and a leading sign, through
// the one ParseInteger. A drop-down takes its number, its item's words ("Recon") or the item as
// the list shows it ("3  Recon"), any case; a country also its T-File name when `countries` is
// given. The Csv style takes UTF-8 and removes the formula guard; the Report style reads stored
// bytes. Refusals: "Please enter an integer." (not a whole number nor an item; empty; outside the
// int range), "Please enter an integer between %d and %d." (outside the field's range or list),
// "Please enter a multiple of %d, such as %d or %d." (a cost between two stored values, naming the
// nearest two), "Please enter no more than %d characters." (names 1024, icons 6), a line break in
// a name, text that is not UTF-8 or has no Windows-1252 byte (Csv). A read-only row reads any
// integer: only the setters compare it with what the unit holds.
ParsedValue ParseValue(const FieldDef& field, std::string_view text, FieldStyle style,
                       const NameTable* countries = nullptr);

// The value of unit `index`'s field. Empty for a field that is not a row of this game.
FieldValue ReadValue(const UnitTable<Pg2Unit>& table, std::size_t index, const FieldDef& field);
FieldValue ReadValue(const UnitTable<PegUnit>& table, std::size_t index, const FieldDef& field);
// FormatValue of ReadValue; empty for a field that is not a row of this game.
std::string FormatField(const UnitTable<Pg2Unit>& table, std::size_t index, const FieldDef& field,
                        FieldStyle style, const NameTable* countries = nullptr);
std::string FormatField(const UnitTable<PegUnit>& table, std::size_t index, const FieldDef& field,
                        FieldStyle style, const NameTable* countries = nullptr);

// The column a CSV header, a condition or a user names: a row's catalogue name or its label,
// without regard to ASCII letter case or the blanks around; nullptr when no row has it.
const FieldDef* FindColumn(Game game, std::string_view text);

// Reads `shown` as ParseValue does and stores it into unit `index` of the table. On failure
// nothing of the unit changes and `message` says why: ParseValue's refusals, a fifth iconed
// option, a changed read-only row ("The field %s cannot be changed."), or a field that is not a
// row of this game's table. `change` tells which change flag to set; None when the stored value is
// equal. `index` must lie inside the table.
FieldResult SetPg2Field(Pg2UnitTable& table, std::size_t index, const FieldDef& field,
                        std::string_view shown, FieldStyle style = FieldStyle::Form,
                        const NameTable* countries = nullptr);
FieldResult SetPegField(PegUnitTable& table, std::size_t index, const FieldDef& field,
                        std::string_view shown, FieldStyle style = FieldStyle::Form,
                        const NameTable* countries = nullptr);

// The record bytes a row's value lies in: the first and how many (the name: none).
struct FieldSpan {
    int offset = 0;
    int count = 0;
    bool contains(int byte) const { return byte >= offset && byte < offset + count; }
};
FieldSpan FieldBytes(Game game, const FieldDef& field);

// The stored value of a row as a number, without text: the record byte (the PG2 country read
// from its mask), the code, or 0/1 for a check box. 0 for names, icons and rows of the other game.
int Pg2StoredValue(const Pg2Unit& unit, const FieldDef& field);
int PegStoredValue(const PegUnit& unit, const FieldDef& field);
// The value the form shows for a stored value: stored * scale + base.
inline int ShownValue(const FieldDef& field, int stored) {
    return stored * field.scale + field.base;
}
// Puts a stored value back as it was, without checks: what undo and redo do. Not for names,
// icons or read-only rows.
void SetPg2StoredValue(Pg2Unit& unit, const FieldDef& field, int stored);
void SetPegStoredValue(PegUnit& unit, const FieldDef& field, int stored);
// Whether the row's value is text (name, icon) rather than a number.
inline bool IsTextField(const FieldDef& field) {
    return field.kind == FieldKind::Name || field.kind == FieldKind::Icon;
}

// One number column read from many units: where the row keeps its value and how it is written,
// looked up once, so a writer or reader of many cells (CSV) spends no catalogue lookup per cell.
// Gives what Pg2StoredValue / PegStoredValue and WrittenNumber give; a row that is not the
// game's own, or a text row, reads 0.
class NumberColumn {
  public:
    NumberColumn(Game game, const FieldDef& field, FieldStyle style);

    template <class Unit> int stored(const Unit& unit) const {
        const auto& r = unit.record;
        switch (place_) {
        case Place::Byte:
            return r[offset_];
        case Place::Bit:
            return (r[offset_] & mask_) != 0 ? 1 : 0;
        case Place::Word:
            return r[offset_] | r[offset_ + 1] << 8;
        case Place::Pg2Country:
            if constexpr (std::is_same_v<Unit, Pg2Unit>)
                return Pg2Country(r);
            return 0;
        case Place::None:
            break;
        }
        return 0;
    }
    // The number written for the unit's value in the column's style.
    template <class Unit> int written(const Unit& unit) const {
        return stored(unit) * scale_ + base_;
    }

  private:
    enum class Place : std::uint8_t { None, Byte, Bit, Word, Pg2Country };
    Place place_ = Place::None;
    int offset_ = 0;
    std::uint8_t mask_ = 0;
    int scale_ = 1; // as the style writes: the shown value, the stored byte, or a check box's 0/1
    int base_ = 0;
};

// The text of drop-down item `position`: ListItem of the vocabulary text, the vocabulary text
// itself, or MonthText for months. Empty for countries (the T-File names them), for a position
// outside the list and for fields that are not drop-downs.
std::string FieldItemText(const FieldDef& field, int position);

// The position of the drop-down item `text` names: its words ("Recon"), the item as the list
// shows it ("3  Recon"), or its number and words ("3 Recon"), without regard to ASCII letter
// case or the blanks between. Nothing for text no item has, and for fields that are not month
// or vocabulary drop-downs (countries are named by the T-File, not the catalogue).
std::optional<int> FieldItemPosition(const FieldDef& field, std::string_view text);

// The two items of the ground-or-air lists (PG2 MoveMode, PeG AirUnit), whole item texts.
extern const Vocabulary GroundAirItems;

// How many of the eight iconed options the unit has set (may exceed four as loaded).
int PegIconedCount(const PegUnit& unit);
// The read-only displays of the PeG form.
// "%d  %d  %d" of byte52, byte53, byte54 (offsets 51..53).
std::string PegBytes52To54Text(const PegUnit& unit);
// byte66, three blanks, then its eight bits, most significant first.
std::string PegByte66Text(const PegUnit& unit);
// The air-mission labels of byte55 for class 11; empty for any other class.
std::string PegAirMissionText(const PegUnit& unit);
// "%d Icons" with PegIconedCount.
std::string PegIconsTitle(const PegUnit& unit);

} // namespace varnel
