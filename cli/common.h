#pragma once
// What the varnel-cli commands share: argument parsing, the common options and the set-up of the
// core's state over the batch Ui port.

#include "app/batchui.h"
#include "app/varneldoc.h"

#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace varnel::cli {

// The options of one command, parsed with CLI11: "--name value" (or "--name=value"), "--flag"
// and positional arguments; "-o" is the short form of "--output"; options may repeat (`all`).
// Unknown options are named in the error. "--help" prints the help CLI11 generates from the
// options, the command's summary and its usage text; ok() is false then and helpShown() true.
class Args {
  public:
    Args(const std::vector<std::string>& args, const std::vector<std::string>& valued,
         const std::vector<std::string>& flags);
    bool ok() const { return error_.empty() && !helpShown_; }
    bool helpShown() const { return helpShown_; }
    const std::string& error() const { return error_; }
    const std::vector<std::string>& positional() const { return positional_; }
    bool has(const std::string& name) const { return values_.count(name) > 0; }
    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> all(const std::string& name) const;
    // What a command returns when ok() is false: 0 after the help, else 1 after the error.
    int stop(const std::string& command) const;

  private:
    std::vector<std::string> positional_;
    std::multimap<std::string, std::string> values_;
    std::string error_;
    bool helpShown_ = false;
};

// The command being run, whose summary and usage the help shows; set by main.
void SetActiveCommand(const char* name, const char* summary, const char* usage);
// Whether an Args of this run printed the help.
bool HelpShown();

// The options every data command takes.
inline const std::vector<std::string> kCommonValued = {"--suffix", "--game", "--tfile", "--dir",
                                                       "--alt-dir"};
inline const std::vector<std::string> kCommonFlags = {"--fix-codes", "--trust-header"};
// The language suffix of the Names E-Files when --suffix does not name one.
inline constexpr const char* kDefaultSuffix = ".txt";

// The core's state for one command: batch Ui on stdout/stderr, settings in memory only.
struct Session {
    Session();
    MemorySettingsBackend store;
    BatchUi ui;
    CVarnelDoc state;
    // Set by the commands that write E-Files: they refuse a file whose header count disagrees
    // with its size unless --trust-header is given; the others warn and go on.
    bool writesEFiles = false;
};

// The game of an E-File from the --game option or its size (2 + 73 N for PG2, 2 + 74 N for
// PeG). Prints the reason on stderr and returns nothing when it cannot be told.
std::optional<Game> DetectGame(const Args& args, const std::string& eFilePath);

// Applies the common options to the session's settings (suffix, folders, T-File, code answers)
// and loads the E-File as `game`, with its T-File and Names E-File. False (with a message on
// stderr) when the E-File could not be loaded.
bool LoadEFile(Session& session, const Args& args, Game game, const std::string& eFilePath);

// DetectGame and LoadEFile in one: the game of the loaded E-File, or nothing after a message.
std::optional<Game> OpenEFile(Session& session, const Args& args, const std::string& eFilePath);

// The arguments of the commands that follow a definition file: EFILE DEFFILE [-o OUT] and the
// common options, with the definition file read.
struct DefinitionCommand {
    Args args;
    std::string eFile;
    std::string definition;
    Bytes definitionBytes;
};

// Parses and checks those arguments; nothing (after a message on stderr, or the help) when they
// are wrong or the definition file cannot be read.
std::optional<DefinitionCommand>
ParseDefinitionCommand(const char* command, const std::vector<std::string>& argv,
                       const std::vector<std::string>& extraFlags = {});

// Prints "varnel-cli COMMAND: message" on stderr and returns 1.
int Fail(const std::string& command, const std::string& message);

} // namespace varnel::cli
