#include "convert/export.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/textlines.h"
#include "equip/efile.h"

#include <type_traits>

namespace varnel {

namespace {

template <class Table> ExportFiles buildExport(const Table& table, const std::vector<int>& codes) {
    ExportFiles files;
    ByteWriter out(files.eFile);
    out.u16(static_cast<std::uint16_t>(codes.size()));
    for (const int code : codes) {
        const auto& unit = table.units[static_cast<std::size_t>(code)];
        out.append(unit.record.bytes);
        AppendLine(files.names, table.name(static_cast<std::size_t>(code)));
    }
    return files;
}

} // namespace

std::optional<int> FirstCodeOutside(const std::vector<int>& codes, std::size_t unitCount) {
    for (const int code : codes)
        if (code < 0 || static_cast<std::size_t>(code) >= unitCount)
            return code;
    return std::nullopt;
}

ExportFiles BuildPg2Export(const Pg2UnitTable& table, const std::vector<int>& codes) {
    return buildExport(table, codes);
}

ExportFiles BuildPegExport(const PegUnitTable& table, const std::vector<int>& codes) {
    return buildExport(table, codes);
}

} // namespace varnel
