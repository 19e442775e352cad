#include "reports/equipreport.h"

#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"
#include "base/textlines.h"
#include "equip/fieldtable.h"
#include "equip/vocabulary.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace varnel {

namespace {

constexpr const char* kSimpleListTitle = "'    CODE    DENOMINATION";

// The full table ends with a column that has no byte behind it (the record ends at byte 73)
// and always shows 0.
constexpr const char* kPegPaddingColumn = "byte74";

// The report's columns: the catalogue's rows that have one, in its order.
template <class Unit>
void appendTable(Bytes& out, Game game, const UnitTable<Unit>& table, bool full) {
    std::vector<const FieldDef*> columns;
    for (const FieldDef* f : ReportColumns(game))
        if (full || !f->fullOnly)
            columns.push_back(f);
    const bool padding = full && game == Game::Peg;

    std::string line;
    for (const FieldDef* f : columns) {
        if (!line.empty())
            line += ';';
        line += f->report;
    }
    if (padding)
        line += std::string(";") + kPegPaddingColumn;
    AppendLine(out, line);
    // About four characters a value: one allocation instead of a chain of regrowths.
    out.reserve(out.size() + table.count() * (columns.size() * 4 + 16));

    for (std::size_t i = 0; i < table.count(); ++i) {
        line.clear();
        bool first = true;
        for (const FieldDef* f : columns) {
            if (!first)
                line += ';';
            first = false;
            AppendValue(line, *f, ReadValue(table, i, *f), FieldStyle::Report);
        }
        if (padding)
            line += ";0";
        AppendLine(out, line);
    }
}

template <class Unit>
void appendSimpleList(Bytes& out, const UnitTable<Unit>& table, const Vocabulary& classCodes,
                      const NameTable& countries, const std::string& eFilePath) {
    AppendLine(out, GetPathPart(eFilePath, PathPart::Name));
    AppendLine(out, kSimpleListTitle);
    std::string line;
    for (std::size_t i = 0; i < table.count(); ++i) {
        const Unit& unit = table.units[i];
        // The name is appended as it is, so a name with any bytes in it is written whole.
        line = Format("no: %4d    ", static_cast<int>(readU16(unit.record.bytes.data())));
        line += table.name(i);
        line += "  [";
        line += classCodes.text(UnitClass(unit));
        line += "  ";
        line += countries.name(UnitCountry(unit));
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
        appendSimpleList(out, table, Pg2ClassCodes, countries, eFilePath);
    else if (validFormat(format))
        appendTable(out, Game::Pg2, table, format == FullTable);
    return out;
}

Bytes WritePegReport(const PegUnitTable& table, const NameTable& countries,
                     const std::string& eFilePath, int format) {
    Bytes out;
    if (format == SimpleList)
        appendSimpleList(out, table, PegClassCodes, countries, eFilePath);
    else if (validFormat(format))
        appendTable(out, Game::Peg, table, format == FullTable);
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
