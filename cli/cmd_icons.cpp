// varnel-cli icons / icon: list the icons of an archive and write one icon frame as a picture.

#include "app/iconload.h"
#include "base/fileio.h"
#include "base/numbers.h"
#include "base/paths.h"
#include "base/png.h"
#include "cli/command.h"
#include "cli/common.h"
#include "icons/iconarchive.h"
#include "icons/rgbimage.h"

#include <cctype>
#include <filesystem>

namespace varnel::cli {
namespace {

constexpr const char* kListUsage =
    "Usage: varnel-cli icons --game pg2|peg ARCHIVE\n"
    "Lists the icon names of an icon archive (PANZER2.DAT for PG2, MODGEN.DAT for PeG), sorted,\n"
    "one per line: the names the unit records use, upper case, without extension.\n";

constexpr const char* kIconUsage =
    "Usage: varnel-cli icon --game pg2|peg ARCHIVE NAME [--view N] -o OUT.png|OUT.ppm\n"
    "Writes the 92 x 62 icon frame the editor shows for icon NAME (border, background, pixels).\n"
    "NAME is taken without regard to case and extension; an unknown name gives the empty frame.\n"
    "  --view N      the view to show, 1 to 9 (default 4)\n"
    "  -o, --output  the picture to write; .png or .ppm (binary P6) by its extension\n";

std::optional<Game> gameOption(const std::string& command, const Args& args) {
    const auto g = args.value("--game");
    if (!g) {
        Fail(command, "say which game the archive belongs to with --game pg2 or --game peg");
        return std::nullopt;
    }
    if (*g == "pg2")
        return Game::Pg2;
    if (*g == "peg")
        return Game::Peg;
    Fail(command, "--game must be pg2 or peg, not '" + *g + "'");
    return std::nullopt;
}

// Opens the archive without the editor's search and chooser: a missing file is an error here.
bool openArchive(const std::string& command, IconArchive& archive, const std::string& path) {
    std::error_code ec;
    if (IsNonRegularFile(path)) {
        Fail(command, "not a regular file: " + path);
        return false;
    }
    if (!std::filesystem::is_regular_file(ResolvePath(path), ec)) {
        Fail(command, "icon archive [" + path + "] not found");
        return false;
    }
    Session session;
    if (!LoadIconArchive(session.ui, session.state.settings(), archive, path)) {
        Fail(command, "cannot read the icon archive [" + path + "]");
        return false;
    }
    if (archive.entriesRead() < archive.entryCount())
        std::cerr << "varnel-cli " << command << ": warning: the directory of [" << path
                  << "] lists " << archive.entryCount() << " entries but the file holds only "
                  << archive.entriesRead() << "\n";
    return true;
}

int runList(const std::vector<std::string>& argv) {
    const Args args(argv, {"--game"}, {});
    if (!args.ok())
        return args.stop("icons");
    if (args.positional().size() != 1)
        return Fail("icons", "give exactly one icon archive (see --help)");
    const auto game = gameOption("icons", args);
    if (!game)
        return 1;
    IconArchive archive(*game);
    if (!openArchive("icons", archive, args.positional()[0]))
        return 1;
    for (const auto& key : archive.keys())
        std::cout << key << '\n';
    if (archive.keyCount() == 0)
        std::cerr << "varnel-cli icons: [" << args.positional()[0] << "] holds no icon of "
                  << GameName(*game) << " (is it the other game's archive?)\n";
    return 0;
}

int runIcon(const std::vector<std::string>& argv) {
    const Args args(argv, {"--game", "--view", "--output"}, {});
    if (!args.ok())
        return args.stop("icon");
    if (args.positional().size() != 2)
        return Fail("icon", "give an icon archive and an icon name (see --help)");
    const auto game = gameOption("icon", args);
    if (!game)
        return 1;
    const auto output = args.value("--output");
    if (!output || output->empty())
        return Fail("icon", "name the picture to write with -o OUT.png or -o OUT.ppm");
    std::string extension = GetPathPart(*output, PathPart::Extension);
    for (char& c : extension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (extension != ".PNG" && extension != ".PPM")
        return Fail("icon", "the picture must end in .png or .ppm, not '" + *output + "'");

    IconArchive archive(*game);
    if (const auto view = args.value("--view")) {
        const std::optional<int> n = ParseInteger(*view, iconfile::kFirstView, iconfile::kLastView);
        if (!n)
            return Fail("icon", "--view must be a number from 1 to 9, not '" + *view + "'");
        archive.SetView(*n);
    }
    const std::string& path = args.positional()[0];
    if (!openArchive("icon", archive, path))
        return 1;

    const std::string key = IconKey(args.positional()[1]);
    RgbImage frame(iconfile::kFrameWidth, iconfile::kFrameHeight);
    archive.SetOrigin(0, 0);
    archive.DrawFrame(frame);
    if (archive.SelectIcon(key))
        archive.DrawPixels(frame);
    else
        std::cerr << "varnel-cli icon: no icon " << key << " in [" << path
                  << "]; wrote the empty frame\n";

    const auto rgb = frame.rgbBytes();
    const auto bytes = extension == ".PNG" ? EncodePng(frame.width(), frame.height(), rgb)
                                           : EncodePpm(frame.width(), frame.height(), rgb);
    if (!bytes || !SaveFileBytes(*output, *bytes))
        return Fail("icon", "cannot write [" + *output + "]");
    return 0;
}

const CommandRegistration listReg{
    {"icons", "list the icons of an icon archive", kListUsage, &runList}};
const CommandRegistration iconReg{
    {"icon", "write one icon as the editor shows it (PNG or PPM)", kIconUsage, &runIcon}};

} // namespace
} // namespace varnel::cli
