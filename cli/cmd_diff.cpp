// varnel-cli diff A B [--format text|csv]: what differs between two E-Files of one game.

#include "app/batchui.h"
#include "app/compareandcheck.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "equip/efile.h"
#include "reports/compare.h"

#include <iostream>

namespace varnel::cli {
namespace {

// As diff(1) has them.
constexpr int kEqual = 0;
constexpr int kDiffer = 1;
constexpr int kTrouble = 2;

constexpr const char* kUsage =
    "Usage: varnel-cli diff A B [--format text|csv] [--game pg2|peg] [--suffix S]\n"
    "Compares two E-Files of one game unit by unit, by position, with their Names E-Files\n"
    "(the E-File's path without extension plus the suffix).\n"
    "  --format text  each unit that differs with its code and name, then each field that\n"
    "                 differs by its catalogue name, both values as the form shows them\n"
    "                 (cost: 96 -> 108); units only in A or only in B (the default)\n"
    "  --format csv   the same as rows unit,code,name,change,field,a,b\n"
    "  --game G       pg2 or peg (default: from the file sizes)\n"
    "  --suffix S     language suffix of the Names E-Files (default .txt)\n"
    "Exit status: 0 when the files are equal, 1 when they differ, 2 on an error.\n";

int trouble(const std::string& message) {
    std::cerr << "varnel-cli diff: " << message << '\n';
    return kTrouble;
}

int run(const std::vector<std::string>& argv) {
    const Args args(argv, {"--format", "--game", "--suffix"}, {});
    if (args.helpShown())
        return kEqual;
    if (!args.ok())
        return trouble(args.error());
    if (args.positional().size() != 2)
        return trouble("give two E-Files, A and B (see --help)");
    const std::string format = args.value("--format").value_or("text");
    if (format != "text" && format != "csv")
        return trouble("--format must be text or csv, not '" + format + "'");
    const std::string& a = args.positional()[0];
    const std::string& b = args.positional()[1];
    for (const std::string* path : {&a, &b}) {
        if (IsNonRegularFile(*path))
            return trouble("not a regular file: " + *path);
        if (!FileExists(*path))
            return trouble("file [" + *path + "] not found");
    }

    std::optional<Game> game;
    if (const auto given = args.value("--game")) {
        if (*given != "pg2" && *given != "peg")
            return trouble("--game must be pg2 or peg, not '" + *given + "'");
        game = *given == "pg2" ? Game::Pg2 : Game::Peg;
    } else {
        const auto gameA = GameBySize(a);
        const auto gameB = GameBySize(b);
        if (gameA && gameB && *gameA != *gameB)
            return trouble(a + " is a " + GameName(*gameA) + " E-File and " + b + " a " +
                           GameName(*gameB) +
                           " E-File: files of different games cannot be "
                           "compared");
        game = gameA ? gameA : gameB;
        if (!game)
            return trouble("the sizes of " + a + " and " + b +
                           " do not tell the game; say which with --game pg2 or --game peg");
    }

    // Messages of the readers go to stderr: stdout holds only the differences.
    BatchUi ui(std::cerr, std::cerr);
    const std::string suffix = args.value("--suffix").value_or(".txt");
    auto ours = ReadOtherEFile(ui, *game, a, suffix);
    if (!ours)
        return kTrouble;
    auto theirs = ReadOtherEFile(ui, *game, b, suffix);
    if (!theirs)
        return kTrouble;
    // A file cut short by whole records reads as units of zeros past its end: say so, as info
    // and check do, so the missing units are not taken for real differences.
    for (const std::string& path : {a, b})
        if (const auto bytes = ReadFileBytes(path); bytes && bytes->size() >= kEFileHeaderSize) {
            const std::size_t header = (*bytes)[0] | ((*bytes)[1] << 8);
            const std::size_t record = RecordSize(*game);
            const std::size_t held = (bytes->size() - kEFileHeaderSize) / record;
            if (header != held)
                std::cerr << "varnel-cli diff: warning: " << path << ": its header counts "
                          << header << " units, its size holds " << held << '\n';
        }
    const bool names = ours->namesRead && theirs->namesRead;
    for (const OtherEFile* side : {&*ours, &*theirs})
        if (!side->namesRead)
            std::cerr << "varnel-cli diff: warning: cannot read the Names E-File "
                      << side->namesPath << "; names are not compared\n";
    const TableComparison c = *game == Game::Pg2 ? ComparePg2Tables(ours->pg2, theirs->pg2, names)
                                                 : ComparePegTables(ours->peg, theirs->peg, names);
    if (format == "csv") {
        const Bytes csv = ComparisonCsv(c);
        std::cout.write(reinterpret_cast<const char*>(csv.data()),
                        static_cast<std::streamsize>(csv.size()));
    } else {
        std::cout << ComparisonText(c, a, b);
    }
    std::cout.flush();
    if (!std::cout)
        return trouble("cannot write the differences");
    return c.equal() ? kEqual : kDiffer;
}

const CommandRegistration reg{{"diff", "compare two E-Files of one game", kUsage, &run}};

} // namespace
} // namespace varnel::cli
