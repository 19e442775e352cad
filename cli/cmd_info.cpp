// varnel-cli info EFILE: what the editor reads from an E-File.

#include "cli/command.h"
#include "cli/common.h"

namespace varnel::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnel-cli info EFILE [--game pg2|peg] [--suffix S] [--tfile PATH] [--dir D]\n"
    "                           [--alt-dir D] [--fix-codes]\n"
    "Prints the game of an E-File, its number of units, the Names E-File and T-File used, and\n"
    "how many countries were read. The game follows from the file size unless --game says it.\n"
    "  --suffix S    language suffix of the text files (default .txt)\n"
    "  --tfile PATH  T-File for the country names (default: GUI97 + suffix, searched in the\n"
    "                E-File's folder, then --dir, then --alt-dir)\n"
    "  --fix-codes   set each unit code that differs from its position to the position\n";

int run(const std::vector<std::string>& argv) {
    const Args args(argv, kCommonValued, kCommonFlags);
    if (!args.ok())
        return args.stop("info");
    if (args.positional().size() != 1)
        return Fail("info", "give exactly one E-File (see --help)");
    const std::string& path = args.positional()[0];
    Session session;
    const auto game = OpenEFile(session, args, path);
    if (!game)
        return 1;
    const CVarnelDoc& st = session.state;
    const AppSettings& s = st.settings();
    std::cout << "Game: " << GameName(*game) << '\n'
              << "E-File: " << s.eFile(*game) << '\n'
              << "Units: " << st.unitCount(*game) << '\n'
              << "Names E-File: " << s.namesEFile(*game) << '\n'
              << "T-File: " << s.tFile(*game) << '\n'
              << "Countries read: " << st.countries(*game).count() << '\n';
    return 0;
}

const CommandRegistration reg{{"info", "show what an E-File holds", kUsage, &run}};

} // namespace
} // namespace varnel::cli
