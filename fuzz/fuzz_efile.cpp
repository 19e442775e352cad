// Feeds arbitrary bytes to the readers of E-Files, Names E-Files and T-Files, as the loaders do.

#include "app/varneldoc.h"
#include "equip/efile.h"
#include "equip/tfile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

using namespace varnel;

namespace {

// Every question answered with Yes, alternately No: both paths of the code check run.
class FuzzUi : public UiPort {
  public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return (++asked_ & 1) != 0; }
    void error(const std::string&) override {}
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }

  private:
    unsigned asked_ = 0;
};

// Tables past this size only repeat zero-filled records and slow the search down.
constexpr std::size_t kTableLimit = 512;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    FuzzUi ui;
    MemorySettingsBackend store;
    CVarnelDoc state(ui, store);

    const auto pg2 = ParsePg2EFile(bytes);
    if (pg2.records.size() != pg2.count || pg2.supplied > pg2.count)
        __builtin_trap();
    Pg2UnitTable pg2Table;
    pg2Table.units.resize(std::min<std::size_t>(pg2.count, kTableLimit));
    ReadPg2Records(state, pg2Table, pg2, 0);
    ReadPg2Names(pg2Table, bytes, 0);
    for (const auto& unit : pg2Table.units)
        if (unit.country >= pg2::kCountryCount)
            __builtin_trap();
    // What was read writes back to a file of the header's size.
    if (WritePg2EFile(pg2Table).size() !=
        kEFileHeaderSize + pg2Table.units.size() * pg2::kRecordSize)
        __builtin_trap();

    const auto peg = ParsePegEFile(bytes);
    PegUnitTable pegTable;
    pegTable.units.resize(std::min<std::size_t>(peg.count, kTableLimit));
    ReadPegRecords(pegTable, peg, 0);
    ReadPegNames(pegTable, bytes, 0);
    (void)WriteNamesFile(pegTable.units);

    for (const int entries : {27, 21}) {
        NameTable table(entries);
        ParseTFile(bytes, table);
        if (table.count() < 1 || table.count() > entries)
            __builtin_trap();
        for (int n = 0; n < entries; ++n)
            if (table.name(n).size() > NameTable::kMaxNameLength)
                __builtin_trap();
    }
    return 0;
}
