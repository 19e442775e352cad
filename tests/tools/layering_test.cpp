// The core (the top of every subsystem folder) must not include Qt: it builds into a library
// that the command-line program links without Qt.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {

TEST(Layering, CoreIncludesNoQtHeader) {
    const fs::path root(VARNEL_SOURCE_DIR);
    const std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/|ui_)[^>"]*[>"])");
    int filesChecked = 0;
    for (const char* dir : {"app", "equip", "convert", "icons", "reports", "tools", "cli"}) {
        if (!fs::exists(root / dir))
            continue;
        // Only the top of each folder: ui/ subfolders hold the Qt code.
        for (const auto& entry : fs::directory_iterator(root / dir)) {
            if (!entry.is_regular_file())
                continue;
            const auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp")
                continue;
            ++filesChecked;
            std::ifstream in(entry.path());
            std::string line;
            int number = 0;
            while (std::getline(in, line)) {
                ++number;
                EXPECT_FALSE(std::regex_search(line, qtInclude))
                    << entry.path().string() << ":" << number << ": " << line;
            }
        }
    }
    EXPECT_GT(filesChecked, 10);
}

} // namespace
