// Feeds arbitrary bytes to the recovery journal's restore as a journal left behind by an editor
// that died: its base, its patches, undo and redo. Input that does not start with a base is put
// after the base of a real session's journal, so the fuzzer reaches the patches at once. The
// session's journal is also written into the corpus folder as a seed.

#include "app/compareandcheck.h"
#include "app/recoveryjournal.h"
#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "equip/fieldtable.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

using namespace varnel;
namespace fs = std::filesystem;

namespace {

class FuzzUi : public UiPort {
  public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return true; }
    void error(const std::string&) override {}
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
};

std::string scratch(const std::string& name) {
    return (fs::temp_directory_path() /
            ("varnel-fuzz-journal-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

template <class Table> Table smallTable(std::size_t count) {
    Table table;
    table.units.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        table.units[i].record.setCode(static_cast<std::uint16_t>(i));
        table.units[i].record[3] = static_cast<std::uint8_t>(i);
        table.setName(i, "Unit " + std::to_string(i));
    }
    return table;
}

// A journal of every kind of step over a copy base: what a real session leaves.
Bytes sessionJournal() {
    const std::string state = scratch("state");
    fs::remove_all(state);
    FuzzUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc(ui, store);
    doc.enableJournal(state);
    doc.loadTable(smallTable<PegUnitTable>(6), true, true);
    doc.setField(Game::Peg, 1, *FindField(Game::Peg, "airAtk"), "9");
    doc.setField(Game::Peg, 2, *FindField(Game::Peg, "denomination"), "Renamed");
    doc.cloneUnit(Game::Peg, 3);
    doc.deleteUnit(Game::Peg, 0);
    doc.undo(Game::Peg);
    doc.redo(Game::Peg);
    doc.replaceTable(smallTable<PegUnitTable>(4), "Restore backup");
    NameTable countries(CountryCount(Game::Peg));
    countries.setName(1, "Land");
    countries.setCount(2);
    doc.reloadCountries(Game::Peg, countries, "GUI97.txt");
    auto bytes = ReadFileBytes(doc.journalPath(Game::Peg));
    return bytes ? *bytes : Bytes();
}

const Bytes& model() {
    static const Bytes journal = sessionJournal();
    return journal;
}

// The length of the first record of the model: its base.
std::size_t baseLength(const Bytes& journal) {
    if (journal.size() < 4)
        return 0;
    const std::size_t n = journal[0] | journal[1] << 8 | journal[2] << 16 |
                          static_cast<std::size_t>(journal[3]) << 24;
    return std::min(journal.size(), n + 8);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The corpus folder named on the command line gets the session's journal as a seed.
    for (int i = 1; i < *argc; ++i) {
        std::error_code ec;
        if ((*argv)[i][0] != '-' && fs::is_directory((*argv)[i], ec))
            SaveFileBytes((fs::path((*argv)[i]) / "session").string(), model());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes& journal = model();
    Bytes bytes;
    // Input without the base's type byte at its body's start goes after the session's base.
    const bool ownBase = size > 5 && data[4] == 0;
    if (!ownBase)
        bytes.assign(journal.begin(),
                     journal.begin() + static_cast<std::ptrdiff_t>(baseLength(journal)));
    bytes.insert(bytes.end(), data, data + size);
    const std::string state = scratch("left");
    fs::create_directories(state);
    const std::string path = state + "/journal-1-1-peg.varnel";
    SaveFileBytes(path, bytes);
    FuzzUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc(ui, store);
    ReadJournalSummary(path);
    RestoreLeftJournal(doc, path);
    // Whatever was restored undoes and redoes whole.
    for (Game g : {Game::Pg2, Game::Peg}) {
        const std::size_t steps = doc.history(g).index();
        doc.moveHistoryTo(g, 0);
        doc.moveHistoryTo(g, steps);
        if (doc.history(g).index() != steps)
            __builtin_trap();
    }
    fs::remove(path);
    fs::remove(path + ".damaged");
    return 0;
}
