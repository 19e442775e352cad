// varnel-cli set: arithmetic over the units a condition picks, each value checked as the unit
// form checks it, written as from-csv writes.

#include "app/arithmetic.h"
#include "app/csvcommands.h"
#include "app/efileio.h"
#include "base/csvtext.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "cli/where.h"
#include "equip/efile.h"

namespace varnel::cli {
namespace {

constexpr const char* kName = "set";
constexpr const char* kUsage =
    "Usage: varnel-cli set EFILE --where COND FIELD=VALUE|+N|-N|*PCT [...] [-o OUT]\n"
    "                      [--overwrite] [--dry-run] [--game pg2|peg] [--suffix S]\n"
    "Changes one or more fields of the units of EFILE that the condition COND picks:\n"
    "FIELD=VALUE sets the value as the form shows it (a drop-down's number or item text),\n"
    "FIELD=+N and FIELD=-N add or subtract N, FIELD=*PCT scales by PCT percent. A field is\n"
    "named by its column name (hardAtk) or the form's caption (\"Hard attack\"), any case.\n"
    "Adding and scaling round a cost to the nearest value its byte can store, and the summary\n"
    "says how many were rounded; a set value is never rounded. Every value is checked as the\n"
    "unit form checks it; when one is refused, nothing is written (exit status 1).\n\n"
    "  --where COND      the units to change, for example\n"
    "                    'class = Tank and country = Germany and \"Year available\" >= 1943';\n"
    "                    --where \"\" takes every unit\n"
    "  -o, --output OUT  write the E-File to OUT (default: EFILE), its Names E-File beside it\n"
    "  --overwrite       replace OUT or its Names E-File when they exist\n"
    "  --dry-run         check and print what would change; write nothing\n"
    "  --game G          pg2 or peg (default: from the file size)\n"
    "  --suffix S        language suffix of the Names E-File (default .txt)\n"
    "Conditions compare with = != < <= > >=, names and icons also with contains, joined by\n"
    "and / or (and binds tighter) and parentheses. The E-File and its Names E-File are\n"
    "written as a pair through temporary files: both or neither.\n";

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.insert(valued.end(), {"--output", "--where"});
    std::vector<std::string> flags = kCommonFlags;
    flags.insert(flags.end(), {"--dry-run", "--overwrite"});
    const Args args(argv, valued, flags);
    if (!args.ok())
        return args.stop(kName);
    if (args.positional().size() < 2)
        return Fail(kName, "give an E-File and at least one FIELD=VALUE (see --help)");
    const auto where = args.value("--where");
    if (!where)
        return Fail(kName, "--where COND is required (--where \"\" takes every unit)");
    const std::string& input = args.positional()[0];
    const std::string output = args.value("--output").value_or(input);
    if (output.empty())
        return Fail(kName, "--output needs a file name");
    const std::string suffix = args.value("--suffix").value_or(kDefaultSuffix);
    const std::string outNames = NamesPathFor(suffix, output);
    // EFILE itself (and its names) is updated in place; any other existing file only on request.
    if (!SameFile(output, input) && !args.has("--overwrite")) {
        for (const std::string& target : {output, outNames})
            if (FileExists(target))
                return Fail(kName, target + " exists; nothing written (--overwrite replaces it)");
    }
    const std::string outFolder = GetPathPart(output, PathPart::Folder);
    if (!outFolder.empty() && !FileExists(outFolder))
        return Fail(kName, "the output folder " + outFolder + " does not exist");

    Session session;
    session.writesEFiles = true;
    const auto game = OpenEFile(session, args, input);
    if (!game)
        return 1;
    CVarnelDoc& state = session.state;

    std::vector<Arithmetic> edits;
    for (std::size_t k = 1; k < args.positional().size(); ++k) {
        const auto text = Utf8To1252(args.positional()[k]);
        if (!text)
            return Fail(kName, "\"" + args.positional()[k] +
                                   "\" holds a character the E-File cannot store; nothing written");
        std::string message;
        const auto edit = ParseArithmetic(*game, *text, message);
        if (!edit)
            return Fail(kName, Utf8From1252(message) + "; nothing written");
        edits.push_back(*edit);
    }
    const auto condition = ParseWhere(kName, *game, *where, state.countries(*game));
    if (!condition)
        return 1;
    const std::vector<int> units = state.visitTable(
        *game, [&](const auto& table) { return MatchingUnits(table, *condition); });
    std::cout << Counted(static_cast<long long>(units.size()), "unit matches", "units match")
              << " the condition\n";

    const ArithmeticResult result = ApplyArithmetic(state, *game, units, edits);
    std::cout << ArithmeticSummary(state, *game, result);
    if (!result.ok)
        return Fail(kName, "values refused; nothing written");
    // What the save does to the Names E-File beyond the names, before it does it.
    if (const std::string note = NamesSaveNote(NamesPathFor(suffix, input), state.unitCount(*game));
        !note.empty())
        std::cout << note << '\n';
    if (args.has("--dry-run")) {
        std::cout << "Dry run: nothing written.\n";
        return 0;
    }
    if (result.changed == 0 && SameFile(output, input)) {
        std::cout << "Nothing to change; nothing written.\n";
        return 0;
    }
    if (!SaveEFilePair(state, *game, output))
        return Fail(kName, "nothing written");
    return 0;
}

const CommandRegistration reg{
    {kName, "change fields of the units a condition picks: set, add or scale", kUsage, run}};

} // namespace
} // namespace varnel::cli
