// Feeds arbitrary bytes to the CSV reader and the import check over a small table of each game,
// and checks what the import step relies on: every row has the header's cells, changed units
// are ascending positions inside the table, and a plan with refusals is never applied.

#include "convert/csvtable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

template <class Table> void check(const varnel::CsvFile& file) {
    Table table;
    table.units.resize(3);
    const auto plan = varnel::PlanCsvImport(table, file, {.append = true});
    std::size_t last = 0;
    for (std::size_t k = 0; k < plan.changedUnits.size(); ++k) {
        if (plan.changedUnits[k] >= table.count() || (k > 0 && plan.changedUnits[k] <= last))
            std::abort();
        last = plan.changedUnits[k];
    }
    if (plan.changed.count() != plan.changedUnits.size() ||
        table.count() + plan.appended.count() > varnel::kMaxUnits)
        std::abort();
    (void)varnel::CsvPlanSummary(plan, table, 10);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto read = varnel::ReadCsv(std::span<const std::uint8_t>(data, size));
    if (!read.file)
        return 0;
    const varnel::CsvFile& file = *read.file;
    for (std::size_t r = 0; r < file.rowCount(); ++r)
        if (file.cellStart[r + 1] - file.cellStart[r] != file.header.size())
            std::abort();
    check<varnel::Pg2UnitTable>(file);
    check<varnel::PegUnitTable>(file);
    return 0;
}
