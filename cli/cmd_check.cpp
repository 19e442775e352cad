// varnel-cli check EFILE [--archive PATH] [--wavs DIR]: what the game would choke on.

#include "app/compareandcheck.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "reports/check.h"

namespace varnel::cli {
namespace {

constexpr int kClean = 0;
constexpr int kErrors = 1;
constexpr int kTrouble = 2;

constexpr const char* kUsage =
    "Usage: varnel-cli check EFILE [--archive PATH] [--wavs DIR] [--game pg2|peg]\n"
    "                          [--suffix S] [--tfile PATH] [--dir D] [--alt-dir D]\n"
    "Lists each finding with its severity (error or warning) and its unit:\n"
    "  codes that differ from their position; a Names E-File with more or fewer lines than\n"
    "  there are units; icon names that are not in the icon archive; sound numbers whose WAV\n"
    "  file is missing; stored values the field table would refuse; PG2 country masks that\n"
    "  name no single country; PG2 units available only after their expiry date.\n"
    "  --archive PATH  the icon archive (default: PANZER2.dat or MODGEN.dat in the E-File's\n"
    "                  folder, then --dir, then --alt-dir)\n"
    "  --wavs DIR      the folder of the sound files (default: WAVS in the E-File's folder)\n"
    "  --game G        pg2 or peg (default: from the file size)\n"
    "  --suffix S      language suffix of the text files (default .txt)\n"
    "A check whose archive or folder is missing is skipped, and the output says why.\n"
    "Exit status: 0 when there is no error, 1 when there is one, 2 when the E-File cannot be\n"
    "read.\n";

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.insert(valued.end(), {"--archive", "--wavs"});
    const Args args(argv, valued, {"--trust-header"});
    if (args.helpShown())
        return kClean;
    if (!args.ok()) {
        Fail("check", args.error());
        return kTrouble;
    }
    if (args.positional().size() != 1) {
        Fail("check", "give exactly one E-File (see --help)");
        return kTrouble;
    }
    for (const char* option : {"--archive", "--wavs"})
        if (const auto v = args.value(option); v && v->empty()) {
            Fail("check", std::string(option) + " needs a path");
            return kTrouble;
        }
    Session session;
    const auto game = OpenEFile(session, args, args.positional()[0]);
    if (!game)
        return kTrouble;
    const AppSettings& s = session.state.settings();
    CheckRequest request;
    request.archive = args.value("--archive").value_or("");
    request.wavFolder = args.value("--wavs").value_or(s.dir(*game) + "WAVS" + kNativeSeparator);
    const CheckResult result = CheckCatalogue(session.state, *game, request);
    std::cout << CheckText(result);
    return result.hasErrors() ? kErrors : kClean;
}

const CommandRegistration reg{
    {"check", "list what in an E-File the game would choke on", kUsage, &run}};

} // namespace
} // namespace varnel::cli
