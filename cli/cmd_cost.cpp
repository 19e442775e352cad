// varnel-cli cost: the global cost modifier over a PeG E-File, as the editor's "Global Cost
// Modifier" followed by a save writes it.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "base/numbers.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "convert/costmodifier.h"
#include "equip/efile.h"

#include <charconv>

namespace varnel::cli {

namespace {

constexpr const char* kName = "cost";
constexpr const char* kUsage =
    "Usage: varnel-cli cost EFILE --set K=PCT [--set K=PCT ...] [-o OUT]\n"
    "Scales the cost of every unit of PeG country K (1..20) to PCT percent (a whole number:\n"
    "50 halves, 200 doubles; the result keeps its low byte). PeG E-Files only.\n\n"
    "  --set K=PCT            a country and its percentage; repeat for more countries\n"
    "  -o, --output OUT       write the E-File to OUT (default: EFILE), with its Names E-File\n"
    "                         beside it\n"
    "  --suffix S             language suffix of the text files (default .txt)\n"
    "  --game peg             the game, when the E-File's size does not tell\n"
    "  --tfile PATH           the T-File (country names)\n"
    "  --dir D, --alt-dir D   folders searched for GUI97 + suffix\n"
    "  --trust-header         write even when the E-File's unit count disagrees with its size\n"
    "Files are replaced through a temporary file beside them: a replaced file with other hard\n"
    "links becomes a new file, and its other names keep the old content.\n";

bool parseInt(const std::string& text, int& value) {
    const std::optional<int> parsed = ParseInteger(text);
    value = parsed.value_or(0);
    return parsed.has_value();
}

// "K=PCT" into the choices; false for anything else.
bool parseSet(const std::string& text, CostChoices& choices) {
    const auto eq = text.find('=');
    int country = 0;
    int percent = 0;
    if (eq == std::string::npos || !parseInt(text.substr(0, eq), country) ||
        !parseInt(text.substr(eq + 1), percent) || country < 1 || country >= peg::kCountryCount ||
        percent < 0)
        return false;
    choices.enabled[static_cast<std::size_t>(country)] = true;
    choices.percent[static_cast<std::size_t>(country)] = percent;
    return true;
}

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.insert(valued.end(), {"--output", "--set"});
    const Args args(argv, valued, kCommonFlags);
    if (!args.ok())
        return args.stop(kName);
    if (args.positional().size() != 1)
        return Fail(kName, "expects one PeG E-File (see --help)");
    const std::string input = args.positional()[0];
    const std::string output = args.value("--output").value_or(input);
    CostChoices choices;
    const auto sets = args.all("--set");
    if (sets.empty())
        return Fail(kName, "give at least one --set K=PCT");
    for (const auto& set : sets)
        if (!parseSet(set, choices))
            return Fail(kName, "--set " + set +
                                   ": expected K=PCT with K a PeG country 1..20 and PCT a whole "
                                   "number of 0 or more");

    const std::string outFolder = GetPathPart(output, PathPart::Folder);
    if (!outFolder.empty() && !FileExists(outFolder))
        return Fail(kName, "the output folder " + outFolder + " does not exist");
    const auto game = DetectGame(args, input);
    if (!game)
        return 1;
    if (*game != Game::Peg)
        return Fail(kName, input + " is not a PeG E-File: costs are changed in PeG only");
    Session session;
    session.writesEFiles = true;
    if (!LoadEFile(session, args, Game::Peg, input))
        return 1;
    CVarnelDoc& state = session.state;
    state.setCurrentGame(Game::Peg);
    ModifyPegCosts(state, choices);

    // Save in place writes the E-File; saving to another name writes its Names E-File as well.
    const bool elsewhere = ResolvePath(output) != ResolvePath(input);
    const bool saved =
        elsewhere ? SaveEFilePair(state, Game::Peg, output) : SaveEFile(state, Game::Peg, output);
    if (!saved)
        return Fail(kName, "nothing written");
    return 0;
}

const CommandRegistration reg{
    {kName, "scale the costs of the PeG units of chosen countries", kUsage, run}};

} // namespace

} // namespace varnel::cli
