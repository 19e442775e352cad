#include "app/appsettings.h"
#include "cli/command.h"
#include "cli/common.h"

#include <algorithm>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace varnel::cli {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> commands;
    return commands;
}
} // namespace

CommandRegistration::CommandRegistration(const Command& command) {
    registry().push_back(command);
}

const std::vector<Command>& Commands() {
    return registry();
}

} // namespace varnel::cli

namespace {

void printHelp(std::ostream& out) {
    using varnel::cli::Commands;
    out << "Usage: varnel-cli COMMAND [ARGS...]\n"
           "Reads and changes the equipment files of PG2 and PeG without the editor.\n\n"
           "Commands:\n";
    auto commands = Commands();
    std::sort(commands.begin(), commands.end(),
              [](const auto& a, const auto& b) { return std::string(a.name) < b.name; });
    for (const auto& c : commands)
        out << "  " << c.name
            << std::string(12 - std::min<std::size_t>(11, std::string(c.name).size()), ' ')
            << c.summary << '\n';
    out << "\n'varnel-cli COMMAND --help' describes a command; 'varnel-cli --version' prints "
           "the version.\n";
}

#ifdef _WIN32
// The console shows UTF-8, as terminals elsewhere do. Output is written as it is, LF and all, so
// a redirected listing or CSV has the same bytes as on any other system.
void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
#else
void prepareConsole() {}
#endif

} // namespace

int main(int argc, char** argv) {
    prepareConsole();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printHelp(std::cerr);
        return 1;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(std::cout);
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "varnel-cli " << varnel::kAppVersion << '\n';
        return 0;
    }
    for (const auto& c : varnel::cli::Commands()) {
        if (args[0] != c.name)
            continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        varnel::cli::SetActiveCommand(c.name, c.summary, c.usage);
        return c.run(rest);
    }
    std::cerr << "varnel-cli: unknown command '" << args[0] << "'\n";
    printHelp(std::cerr);
    return 1;
}
