#pragma once
// What the CLI tests of the bulk commands share: the editor's state over a scripted Ui, set up as
// varnel-cli sets up its own, so both can run the same command on the same files.

#include "app/appsettings.h"
#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/iconload.h"
#include "app/reportcommands.h"
#include "app/settingsstore.h"
#include "app/unitops.h"
#include "app/varneldoc.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace varnel::test {

struct Editor {
    Editor() : ui(MakeScriptedUi()), state(*ui, store) {
        ReadAllSettings(state.settings(), store);
        state.settings().dir(Game::Pg2) = state.settings().dir(Game::Peg) = "-";
        state.settings().altDir(Game::Pg2).clear();
        state.settings().altDir(Game::Peg).clear();
    }
    // Expects an information box and keeps its text for the comparison with the CLI's stdout.
    void information(const std::string& text) {
        ui->expectInformation(text);
        shown += text + "\n";
    }
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc state;
    std::string shown; // what the information boxes said, as the CLI prints it
};

// Reads `paths`, removes them and returns their bytes, so the CLI can write the same paths.
inline std::vector<Bytes> TakeFiles(const std::vector<std::string>& paths) {
    std::vector<Bytes> out;
    for (const auto& p : paths) {
        out.push_back(ReadFile(p));
        std::filesystem::remove(p);
    }
    return out;
}

inline void ExpectSameFiles(const std::vector<std::string>& paths,
                            const std::vector<Bytes>& editor) {
    ASSERT_EQ(paths.size(), editor.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ASSERT_TRUE(std::filesystem::exists(paths[i])) << paths[i];
        EXPECT_EQ(ReadFile(paths[i]), editor[i]) << paths[i];
    }
}

// The sample game folders, made by varnel-cli.
inline std::string MakeSamples(const TempDir& dir) {
    const auto r = RunCli({"samples", dir.dir() + "s"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return dir.dir() + "s/";
}

} // namespace varnel::test
