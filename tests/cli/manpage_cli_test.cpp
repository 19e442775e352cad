// The manual page of varnel-cli against the program itself: every command the help lists and
// every option a command's help names must be described in the page, and --version answers.

#include "app/appsettings.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace varnel {
namespace {

// The page's text with the roff escapes a word may carry removed: font changes ("\fB") and the
// minus sign ("\-"), so "\fB\-\-output\fR" reads "--output".
std::string pageText() {
    std::ifstream in(std::string(VARNEL_SOURCE_DIR) + "/res/man/varnel-cli.1");
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    return text;
}

// Whether `word` stands in `text` as a word of its own ("--tfile" is not found in
// "--tfile-out").
bool hasWord(const std::string& text, const std::string& word) {
    const std::regex pattern("(^|[^A-Za-z0-9-])" +
                             std::regex_replace(word, std::regex("-"), "\\-") +
                             "($|[^A-Za-z0-9-])");
    return std::regex_search(text, pattern);
}

std::vector<std::string> commands() {
    const auto r = test::RunCli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    std::vector<std::string> names;
    const std::regex line(R"(\n  ([a-z][a-z-]*) +\S)");
    for (std::sregex_iterator it(r.out.begin(), r.out.end(), line), end; it != end; ++it)
        names.push_back((*it)[1]);
    return names;
}

TEST(ManPage, DescribesEveryCommandAndOption) {
    const std::string page = pageText();
    ASSERT_FALSE(page.empty()) << "res/man/varnel-cli.1 missing";
    const std::vector<std::string> names = commands();
    ASSERT_GE(names.size(), 10u);
    std::set<std::string> options = {"--help", "--version"};
    for (const std::string& name : names) {
        EXPECT_TRUE(hasWord(page, name)) << "command " << name;
        const auto r = test::RunCli({name, "--help"});
        EXPECT_EQ(r.exitCode, 0) << name;
        const std::regex option(R"((^|[\s,\[|])(--[a-z0-9][a-z0-9-]*|-[a-z])(?=[\s,=\]|]|$))");
        for (std::sregex_iterator it(r.out.begin(), r.out.end(), option), end; it != end; ++it)
            options.insert((*it)[2]);
    }
    // The options of convert's usage text and of the common set must have been seen.
    EXPECT_TRUE(options.count("--pg2-tfile") && options.count("--trust-header") &&
                options.count("-o"));
    for (const std::string& o : options)
        EXPECT_TRUE(hasWord(page, o)) << "option " << o;
}

// The Windows download's README lists the commands itself: a command added or renamed must show
// there too, each with the summary the help gives it.
TEST(WindowsReadme, ListsEveryCommandWithItsSummary) {
    std::ifstream in(std::string(VARNEL_SOURCE_DIR) + "/res/windows/README-windows.txt");
    ASSERT_TRUE(in) << "res/windows/README-windows.txt missing";
    // Each line with its runs of blanks made one, so the columns may be laid out freely.
    std::set<std::string> readme;
    for (std::string l; std::getline(in, l);)
        readme.insert(std::regex_replace(std::regex_replace(l, std::regex(R"(^\s+|\s+$)"), ""),
                                         std::regex(R"(\s+)"), " "));
    const auto r = test::RunCli({"--help"});
    ASSERT_EQ(r.exitCode, 0);
    const std::regex line(R"(\n  ([a-z][a-z-]*) +([^\n]*))");
    int seen = 0;
    for (std::sregex_iterator it(r.out.begin(), r.out.end(), line), end; it != end; ++it, ++seen) {
        const std::string entry = std::string((*it)[1]) + " " + std::string((*it)[2]);
        EXPECT_TRUE(readme.count(entry)) << "README-windows.txt lacks: " << entry;
    }
    EXPECT_GE(seen, 10);
}

TEST(ManPage, VersionOfTheProgram) {
    const auto r = test::RunCli({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, std::string("varnel-cli ") + kAppVersion + "\n");
    EXPECT_TRUE(pageText().find(std::string("Varnel ") + kAppVersion) != std::string::npos)
        << "the page names another version";
}

} // namespace
} // namespace varnel
