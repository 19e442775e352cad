#include "reports/equipreport.h"

#include "equip/vocabulary.h"
#include "tools/fileio.h"
#include "tools/format.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <charconv>
#include <vector>

namespace varnel {

namespace {

constexpr const char* kSimpleListTitle = "'    CODE    DENOMINATION";

enum class Value {
    Byte,    // the record byte at `offset`
    Code,    // the 16-bit unit code
    Name,    // the unit's name
    Country, // the country number the program holds for the unit
    Text,    // an icon name, through `text`
    Zero,    // a column without a byte behind it
};

template <class Record> struct Column {
    std::string header;
    Value value;
    int offset = 0;
    bool fullOnly = false;
    std::string (Record::*text)() const = nullptr;
};

template <class Record> class ColumnList {
  public:
    void add(const char* header, Value value, int offset = 0) {
        columns.push_back({header, value, offset, false, nullptr});
    }
    void full(const char* header, int offset) {
        columns.push_back({header, Value::Byte, offset, true, nullptr});
    }
    void text(const char* header, std::string (Record::*accessor)() const) {
        columns.push_back({header, Value::Text, 0, false, accessor});
    }
    // Consecutive named bytes from `offset` on.
    void bytes(std::initializer_list<const char*> headers, int offset) {
        for (const char* h : headers)
            add(h, Value::Byte, offset++);
    }
    // Unnamed bytes "<prefix><number>" for numbers first..last, the first at `offset`.
    void numbered(const char* prefix, int first, int last, int offset) {
        for (int n = first; n <= last; ++n)
            columns.push_back({prefix + std::to_string(n), Value::Byte, offset++, true, nullptr});
    }

    std::vector<Column<Record>> columns;
};

const std::vector<Column<Pg2UnitRecord>>& pg2Columns() {
    static const std::vector<Column<Pg2UnitRecord>> columns = [] {
        using namespace pg2;
        ColumnList<Pg2UnitRecord> c;
        c.add("Code", Value::Code);
        c.add("Denomination", Value::Name);
        c.bytes({"Class", "SoftAtk", "HardAtk", "AirAtk", "NavalAtk", "GroundDef", "AirDef",
                 "CloseDef", "Target", "Initiativa", "GunRange", "SpotRange", "RangeDefMod",
                 "MoveMode", "MovMethod", "MovPoints", "Fuel", "Ammo"},
                Class);
        c.full("byteB21", byteB21);
        c.add("Cost", Value::Byte, Cost);
        c.full("byteB23", byteB23);
        c.full("byteB24", byteB24);
        c.full("byteB25", byteB25);
        c.bytes({"MonthExpired", "MontAvaible", "YearAvaible", "YearExpired", "Organic Transport"},
                MonthExpired);
        c.add("Country", Value::Country);
        c.add("Special1", Value::Byte, Special1);
        c.add("Special2", Value::Byte, Special2);
        c.full("byteB37", byteB37);
        c.full("byteB38", byteB38);
        c.add("bomberCode", Value::Byte, bomberCode);
        c.text("Icon", &Pg2UnitRecord::icon);
        c.add("atkMel", Value::Byte, atkMel);
        c.add("movMel", Value::Byte, movMel);
        c.add("dieMel", Value::Byte, dieMel);
        c.numbered("byte", 52, 73, byte52); // column byteN holds byte N - 1
        return c.columns;
    }();
    return columns;
}

const std::vector<Column<PegUnitRecord>>& pegColumns() {
    static const std::vector<Column<PegUnitRecord>> columns = [] {
        using namespace peg;
        ColumnList<PegUnitRecord> c;
        c.add("Code", Value::Code);
        c.add("Denomination", Value::Name);
        c.bytes({"Class", "SoftAtk", "HardAtk", "AirAtk", "HeloAtk", "GroundDef", "AirDef",
                 "IndirectDef", "TargetType", "CloseAtk/Def", "Range", "Spotting", "Profile",
                 "AirUnit", "MovType", "MovPoints", "Ammo", "Cost", "IconNumber"},
                Class);
        c.full("byteB22", byteB22);
        c.bytes({"MonthAvaible", "YearAvaible", "airTransp", "Country", "Options1", "Options2",
                 "Options3"},
                MonthAvaible);
        c.numbered("byteB", 30, 34, byteB30);
        c.text("UnitIcon", &PegUnitRecord::unitIcon);
        c.numbered("byteB", 41, 45, byteB41);
        c.add("atkSnd", Value::Byte, atkSnd);
        c.add("movSnd", Value::Byte, movSnd);
        c.add("dieSnd", Value::Byte, dieSnd);
        c.numbered("byte", 52, 55, byte52);
        c.text("MovIcon", &PegUnitRecord::movIcon);
        c.numbered("byte", 61, 73, byte61); // column byteN holds byte N
        // The record ends at byte 73: the last column has no byte behind it and shows 0.
        c.columns.push_back({"byte74", Value::Zero, 0, true, nullptr});
        return c.columns;
    }();
    return columns;
}

void appendNumber(std::string& line, unsigned value) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    line.append(digits, end);
}

unsigned countryOf(const Pg2Unit& unit) {
    return unit.country;
}
unsigned countryOf(const PegUnit& unit) {
    return unit.record[peg::Country];
}

template <class Unit, class Record>
void appendTable(Bytes& out, const UnitTable<Unit>& table,
                 const std::vector<Column<Record>>& allColumns, bool full) {
    std::vector<const Column<Record>*> columns;
    for (const auto& c : allColumns)
        if (full || !c.fullOnly)
            columns.push_back(&c);

    std::string line;
    for (const auto* c : columns) {
        if (!line.empty())
            line += ';';
        line += c->header;
    }
    AppendLine(out, line);
    // About four characters a value: one allocation instead of a chain of regrowths.
    out.reserve(out.size() + table.count() * (columns.size() * 4 + 16));

    for (std::size_t i = 0; i < table.count(); ++i) {
        const Unit& unit = table.units[i];
        line.clear();
        bool first = true;
        for (const auto* c : columns) {
            if (!first)
                line += ';';
            first = false;
            switch (c->value) {
            case Value::Byte:
                appendNumber(line, unit.record[c->offset]);
                break;
            case Value::Code:
                appendNumber(line, readU16(unit.record.bytes.data()));
                break;
            case Value::Name:
                line += table.name(i);
                break;
            case Value::Country:
                appendNumber(line, countryOf(unit));
                break;
            case Value::Text:
                line += (unit.record.*(c->text))();
                break;
            case Value::Zero:
                line += '0';
                break;
            }
        }
        AppendLine(out, line);
    }
}

template <class Unit>
void appendSimpleList(Bytes& out, const UnitTable<Unit>& table, const Vocabulary& classCodes,
                      int classOffset, const NameTable& countries, const std::string& eFilePath) {
    AppendLine(out, GetPathPart(eFilePath, PathPart::Name));
    AppendLine(out, kSimpleListTitle);
    std::string line;
    for (std::size_t i = 0; i < table.count(); ++i) {
        const Unit& unit = table.units[i];
        // The name is appended as it is, so a name with any bytes in it is written whole.
        line = Format("no: %4d    ", static_cast<int>(readU16(unit.record.bytes.data())));
        line += table.name(i);
        line += "  [";
        line += classCodes.text(unit.record[classOffset]);
        line += "  ";
        line += countries.name(static_cast<int>(countryOf(unit)));
        line += "] ";
        AppendLine(out, line);
    }
    AppendLine(out, Format("'total: %d Units", static_cast<int>(table.count())));
}

bool validFormat(int format) {
    return format >= FullTable && format <= SimpleList;
}

} // namespace

Bytes WritePg2Report(const Pg2UnitTable& table, const NameTable& countries,
                     const std::string& eFilePath, int format) {
    Bytes out;
    if (format == SimpleList)
        appendSimpleList(out, table, Pg2ClassCodes, pg2::Class, countries, eFilePath);
    else if (validFormat(format))
        appendTable(out, table, pg2Columns(), format == FullTable);
    return out;
}

Bytes WritePegReport(const PegUnitTable& table, const NameTable& countries,
                     const std::string& eFilePath, int format) {
    Bytes out;
    if (format == SimpleList)
        appendSimpleList(out, table, PegClassCodes, peg::Class, countries, eFilePath);
    else if (validFormat(format))
        appendTable(out, table, pegColumns(), format == FullTable);
    return out;
}

std::string EquipmentReportPath(Game game, const std::string& eFilePath) {
    const std::string folder = GetPathPart(eFilePath, PathPart::Folder);
    const std::string name = GetPathPart(eFilePath, PathPart::Name);
    // The folder part already holds the drive, so the drive slot of the pattern stays empty.
    return Format(game == Game::Pg2 ? "%s%sPG2_REPORT_%s.TXT" : "%s%sPeG_REPORT_%s.TXT", "",
                  folder.c_str(), name.c_str());
}



} // namespace varnel
