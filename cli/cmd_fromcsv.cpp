// varnel-cli from-csv: a spreadsheet file brought back into an E-File, every cell checked as the
// unit form checks it, as the editor's "Import from CSV..." applies it.

#include "app/csvcommands.h"
#include "app/efileio.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "equip/efile.h"

namespace varnel::cli {
namespace {

constexpr const char* kName = "from-csv";
constexpr const char* kUsage =
    "Usage: varnel-cli from-csv EFILE IN.csv [-o OUT] [--overwrite] [--append] [--dry-run]\n"
    "                           [--skip-refused] [--game pg2|peg] [--suffix S]\n"
    "Reads a CSV file (as to-csv writes it, or a semicolon-delimited equipment report) and\n"
    "sets the fields of the units of EFILE from it. Rows are matched to units by the code\n"
    "column (the unit's position); columns by their header, in any order and letter case; an\n"
    "absent column leaves its field as it is. Every cell is checked as the unit form checks\n"
    "it. Prints every refusal and every change; writes nothing when a cell is refused (exit\n"
    "status 1), unless --skip-refused leaves the refused rows out.\n\n"
    "  -o, --output OUT  write the E-File to OUT (default: EFILE), its Names E-File beside it\n"
    "  --overwrite       replace OUT or its Names E-File when they exist (never IN.csv)\n"
    "  --append          rows whose code lies past the last unit add units, in code order\n"
    "  --dry-run         check and print what would change; write nothing\n"
    "  --skip-refused    leave out the rows that hold a refused cell and apply the rest\n"
    "                    (a refused column still stops everything)\n"
    "  --game G          pg2 or peg (default: from the file size)\n"
    "  --suffix S        language suffix of the Names E-File (default .txt)\n"
    "The E-File and its Names E-File are written as a pair through temporary files: both or\n"
    "neither.\n";

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.push_back("--output");
    std::vector<std::string> flags = kCommonFlags;
    flags.insert(flags.end(), {"--append", "--dry-run", "--overwrite", "--skip-refused"});
    const Args args(argv, valued, flags);
    if (!args.ok())
        return args.stop(kName);
    if (args.positional().size() != 2)
        return Fail(kName, "give an E-File and a CSV file (see --help)");
    const std::string& input = args.positional()[0];
    const std::string& csvPath = args.positional()[1];
    const std::string output = args.value("--output").value_or(input);
    if (output.empty())
        return Fail(kName, "--output needs a file name");
    const std::string suffix = args.value("--suffix").value_or(kDefaultSuffix);
    const std::string outNames = NamesPathFor(suffix, output);
    if (SameFile(csvPath, output) || SameFile(csvPath, outNames))
        return Fail(kName, "the output would replace " + csvPath +
                               ", the CSV file it reads; "
                               "nothing written");
    // EFILE itself (and its names) is updated in place; any other existing file only on request.
    if (!SameFile(output, input) && !args.has("--overwrite")) {
        for (const std::string& target : {output, outNames})
            if (FileExists(target))
                return Fail(kName, target + " exists; nothing written (--overwrite replaces it)");
    }
    const std::string outFolder = GetPathPart(output, PathPart::Folder);
    if (!outFolder.empty() && !FileExists(outFolder))
        return Fail(kName, "the output folder " + outFolder + " does not exist");

    std::string error;
    const auto file = ReadCsvFile(csvPath, error);
    if (!file)
        return Fail(kName, error + "; nothing written");

    Session session;
    session.writesEFiles = true;
    const auto game = OpenEFile(session, args, input);
    if (!game)
        return 1;
    CVarnelDoc& state = session.state;
    const CsvImportOptions options{.append = args.has("--append")};

    // The rows to apply: all of them, or with --skip-refused those without a refused cell.
    CsvFile applied = *file;
    std::size_t refused = 0;
    std::vector<std::size_t> skipped;
    auto check = [&](const auto& table) {
        const auto plan = PlanCsvImport(table, *file, options);
        std::cout << CsvPlanSummary(plan, table);
        refused = plan.refusals.size();
        if (refused != 0 && args.has("--skip-refused")) {
            if (auto rest = WithoutRefusedRows(table, *file, options, skipped)) {
                applied = std::move(*rest);
                refused = 0;
            }
        }
    };
    state.visitTable(*game, check);
    if (refused != 0)
        return Fail(kName, args.has("--skip-refused")
                               ? "a column is refused, no row can be left out; nothing written"
                               : "cells refused; nothing written");
    // What the save does to the Names E-File beyond the names, before it does it.
    if (const std::string note = NamesSaveNote(NamesPathFor(suffix, input), state.unitCount(*game));
        !note.empty())
        std::cout << note << '\n';
    if (!skipped.empty()) {
        std::cout << "Left out " << skipped.size() << " refused rows (lines";
        for (const std::size_t line : skipped)
            std::cout << ' ' << line;
        std::cout << "); the other rows are applied.\n";
    }
    if (args.has("--dry-run")) {
        std::cout << "Dry run: nothing written.\n";
        return 0;
    }

    const auto outcome = state.importCsv(*game, applied, options);
    if (outcome.refusals != 0) {
        std::cout << outcome.summary;
        return Fail(kName, "cells refused; nothing written");
    }
    if (!outcome.applied && SameFile(output, input)) {
        std::cout << "Nothing to change; nothing written.\n";
        return 0;
    }
    if (!SaveEFilePair(state, *game, output))
        return Fail(kName, "nothing written");
    return 0;
}

const CommandRegistration reg{
    {kName, "set the units of an E-File from a CSV file, checked field by field", kUsage, run}};

} // namespace
} // namespace varnel::cli
