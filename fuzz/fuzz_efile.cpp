// Feeds arbitrary bytes to the program's own entry points for E-Files, Names E-Files and T-Files:
// the loaders of both games, paste and merge, reading the bytes from files as the editor does.
// The input is cut in three at its first two 0xFF 0xFE pairs: E-File, Names E-File, T-File.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/unitops.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "equip/efile.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

using namespace varnel;

namespace {

// Every question answered with Yes, alternately No: both paths of the code check run. No file
// dialog is answered.
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

// A folder of this process for the files of one input.
const std::string& folder() {
    static const std::string dir = [] {
        const auto p =
            std::filesystem::temp_directory_path() / ("varnel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p.string() + "/";
    }();
    return dir;
}

std::span<const std::uint8_t> cut(std::span<const std::uint8_t>& rest) {
    for (std::size_t i = 0; i + 1 < rest.size(); ++i)
        if (rest[i] == 0xFF && rest[i + 1] == 0xFE) {
            const auto part = rest.first(i);
            rest = rest.subspan(i + 2);
            return part;
        }
    const auto part = rest;
    rest = {};
    return part;
}

void write(const std::string& name, std::span<const std::uint8_t> bytes) {
    SaveFileBytes(folder() + name, Bytes(bytes.begin(), bytes.end()));
}

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> rest(data, size);
    const auto eFile = cut(rest);
    const auto names = cut(rest);
    const auto tFile = rest;
    write("EQUIP97.EQP", eFile);
    write("EQUIP97.txt", names);
    write("GUI97.txt", tFile);

    FuzzUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc(ui, store);
    doc.settings().textSuffix = ".txt";
    doc.settings().dir(Game::Pg2) = doc.settings().dir(Game::Peg) = folder();
    for (const Game g : {Game::Pg2, Game::Peg}) {
        doc.setCurrentGame(g);
        // A file of the other game is opened in that game's view when the question gets a Yes.
        if (!LoadEFile(doc, g, folder() + "EQUIP97.EQP") || !doc.hasTable(g))
            continue;
        const std::size_t n = doc.unitCount(g);
        check(n <= kMaxUnits);
        check(doc.countries(g).count() <= CountryCount(g));
        if (g == Game::Pg2)
            for (const auto& unit : doc.pg2()->units)
                check(Pg2MaskIsSingle(unit.record)); // set right at load
        // Paste the same file and merge from it: both read it through their own paths.
        PasteUnits(doc, g, folder() + "EQUIP97.EQP");
        check(doc.unitCount(g) <= kMaxUnits);
        MergeRequest request;
        request.definition.path = folder() + "def.txt";
        request.definition.parsed.codes = {0, 1, 2, 3, 65534};
        request.source = folder() + "EQUIP97.EQP";
        request.names = folder() + "EQUIP97.txt";
        RunMerge(doc, g, request);
        check(doc.unitCount(g) <= kMaxUnits);
    }
    return 0;
}
