// varnel-cli list: the units a condition picks, as text or as a CSV file.

#include "app/table/tablecells.h"
#include "base/csvtext.h"
#include "cli/command.h"
#include "cli/common.h"
#include "cli/where.h"

#include <algorithm>

namespace varnel::cli {
namespace {

constexpr const char* kName = "list";
constexpr const char* kUsage =
    "Usage: varnel-cli list EFILE --where COND [--columns a,b,...] [--format text|csv]\n"
    "                       [--game pg2|peg] [--suffix S] [--tfile T]\n"
    "Prints the units of EFILE that the condition COND picks, one line each, in table order.\n"
    "Columns are named by their column name (hardAtk) or the form's caption (\"Hard attack\"),\n"
    "any case; values are shown as the units table shows them. Names are printed as UTF-8.\n\n"
    "  --where COND      for example 'cost > 600 or name contains tiger';\n"
    "                    --where \"\" takes every unit\n"
    "  --columns LIST    the columns, separated by commas (default: code,denomination)\n"
    "  --format F        text (aligned columns, the default) or csv (UTF-8 with a byte-order\n"
    "                    mark, a header row of column names)\n";

std::vector<std::string> splitColumns(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        out.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            return out;
        start = comma + 1;
    }
}

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.insert(valued.end(), {"--where", "--columns", "--format"});
    const Args args(argv, valued, kCommonFlags);
    if (!args.ok())
        return args.stop(kName);
    if (args.positional().size() != 1)
        return Fail(kName, "give one E-File (see --help)");
    const auto where = args.value("--where");
    if (!where)
        return Fail(kName, "--where COND is required (--where \"\" takes every unit)");
    const std::string format = args.value("--format").value_or("text");
    if (format != "text" && format != "csv")
        return Fail(kName, "--format must be text or csv, not '" + format + "'");

    Session session;
    const auto game = OpenEFile(session, args, args.positional()[0]);
    if (!game)
        return 1;
    const CVarnelDoc& state = session.state;

    std::vector<const FieldDef*> columns;
    for (const std::string& name :
         splitColumns(args.value("--columns").value_or("code,denomination"))) {
        const auto bytes = Utf8To1252(name);
        const FieldDef* field = bytes ? FindColumn(*game, *bytes) : nullptr;
        if (field == nullptr)
            return Fail(kName, "--columns: Unknown column \"" + name + "\"");
        columns.push_back(field);
    }
    const auto condition = ParseWhere(kName, *game, *where, state.countries(*game));
    if (!condition)
        return 1;
    const std::vector<int> units = state.visitTable(
        *game, [&](const auto& table) { return MatchingUnits(table, *condition); });

    // Every cell as UTF-8, header first.
    std::vector<std::vector<std::string>> rows;
    rows.reserve(units.size() + 1);
    std::vector<std::string> header;
    for (const FieldDef* field : columns)
        header.push_back(format == "csv" ? std::string(field->name) : Utf8From1252(field->label));
    rows.push_back(std::move(header));
    for (const int unit : units) {
        std::vector<std::string> row;
        for (const FieldDef* field : columns) {
            std::string cell =
                state.formatField(*game, static_cast<std::size_t>(unit), *field, FieldStyle::Cell);
            // Item texts carry the drop-down's padding ("2  Tank  "); names keep theirs.
            if (!IsTextField(*field))
                while (!cell.empty() && cell.back() == ' ')
                    cell.pop_back();
            row.push_back(Utf8From1252(cell));
        }
        rows.push_back(std::move(row));
    }

    std::string out;
    if (format == "csv") {
        out = kUtf8Bom;
        for (const auto& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (c > 0)
                    out += ',';
                if (IsTextField(*columns[c]))
                    AppendCsvText(out, row[c]);
                else
                    AppendCsvCell(out, row[c]);
            }
            out += "\r\n";
        }
    } else {
        // Columns as wide as their widest cell, counted in characters.
        auto width = [](const std::string& text) {
            std::size_t n = 0;
            for (const char c : text)
                n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
            return n;
        };
        std::vector<std::size_t> widths(columns.size(), 0);
        for (const auto& row : rows)
            for (std::size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], width(row[c]));
        for (const auto& row : rows) {
            std::string line;
            for (std::size_t c = 0; c < row.size(); ++c) {
                line += row[c];
                if (c + 1 < row.size())
                    line += std::string(widths[c] - width(row[c]) + 2, ' ');
            }
            out += line + '\n';
        }
        out += Counted(static_cast<long long>(units.size()), "unit", "units") + " listed\n";
    }
    std::cout << out;
    return 0;
}

const CommandRegistration reg{
    {kName, "print the units a condition picks, as text or CSV", kUsage, run}};

} // namespace
} // namespace varnel::cli
