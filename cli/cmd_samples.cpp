// varnel-cli samples DIR: writes the sample game folders.

#include "app/samples/samples.h"
#include "cli/command.h"
#include "cli/common.h"

namespace varnel::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnel-cli samples DIR\n"
    "Writes two sample game folders, DIR/pg2/ and DIR/peg/, each with an E-File (EQUIP97.EQP),\n"
    "its Names E-File (EQUIP97.txt) and a T-File (GUI97.txt) of invented units.\n";

int run(const std::vector<std::string>& argv) {
    const Args args(argv, {}, {});
    if (!args.ok())
        return args.stop("samples");
    if (args.positional().size() != 1)
        return Fail("samples", "give exactly one folder (see --help)");
    std::string error;
    if (!WriteSampleGameFolders(args.positional()[0], error))
        return Fail("samples", error);
    std::cout << "Sample game folders written to " << args.positional()[0] << '\n';
    return 0;
}

const CommandRegistration reg{{"samples", "write the sample game folders", kUsage, &run}};

} // namespace
} // namespace varnel::cli
