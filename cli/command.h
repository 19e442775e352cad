#pragma once
// varnel-cli commands. Each command lives in its own file and registers itself with a static
// CommandRegistration, so adding a command touches no shared table.

#include <string>
#include <vector>

namespace varnel::cli {

struct Command {
    const char* name;
    const char* summary;                              // one line for the program's help
    const char* usage;                                // the command's --help text
    int (*run)(const std::vector<std::string>& args); // arguments after the command name
};

struct CommandRegistration {
    explicit CommandRegistration(const Command& command);
};

const std::vector<Command>& Commands();

} // namespace varnel::cli
