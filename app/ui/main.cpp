// varnel: the editor. Everything is in the GUI library; this only starts it.

#include "app/appsettings.h"
#include "app/ui/varnelapp.h"
#include "base/paths.h"
#include "views/unitviewfactory.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Whether `arg` is one of the options QApplication takes for itself ("-platform offscreen").
bool isQtOption(const std::string& arg) {
    static const char* const options[] = {"platform",        "platformpluginpath",
                                          "platformtheme",   "plugin",
                                          "qwindowgeometry", "qwindowtitle",
                                          "qwindowicon",     "display",
                                          "geometry",        "style",
                                          "stylesheet",      "session",
                                          "reverse",         "widgetcount",
                                          "title",           "name"};
    std::string name = arg;
    name.erase(0, name.find_first_not_of('-'));
    name = name.substr(0, name.find('='));
    return arg.size() > 1 && arg[0] == '-' &&
           std::any_of(std::begin(options), std::end(options),
                       [&](const char* o) { return name == o; });
}

int usageError(const std::string& error) {
    std::fprintf(stderr, "varnel: %s\n%s", error.c_str(), varnel::CommandLineUsage().c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // --help and a wrong command line are answered before Qt starts, so they work without a
    // display too.
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto commandLine = varnel::ParseCommandLine(args, error);
    if (commandLine && commandLine->help) {
        std::fputs(varnel::CommandLineUsage().c_str(), stdout);
        return 0;
    }
    if (commandLine && commandLine->version) {
        std::printf("varnel %s\n", varnel::kAppVersion);
        return 0;
    }
    if (!commandLine && std::none_of(args.begin(), args.end(), isQtOption))
        return usageError(error);

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setOrganizationName(QStringLiteral("Korrin_Tools"));
    if (!commandLine) {
        // QApplication has taken its own options out; the rest stay bytes, so a file name
        // reaches the core exactly as the system gave it.
        args.assign(argv + 1, argv + argc);
        commandLine = varnel::ParseCommandLine(args, error);
        if (!commandLine)
            return usageError(error);
    }

    varnel::CVarnelApp app;
    app.setFormFactory(varnel::MakeUnitView);
    app.setTableFactory(varnel::MakeUnitTable);
    app.setJournalFolder(varnel::UserStateFolder());
    if (!app.initInstance(*commandLine))
        return 1;
    return QApplication::exec();
}
