// varnel-cli merge: units of another E-File appended as a definition file lists them, as the
// editor's "Merge from TXT file" followed by a save writes them.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "base/fileio.h"
#include "base/filerestore.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "convert/definitionfile.h"
#include "convert/merge.h"
#include "equip/efile.h"

namespace varnel::cli {

namespace {

constexpr const char* kName = "merge";
constexpr const char* kUsage =
    "Usage: varnel-cli merge EFILE DEFFILE [-o OUT]\n"
    "Appends to the units of EFILE the units of another E-File of the same game that the\n"
    "definition file DEFFILE lists (one code per line, ascending), with their names. The source\n"
    "is the file the definition file's name line names (in its folder when the line has no\n"
    "folder); its Names E-File must lie beside it.\n\n"
    "  -o, --output OUT       write the merged E-File to OUT (default: EFILE), and its Names\n"
    "                         E-File beside it\n"
    "  --suffix S             language suffix of the text files (default .txt)\n"
    "  --game pg2|peg         the game, when the E-File's size does not tell\n"
    "  --tfile PATH           the T-File (country names)\n"
    "  --dir D, --alt-dir D   folders searched for GUI97 + suffix\n"
    "  --fix-codes            set each PG2 code that differs from its position to the position\n"
    "  --trust-header         write even when the E-File's unit count disagrees with its size\n"
    "Files are replaced through a temporary file beside them: a replaced file with other hard\n"
    "links becomes a new file, and its other names keep the old content.\n";

int run(const std::vector<std::string>& argv) {
    const auto command = ParseDefinitionCommand(kName, argv);
    if (!command)
        return HelpShown() ? 0 : 1;
    const Args& args = command->args;
    const std::string& input = command->eFile;
    const std::string& definition = command->definition;
    const std::string output = args.value("--output").value_or(input);

    const std::string outFolder = GetPathPart(output, PathPart::Folder);
    if (!outFolder.empty() && !FileExists(outFolder))
        return Fail(kName, "the output folder " + outFolder + " does not exist");
    Session session;
    session.writesEFiles = true;
    const auto game = OpenEFile(session, args, input);
    if (!game)
        return 1;
    CVarnelDoc& state = session.state;

    auto chosen = ReadDefinitionFile(state, definition);
    if (!chosen)
        return Fail(kName, "nothing merged");
    MergeRequest request;
    request.definition = std::move(*chosen);
    request.source = ResolveDefinitionTarget(definition, request.definition.parsed.sourceName);
    request.names = NamesPathFor(state.settings().textSuffix, request.source);
    if (!FileExists(request.source))
        return Fail(kName, "the source E-File " + request.source + " does not exist");
    if (!FileExists(request.names))
        return Fail(kName, "the source's Names E-File " + request.names + " does not exist");
    const auto merged = RunMerge(state, *game, request);
    if (!merged || *merged == 0)
        return Fail(kName, "nothing merged; nothing written");

    if (!SaveEFilePair(state, *game, output))
        return Fail(kName, "nothing written");
    return 0;
}

const CommandRegistration reg{
    {kName, "append the units a definition file lists from another E-File", kUsage, run}};

} // namespace

} // namespace varnel::cli
