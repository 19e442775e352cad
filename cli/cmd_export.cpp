// varnel-cli export: a new E-File and Names E-File holding the units a definition file lists, as
// the editor's "Export EFile" writes them.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "convert/definitionfile.h"
#include "convert/export.h"

namespace varnel::cli {

namespace {

constexpr const char* kName = "export";
constexpr const char* kUsage =
    "Usage: varnel-cli export EFILE DEFFILE [-o OUT]\n"
    "Writes a new E-File and its Names E-File holding the units of EFILE that the definition\n"
    "file DEFFILE lists (one code per line, in the listed order). The target is the file the\n"
    "definition file's name line names (in its folder when the line has no folder).\n\n"
    "  -o, --output OUT       write the E-File to OUT instead (its Names E-File beside it)\n"
    "  --overwrite            replace an existing target; the source E-File and its Names\n"
    "                         E-File are never replaced. A replaced file with other hard links\n"
    "                         becomes a new file: its other names keep the old content\n"
    "  --suffix S             language suffix of the text files (default .txt)\n"
    "  --game pg2|peg         the game, when the E-File's size does not tell\n"
    "  --tfile PATH           the T-File (country names)\n"
    "  --dir D, --alt-dir D   folders searched for GUI97 + suffix\n"
    "  --fix-codes            set each PG2 code that differs from its position to the position\n"
    "  --trust-header         write even when the E-File's unit count disagrees with its size\n"
    "Files are replaced through a temporary file beside them: a replaced file with other hard\n"
    "links becomes a new file, and its other names keep the old content.\n";

int run(const std::vector<std::string>& argv) {
    const auto command = ParseDefinitionCommand(kName, argv, {"--overwrite"});
    if (!command)
        return HelpShown() ? 0 : 1;
    const Args& args = command->args;
    const std::string& input = command->eFile;
    const std::string& definition = command->definition;

    Session session;
    session.writesEFiles = true;
    const auto game = OpenEFile(session, args, input);
    if (!game)
        return 1;

    auto chosen = ReadDefinitionFile(session.state, definition);
    if (!chosen)
        return Fail(kName, "nothing exported");
    ExportRequest request;
    request.target = args.value("--output")
                         .value_or(ResolveDefinitionTarget(definition, chosen->parsed.sourceName));
    request.definition = std::move(*chosen);
    const std::string names = NamesPathFor(session.state.settings().textSuffix, request.target);
    if (!args.has("--overwrite"))
        for (const std::string& path : {request.target, names})
            if (FileExists(path))
                return Fail(kName, path + " exists; nothing exported (--overwrite replaces it)");
    if (!RunExport(session.state, *game, request))
        return Fail(kName, "nothing exported");
    return 0;
}

const CommandRegistration reg{
    {kName, "write the units a definition file lists to a new E-File", kUsage, run}};

} // namespace

} // namespace varnel::cli
