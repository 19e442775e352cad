// The layers only point down: a file includes files of its own rank or below, and only the Qt
// folders include Qt. The rules are checked on the sources and on made-up lines, so a broken
// checker cannot pass the tree by accident.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The rank of a source folder, relative to the root ("app/ui" is the GUI's rank); nothing for
// folders outside the ranks (tests, bench, fuzz).
std::optional<int> rankOf(const std::string& folder) {
    static const std::vector<std::pair<std::string, int>> ranks = {
        {"base", 1},     {"equip", 2},       {"icons", 3},     {"convert", 3},    {"reports", 3},
        {"app", 4},      {"app/samples", 4}, {"app/table", 4}, {"tools", 4},      {"views", 5},
        {"res", 5},      {"app/ui", 5},      {"icons/ui", 5},  {"convert/ui", 5}, {"reports/ui", 5},
        {"tools/ui", 5}, {"cli", 6},
    };
    for (const auto& [name, rank] : ranks)
        if (folder == name)
            return rank;
    return std::nullopt;
}

bool isQtFolder(const std::string& folder) {
    return folder == "views" || folder == "res" ||
           (folder.size() > 3 && folder.compare(folder.size() - 3, 3, "/ui") == 0);
}

// The folder part of an include path ("equip/efile.h" gives "equip", "app/ui/x.h" "app/ui").
std::string folderOfInclude(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

const std::regex& projectInclude() {
    static const std::regex re(R"re(^\s*#\s*include\s*"([^"]+)")re");
    return re;
}

const std::regex& qtInclude() {
    static const std::regex re(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/|ui_)[^>"]*[>"])");
    return re;
}

// What is wrong with one line of a file in `folder`; empty when it is fine.
std::string checkLine(const std::string& folder, const std::string& line) {
    const auto rank = rankOf(folder);
    if (!rank)
        return {};
    if (!isQtFolder(folder) && std::regex_search(line, qtInclude()))
        return "Qt include outside the Qt folders";
    std::smatch m;
    if (std::regex_search(line, m, projectInclude())) {
        const auto target = rankOf(folderOfInclude(m[1].str()));
        if (target && *target > *rank)
            return "includes rank " + std::to_string(*target) + " from rank " +
                   std::to_string(*rank);
    }
    return {};
}

TEST(Layering, RulesRefuseUpwardAndQtIncludes) {
    EXPECT_NE(checkLine("base", R"(#include "equip/efile.h")"), "");
    EXPECT_NE(checkLine("tools", R"(#include "app/ui/mainframe.h")"), "");
    EXPECT_NE(checkLine("equip", R"(#include "icons/iconarchive.h")"), "");
    EXPECT_NE(checkLine("app", R"(#include "app/ui/mainframe.h")"), "");
    EXPECT_NE(checkLine("convert", R"(#include "app/filekind.h")"), "");
    EXPECT_NE(checkLine("equip", "#include <QString>"), "");
    EXPECT_NE(checkLine("app", R"(#include "ui_view2.h")"), "");
    EXPECT_EQ(checkLine("app", R"(#include "convert/merge.h")"), "");
    EXPECT_EQ(checkLine("icons", R"(#include "convert/merge.h")"), "") << "same rank";
    EXPECT_EQ(checkLine("views", "#include <QWidget>"), "");
    EXPECT_EQ(checkLine("app/ui", R"(#include "views/view2.h")"), "");
    EXPECT_EQ(checkLine("cli", R"(#include "app/varneldoc.h")"), "");
    EXPECT_EQ(checkLine("tools", R"(#include "app/varneldoc.h")"), "") << "same rank";
    EXPECT_EQ(checkLine("app/table", R"(#include "app/varneldoc.h")"), "") << "app's subfolder";
    EXPECT_NE(checkLine("app/samples", R"(#include "views/view2.h")"), "");
    EXPECT_NE(checkLine("app/table", "#include <QString>"), "");
}

TEST(Layering, SourcesFollowTheRules) {
    const fs::path root(VARNEL_SOURCE_DIR);
    int filesChecked = 0;
    for (const char* top :
         {"base", "tools", "equip", "icons", "convert", "reports", "app", "views", "res", "cli"}) {
        if (!fs::exists(root / top))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            if (!entry.is_regular_file())
                continue;
            const auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp")
                continue;
            const std::string folder =
                fs::relative(entry.path().parent_path(), root).generic_string();
            // A folder without a rank would escape every rule below.
            EXPECT_TRUE(rankOf(folder).has_value()) << entry.path().string() << ": no rank";
            ++filesChecked;
            std::ifstream in(entry.path());
            std::string line;
            int number = 0;
            while (std::getline(in, line)) {
                ++number;
                const std::string fault = checkLine(folder, line);
                EXPECT_EQ(fault, "") << entry.path().string() << ":" << number << ": " << line;
            }
        }
    }
    EXPECT_GT(filesChecked, 50);
}

} // namespace
