// varnel-cli used-icons EFILE --type stat|repack [-o OUT]: the used-icons report.

#include "app/reportcommands.h"
#include "cli/command.h"
#include "cli/common.h"
#include "reports/iconsreport.h"

namespace varnel::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnel-cli used-icons EFILE --type stat|repack [-o OUT] [--game pg2|peg]\n"
    "                                 [--suffix S] [--fix-codes]\n"
    "Writes the list of icon files the units of an E-File use, as the editor's \"Used Icons\n"
    "report\" does. Names that differ only in letter case are one icon.\n"
    "  --type stat     each icon with the number of icon fields naming it\n"
    "  --type repack   the icon file names alone\n"
    "  -o, --output OUT  the report file (default: <E-File without extension>_ICONS.TXT)\n"
    "  --game G      pg2 or peg (default: from the file size)\n"
    "  --suffix S    language suffix of the Names E-File (default .txt)\n"
    "  --fix-codes   set each PG2 unit code that differs from its position to the position\n";

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.insert(valued.end(), {"--type", "--output"});
    const Args args(argv, valued, kCommonFlags);
    if (!args.ok())
        return args.stop("used-icons");
    if (args.positional().size() != 1)
        return Fail("used-icons", "give exactly one E-File (see --help)");
    const auto typeName = args.value("--type");
    if (!typeName)
        return Fail("used-icons", "say which report with --type stat or repack");
    if (*typeName != "stat" && *typeName != "repack")
        return Fail("used-icons", "--type must be stat or repack, not '" + *typeName + "'");
    const int type = *typeName == "stat" ? StatInfo : Repack;
    const auto output = args.value("--output");
    if (output && output->empty())
        return Fail("used-icons", "--output needs a file name");

    const std::string& path = args.positional()[0];
    Session session;
    const auto game = OpenEFile(session, args, path);
    if (!game)
        return 1;
    switch (RunIconsReport(session.state, *game, type, false, output.value_or(""))) {
    case IconsReportResult::Written:
        return 0;
    case IconsReportResult::Empty:
        return Fail("used-icons", "no unit names an icon; nothing written");
    case IconsReportResult::Failed:
        break;
    }
    return 1;
}

const CommandRegistration reg{
    {"used-icons", "write the list of icons an E-File uses", kUsage, &run}};

} // namespace
} // namespace varnel::cli
