// varnel: the editor. Everything is in the GUI library; this only starts it.

#include "app/ui/varnelapp.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setOrganizationName(QStringLiteral("Korrin_Tools"));

    // QApplication has taken its own options out; the rest stay bytes, so a file name reaches the
    // core exactly as the system gave it.
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto commandLine = varnel::ParseCommandLine(args, error);
    if (!commandLine) {
        std::fprintf(stderr, "varnel: %s\n%s", error.c_str(), varnel::CommandLineUsage().c_str());
        return 2;
    }
    if (commandLine->help) {
        std::fputs(varnel::CommandLineUsage().c_str(), stdout);
        return 0;
    }

    varnel::CVarnelApp app;
    if (!app.initInstance(*commandLine))
        return 1;
    return QApplication::exec();
}
