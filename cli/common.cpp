#include "cli/common.h"

#include "app/efileio.h"
#include "app/filekind.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "equip/efile.h"
#include "equip/pegrecord.h"
#include "equip/pg2record.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace varnel::cli {

namespace {

struct ActiveCommand {
    std::string name = "varnel-cli";
    std::string summary;
    std::string usage;
    bool helpShown = false;
};

ActiveCommand& activeCommand() {
    static ActiveCommand command;
    return command;
}

// The help line of each option any command takes; a command whose option means something else
// has a line of its own, under "command --option".
const char* optionHelp(const std::string& command, const std::string& name) {
    static const std::map<std::string, const char*> help = {
        {"diff --format", "text or csv (default text)"},
        {"--archive", "the icon archive (default: searched as the editor searches it)"},
        {"--wavs", "the folder of the sound files (default: WAVS beside the E-File)"},
        {"--output", "the file to write"},
        {"--game", "pg2 or peg (default: from the file size)"},
        {"--suffix", "language suffix of the text files (default .txt)"},
        {"--tfile", "T-File for the country names (default: GUI97 + suffix, searched)"},
        {"--dir", "main folder searched for the T-File"},
        {"--alt-dir", "alternative folder searched for the T-File"},
        {"--fix-codes", "set each unit code that differs from its position to the position"},
        {"--trust-header", "write even when the E-File's unit count disagrees with its size"},
        {"--format", "full, brief or list"},
        {"--type", "stat or repack"},
        {"--set", "K=PCT: scale the costs of PeG country K by PCT percent (repeatable)"},
        {"--peg-tfile", "the PeG T-File (default: GUI97 + suffix beside the output)"},
        {"--tfile-out", "take over the PG2 country names and write the converted T-File here"},
        {"--view", "the icon view 1..9"},
        {"--overwrite", "replace existing files (never the source E-File or its Names E-File)"},
        {"--append", "rows whose code lies past the last unit add units"},
        {"--dry-run", "check and print what would change; write nothing"},
    };
    if (const auto own = help.find(command + " " + name); own != help.end())
        return own->second;
    const auto it = help.find(name);
    return it == help.end() ? "" : it->second;
}

} // namespace

void SetActiveCommand(const char* name, const char* summary, const char* usage) {
    activeCommand() = {std::string("varnel-cli ") + name, summary, usage, false};
}

bool HelpShown() {
    return activeCommand().helpShown;
}

Args::Args(const std::vector<std::string>& args, const std::vector<std::string>& valued,
           const std::vector<std::string>& flags) {
    const ActiveCommand& command = activeCommand();
    CLI::App app(command.summary, command.name);
    app.footer(command.usage);
    app.allow_extras(false);
    // Options are "--x" on every system: "/data/E.EQP" is a path, on Windows too.
    app.allow_windows_style_options(false);
    // "varnel-cli diff" -> "diff"
    const std::string verb = command.name.substr(command.name.find(' ') + 1);
    std::map<std::string, std::vector<std::string>> given;
    for (const auto& name : valued) {
        std::string names = name == "--output" ? "-o," + name : name;
        app.add_option(names, given[name], optionHelp(verb, name))
            ->type_name("VALUE")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->expected(1)
            ->allow_extra_args(false);
    }
    std::map<std::string, int> flagCounts;
    for (const auto& name : flags)
        app.add_flag(name, flagCounts[name], optionHelp(verb, name));
    app.add_option("ARGS", positional_, "the files the command works on");

    // CLI11 takes the arguments in reverse order.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        helpShown_ = true;
        activeCommand().helpShown = true;
        return;
    } catch (const CLI::ParseError& e) {
        error_ = e.what();
        return;
    }
    for (const auto& [name, list] : given)
        for (const auto& v : list)
            values_.emplace(name, v);
    for (const auto& [name, count] : flagCounts)
        for (int i = 0; i < count; ++i)
            values_.emplace(name, "");
}

int Args::stop(const std::string& command) const {
    if (helpShown_)
        return 0;
    return Fail(command, error_);
}

std::optional<std::string> Args::value(const std::string& name) const {
    // The last occurrence wins, as with most command-line tools.
    std::optional<std::string> out;
    for (auto [it, end] = values_.equal_range(name); it != end; ++it)
        out = it->second;
    return out;
}

std::vector<std::string> Args::all(const std::string& name) const {
    std::vector<std::string> out;
    for (auto [it, end] = values_.equal_range(name); it != end; ++it)
        out.push_back(it->second);
    return out;
}

Session::Session() : ui(std::cout, std::cerr), state(ui, store) {
    ReadAllSettings(state.settings(), store);
    // Nothing the CLI reads should be searched for in the user's own game folders unless the
    // options name them.
    state.settings().dir(Game::Pg2) = kNoValue;
    state.settings().dir(Game::Peg) = kNoValue;
    state.settings().altDir(Game::Pg2).clear();
    state.settings().altDir(Game::Peg).clear();
}

std::optional<DefinitionCommand>
ParseDefinitionCommand(const char* command, const std::vector<std::string>& argv,
                       const std::vector<std::string>& extraFlags) {
    std::vector<std::string> valued = kCommonValued;
    valued.push_back("--output");
    std::vector<std::string> flags = kCommonFlags;
    flags.insert(flags.end(), extraFlags.begin(), extraFlags.end());
    Args args(argv, valued, flags);
    if (!args.ok()) {
        if (!args.helpShown())
            Fail(command, args.error());
        return std::nullopt;
    }
    if (args.positional().size() != 2) {
        Fail(command, "expects an E-File and a definition file (see --help)");
        return std::nullopt;
    }
    const std::string eFile = args.positional()[0];
    const std::string definition = args.positional()[1];
    if (IsNonRegularFile(definition)) {
        Fail(command, "not a regular file: " + definition + " (the definition file)");
        return std::nullopt;
    }
    auto bytes = ReadFileBytes(definition);
    if (!bytes) {
        Fail(command, "cannot read the definition file " + definition);
        return std::nullopt;
    }
    return DefinitionCommand{std::move(args), eFile, definition, std::move(*bytes)};
}

int Fail(const std::string& command, const std::string& message) {
    std::cerr << "varnel-cli " << command << ": " << message << '\n';
    return 1;
}

std::optional<Game> DetectGame(const Args& args, const std::string& eFilePath) {
    if (const auto g = args.value("--game")) {
        if (*g == "pg2")
            return Game::Pg2;
        if (*g == "peg")
            return Game::Peg;
        std::cerr << "varnel-cli: --game must be pg2 or peg, not '" << *g << "'\n";
        return std::nullopt;
    }
    std::error_code ec;
    const std::string resolved = ResolvePath(eFilePath);
    if (IsNonRegularFile(eFilePath)) {
        std::cerr << "varnel-cli: not a regular file: " << eFilePath << '\n';
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(resolved, ec)) {
        std::cerr << "varnel-cli: file [" << eFilePath << "] not found\n";
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(resolved, ec);
    if (ec) {
        std::cerr << "varnel-cli: cannot read [" << eFilePath << "]\n";
        return std::nullopt;
    }
    const bool pg2 = size >= kEFileHeaderSize && (size - kEFileHeaderSize) % pg2::kRecordSize == 0;
    const bool peg = size >= kEFileHeaderSize && (size - kEFileHeaderSize) % peg::kRecordSize == 0;
    if (pg2 != peg) {
        return pg2 ? Game::Pg2 : Game::Peg;
    }
    std::cerr << "varnel-cli: the size of " << eFilePath << " (" << size << " bytes) "
              << (pg2 ? "fits both games" : "fits neither game")
              << "; say which with --game pg2 or --game peg\n";
    return std::nullopt;
}

bool LoadEFile(Session& session, const Args& args, Game game, const std::string& eFilePath) {
    AppSettings& s = session.state.settings();
    if (const auto suffix = args.value("--suffix"))
        s.textSuffix = *suffix;
    // The folder search looks in the E-File's folder, then --dir, then --alt-dir; a folder the
    // options do not name is the E-File's own, so nothing is looked for in the working folder.
    const std::string eFileFolder = GetPathPart(eFilePath, PathPart::Folder);
    const std::string home =
        eFileFolder.empty() ? std::string(".") + kNativeSeparator : eFileFolder;
    s.dir(game) = WithTrailingSeparator(args.value("--dir").value_or(home));
    s.altDir(game) = WithTrailingSeparator(args.value("--alt-dir").value_or(home));
    session.state.setCurrentGame(game);

    if (IsNonRegularFile(eFilePath)) {
        std::cerr << "varnel-cli: not a regular file: " << eFilePath << '\n';
        return false;
    }
    if (!ReadFileBytes(eFilePath)) {
        std::cerr << "varnel-cli: file [" << eFilePath << "] not found\n";
        return false;
    }
    // A file named by an option must be there: asking for another is for the editor.
    if (const auto t = args.value("--tfile"); t && !FileExists(*t)) {
        std::cerr << "varnel-cli: the T-File " << *t << " given by --tfile does not exist\n";
        return false;
    } else if (t && IsNonRegularFile(*t)) {
        std::cerr << "varnel-cli: not a regular file: " << *t << '\n';
        return false;
    }
    LoadOptions options;
    options.codes = args.has("--fix-codes") ? CodeAnswer::Yes : CodeAnswer::No;
    options.tFile = args.value("--tfile").value_or("");
    if (!varnel::LoadEFile(session.state, game, eFilePath, options))
        return false;
    if (const LoadFindings& found = session.state.findings(game); found.codeMismatches > 0) {
        // One line, with a few examples, however many units are affected.
        std::cerr << "varnel-cli: " << found.codeMismatches
                  << " units have a code that differs from their position ("
                  << (options.codes == CodeAnswer::Yes ? "set to the position by --fix-codes"
                                                       : "left as they are, --fix-codes sets them")
                  << "):";
        for (const auto& [unit, code] : found.codeExamples)
            std::cerr << " unit " << unit << " has " << code << ';';
        if (found.codeMismatches > found.codeExamples.size())
            std::cerr << " ...";
        std::cerr << '\n';
    }
    if (const LoadFindings& found = session.state.findings(game); found.headerMismatch()) {
        const std::string what = eFilePath + ": its header counts " +
                                 std::to_string(found.headerCount) + " units, its size holds " +
                                 std::to_string(found.recordsHeld);
        if (session.writesEFiles && !args.has("--trust-header")) {
            std::cerr << "varnel-cli: " << what
                      << "; nothing written (--trust-header writes it anyway)\n";
            return false;
        }
        std::cerr << "varnel-cli: warning: " << what << '\n';
    }
    if (session.state.countries(game).count() == 0)
        std::cerr << "varnel-cli: warning: no T-File found, country names are empty\n";
    return true;
}

std::optional<Game> OpenEFile(Session& session, const Args& args, const std::string& eFilePath) {
    const auto game = DetectGame(args, eFilePath);
    if (!game || !LoadEFile(session, args, *game, eFilePath))
        return std::nullopt;
    return game;
}

} // namespace varnel::cli
