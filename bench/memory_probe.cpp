// Peak memory of an editor session at the largest catalogue: both games' 65,535-unit E-Files
// with their Names E-Files and T-Files loaded into one document, and both sample icon archives
// loaded and painted from. Two steps, so that making the files does not count:
//   varnel-memory-probe prepare DIR   writes the sample game folders with 65,535-unit tables
//   varnel-memory-probe measure DIR   loads them and prints the peak resident size as JSON

#include "app/efileio.h"
#include "app/iconload.h"
#include "app/samples/samples.h"
#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/format.h"
#include "bench/benchsupport.h"
#include "equip/efile.h"
#include "icons/rgbimage.h"

#include <sys/resource.h>

#include <cstdio>
#include <string>

using namespace varnel;

namespace {

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // KiB on Linux
}

// Names of 30 bytes and more, longer than most real ones.
template <class Table> void nameLong(Table& table) {
    for (std::size_t i = 0; i < table.count(); ++i)
        table.setName(i, Format("Unit %05zu Pz.Kpfw \xE9 Ausf. B long", i));
}

int prepare(const std::string& dir) {
    std::string error;
    if (!WriteSampleGameFolders(dir, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Pg2UnitTable pg2 = MakeBenchPg2Table(kMaxUnits);
    PegUnitTable peg = MakeBenchPegTable(kMaxUnits);
    nameLong(pg2);
    nameLong(peg);
    const bool ok = SaveFileBytes(dir + "/pg2/EQUIP97.EQP", WritePg2EFile(pg2)) &&
                    SaveFileBytes(dir + "/pg2/EQUIP97.txt", WriteNamesFile(pg2)) &&
                    SaveFileBytes(dir + "/peg/EQUIP97.EQP", WritePegEFile(peg)) &&
                    SaveFileBytes(dir + "/peg/EQUIP97.txt", WriteNamesFile(peg));
    if (!ok)
        std::fprintf(stderr, "cannot write the tables under %s\n", dir.c_str());
    return ok ? 0 : 1;
}

int measure(const std::string& dir) {
    const long atStart = peakKiB();
    SilentUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc(ui, store);
    doc.settings().textSuffix = ".txt";
    doc.settings().dir(Game::Pg2) = dir + "/pg2/";
    doc.settings().dir(Game::Peg) = dir + "/peg/";
    const bool loaded =
        LoadEFile(doc, Game::Pg2, dir + "/pg2/EQUIP97.EQP") &&
        LoadEFile(doc, Game::Peg, dir + "/peg/EQUIP97.EQP") &&
        LoadIconArchive(ui, doc.settings(), doc.icons(Game::Pg2), dir + "/pg2/PANZER2.DAT") &&
        LoadIconArchive(ui, doc.settings(), doc.icons(Game::Peg), dir + "/peg/MODGEN.DAT");
    if (!loaded || doc.pg2()->count() != kMaxUnits || doc.peg()->count() != kMaxUnits) {
        std::fprintf(stderr, "the files under %s did not load\n", dir.c_str());
        return 1;
    }
    // One icon of each game painted, as the forms do on showing a unit.
    RgbImage image(92, 62);
    ShowIconOfUnit(image, doc, doc.icons(Game::Pg2), 0);
    ShowIconOfUnit(image, doc, doc.icons(Game::Peg), 0);
    const long peak = peakKiB();
    std::printf("{\n  \"units_per_game\": %zu,\n  \"start_kib\": %ld,\n  \"peak_kib\": %ld,\n"
                "  \"pg2_archive_bytes\": %zu,\n  \"peg_archive_bytes\": %zu\n}\n",
                kMaxUnits, atStart, peak, ReadFileBytes(dir + "/pg2/PANZER2.DAT")->size(),
                ReadFileBytes(dir + "/peg/MODGEN.DAT")->size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "prepare")
        return prepare(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "measure")
        return measure(argv[2]);
    std::fprintf(stderr, "usage: varnel-memory-probe prepare|measure DIR\n");
    return 2;
}
