#include "convert/export.h"

#include "tools/filerestore.h"
#include "equip/efile.h"
#include "tools/fileio.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <type_traits>

namespace varnel {

namespace {

template <class Table, class Prepare>
ExportFiles buildExport(Table& table, const std::vector<int>& codes, Prepare prepare) {
    ExportFiles files;
    ByteWriter out(files.eFile);
    out.u16(static_cast<std::uint16_t>(codes.size()));
    for (const int code : codes) {
        auto& unit = table.units[static_cast<std::size_t>(code)];
        prepare(unit);
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

ExportFiles BuildPg2Export(Pg2UnitTable& table, const std::vector<int>& codes) {
    return buildExport(table, codes, [](Pg2Unit& unit) { PackPg2Specials(unit); });
}

ExportFiles BuildPegExport(const PegUnitTable& table, const std::vector<int>& codes) {
    return buildExport(table, codes, [](const PegUnit&) {});
}

std::optional<std::string> WriteFilePair(const std::string& eFilePath, const Bytes& eFile,
                                         const std::string& namesPath, const Bytes& names) {
    FileRestorer written;
    written.remember(eFilePath);
    if (!SaveFileBytes(eFilePath, eFile))
        return eFilePath;
    if (!SaveFileBytes(namesPath, names)) {
        written.restore();
        return namesPath;
    }
    return std::nullopt;
}



} // namespace varnel
