// varnel-cli report EFILE --format full|brief|list [-o OUT]: the equipment report.

#include "app/reportcommands.h"
#include "cli/command.h"
#include "cli/common.h"
#include "reports/equipreport.h"

namespace varnel::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnel-cli report EFILE --format full|brief|list [-o OUT] [--game pg2|peg]\n"
    "                             [--suffix S] [--tfile PATH] [--dir D] [--alt-dir D]\n"
    "                             [--fix-codes]\n"
    "Writes the equipment report of an E-File, as the editor's \"Report to file\" does.\n"
    "  --format full   semicolon-delimited table with every record byte\n"
    "  --format brief  semicolon-delimited table with the named fields only\n"
    "  --format list   codes, names, classes and countries (readable as a definition file)\n"
    "  -o, --output OUT  the report file (default: PG2_REPORT_<name>.TXT or\n"
    "                PeG_REPORT_<name>.TXT beside the E-File)\n"
    "  --game G      pg2 or peg (default: from the file size)\n"
    "  --suffix S    language suffix of the text files (default .txt)\n"
    "  --tfile PATH  T-File for the country names (default: GUI97 + suffix, searched in the\n"
    "                E-File's folder, then --dir, then --alt-dir)\n"
    "  --fix-codes   set each unit code that differs from its position to the position\n";

std::optional<int> parseFormat(const std::string& name) {
    if (name == "full")
        return FullTable;
    if (name == "brief")
        return BriefTable;
    if (name == "list")
        return SimpleList;
    return std::nullopt;
}

int run(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = kCommonValued;
    valued.insert(valued.end(), {"--format", "--output"});
    const Args args(argv, valued, kCommonFlags);
    if (!args.ok())
        return args.stop("report");
    if (args.positional().size() != 1)
        return Fail("report", "give exactly one E-File (see --help)");
    const auto formatName = args.value("--format");
    if (!formatName)
        return Fail("report", "say which report with --format full, brief or list");
    const auto format = parseFormat(*formatName);
    if (!format)
        return Fail("report", "--format must be full, brief or list, not '" + *formatName + "'");
    const auto output = args.value("--output");
    if (output && output->empty())
        return Fail("report", "--output needs a file name");

    const std::string& path = args.positional()[0];
    Session session;
    const auto game = OpenEFile(session, args, path);
    if (!game)
        return 1;
    return RunEquipmentReport(session.state, *game, *format, false, output.value_or("")) ? 0 : 1;
}

const CommandRegistration reg{{"report", "write the equipment report of an E-File", kUsage, &run}};

} // namespace
} // namespace varnel::cli
