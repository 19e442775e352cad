// varnel-cli convert: a PG2 E-File converted into a new PeG E-File, as the editor's conversion
// followed by "Save As" writes it.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "base/filerestore.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/common.h"
#include "convert/conversion.h"
#include "equip/efile.h"

namespace varnel::cli {

namespace {

constexpr const char* kName = "convert";
constexpr const char* kUsage =
    "Usage: varnel-cli convert PG2EFILE -o PEGEFILE [--pg2-tfile P] [--peg-tfile P "
    "--tfile-out OUT]\n"
    "Converts a PG2 E-File into a PeG E-File, field by field, and writes it to PEGEFILE with its\n"
    "Names E-File beside it.\n\n"
    "  -o, --output PEGEFILE  the PeG E-File to write\n"
    "  --pg2-tfile P          the PG2 T-File for the PG2 country names (default: the search)\n"
    "  --peg-tfile P          the PeG T-File (default: GUI97 + suffix beside PEGEFILE)\n"
    "  --tfile-out OUT        take over the PG2 country names and write the converted PeG\n"
    "                         T-File (made from --peg-tfile) to OUT\n"
    "  --suffix S             language suffix of the text files (default .txt)\n"
    "  --game pg2             the input's game, when its size does not tell\n"
    "  --dir D, --alt-dir D   PG2 folders searched for GUI97 + suffix\n"
    "  --fix-codes            set each PG2 code that differs from its position to the position\n"
    "  --trust-header         write even when the E-File's unit count disagrees with its size\n"
    "Files are replaced through a temporary file beside them: a replaced file with other hard\n"
    "links becomes a new file, and its other names keep the old content.\n";

int run(const std::vector<std::string>& raw) {
    // --pg2-tfile is this command's name for the common --tfile.
    std::vector<std::string> argv = raw;
    for (auto& a : argv)
        if (a == "--pg2-tfile")
            a = "--tfile";
    std::vector<std::string> valued = kCommonValued;
    valued.insert(valued.end(), {"--output", "--peg-tfile", "--tfile-out"});
    const Args args(argv, valued, kCommonFlags);
    if (!args.ok())
        return args.stop(kName);
    if (args.positional().size() != 1)
        return Fail(kName, "expects one PG2 E-File (see --help)");
    const std::string input = args.positional()[0];
    const auto output = args.value("--output");
    if (!output)
        return Fail(kName, "-o PEGEFILE is required");
    const auto pegTFile = args.value("--peg-tfile");
    const auto tFileOut = args.value("--tfile-out");
    if (tFileOut && !pegTFile)
        return Fail(kName, "--tfile-out needs --peg-tfile, the T-File it is made from");
    if (pegTFile && !FileExists(*pegTFile))
        return Fail(kName, "PeG T-File not found: " + *pegTFile);

    const std::string outFolder = GetPathPart(*output, PathPart::Folder);
    if (!outFolder.empty() && !FileExists(outFolder))
        return Fail(kName, "the output folder " + outFolder + " does not exist");
    const auto game = DetectGame(args, input);
    if (!game)
        return 1;
    if (*game != Game::Pg2)
        return Fail(kName, input + " is not a PG2 E-File");

    Session session;
    session.writesEFiles = true;
    if (!LoadEFile(session, args, Game::Pg2, input))
        return 1;
    CVarnelDoc& state = session.state;
    // The converted table is named in the PeG folder: the output's folder.
    state.settings().dir(Game::Peg) = GetPathPart(*output, PathPart::Folder);
    state.settings().altDir(Game::Peg) = state.settings().dir(Game::Peg);
    ConvertRequest request;
    request.pegTFile = pegTFile.value_or("");
    request.takeOverNames = tFileOut.has_value();
    request.convertedTFile = tFileOut.value_or("");
    // The message names the files this command really writes.
    request.eFile = *output;

    FileRestorer written;
    if (tFileOut)
        written.remember(*tFileOut);
    const ConvertResult result = RunConversion(state, request);
    if (!result)
        return 1;
    if (tFileOut && !result.tFileWritten) {
        if (!result.tFile.empty()) {
            written.restore();
            return Fail(kName, "cannot write " + *tFileOut + "; nothing written");
        }
        std::cerr << "The country names were not taken over (the PeG names are already those of "
                     "PG2, or a T-File has none): "
                  << *tFileOut << " not written\n";
    }

    if (!SaveEFilePair(state, Game::Peg, *output)) {
        written.restore();
        return Fail(kName, "nothing written");
    }
    return 0;
}

const CommandRegistration reg{{kName, "convert a PG2 E-File into a PeG E-File", kUsage, run}};

} // namespace

} // namespace varnel::cli
