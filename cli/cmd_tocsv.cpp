// varnel-cli to-csv: every unit of an E-File to a spreadsheet file, as the editor's "Export to
// CSV..." writes it.

#include "app/csvcommands.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"

namespace varnel::cli {
namespace {

constexpr const char* kName = "to-csv";
constexpr const char* kUsage =
    "Usage: varnel-cli to-csv EFILE [-o OUT.csv] [--overwrite] [--game pg2|peg] [--suffix S]\n"
    "Writes every unit of EFILE, with its name, to a CSV file (UTF-8, comma-delimited, CR LF):\n"
    "a header row, then one row per unit: its code (the position) and every field, as the\n"
    "unit form shows it. A spreadsheet may change it and from-csv brings it back. A name or\n"
    "icon starting with = + - @, a tab or a CR gets a leading ' (text, not a formula), which\n"
    "from-csv removes. Never writes over EFILE or its Names E-File.\n\n"
    "  -o, --output OUT  the CSV file (default: the E-File's base name + .csv beside it)\n"
    "  --overwrite       replace OUT when it exists (never the E-File or its Names E-File)\n"
    "  --game G          pg2 or peg (default: from the file size)\n"
    "  --suffix S        language suffix of the Names E-File (default .txt)\n";

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.push_back("--output");
    std::vector<std::string> flags = kCommonFlags;
    flags.push_back("--overwrite");
    const Args args(argv, valued, flags);
    if (!args.ok())
        return args.stop(kName);
    if (args.positional().size() != 1)
        return Fail(kName, "give exactly one E-File (see --help)");
    const std::string& input = args.positional()[0];
    const std::string output = args.value("--output").value_or(CsvPathFor(input));
    if (output.empty())
        return Fail(kName, "--output needs a file name");
    // Never over what it reads, whatever the options: --overwrite is for an older CSV file.
    const std::string clash =
        CsvSourceClash(output, input, args.value("--suffix").value_or(kDefaultSuffix));
    if (!clash.empty())
        return Fail(kName,
                    output + " is the " + clash + " the units are read from; nothing written");
    if (FileExists(output) && !args.has("--overwrite"))
        return Fail(kName, output + " exists; nothing written (--overwrite replaces it)");

    Session session;
    const auto game = OpenEFile(session, args, input);
    if (!game)
        return 1;
    if (!WriteTableCsv(session.state, *game, output))
        return Fail(kName, "nothing written: " + SaveFailureReason());
    std::cout << "Wrote " << session.state.unitCount(*game) << " units to " << output << "\n";
    return 0;
}

const CommandRegistration reg{{kName, "write every unit of an E-File to a CSV file", kUsage, run}};

} // namespace
} // namespace varnel::cli
