#include "app/iconload.h"
#include "tests/icons/iconarchive_testutil.h"
#include "tests/support/testsupport.h"

#include "app/settingsstore.h"
#include "app/varneldoc.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

Bytes archiveWith(Game game, const std::string& key, std::uint8_t shade) {
    if (game == Game::Pg2)
        return WriteIconArchive(
            {{key + ".SHP", WriteShpEntry(test::NineShpViews(ShpView{0, 0, 0, {2, shade, 0}}))}});
    const std::vector<std::uint16_t> pixel = {shade};
    return WriteIconArchive(
        {{key + ".S16", WriteS16Entry(test::NineS16Views(MakeS16View(1, 1, pixel, false)))}});
}

const char* archiveName(Game game) {
    return game == Game::Pg2 ? "PANZER2.dat" : "MODGEN.dat";
}
const char* dialogTitle(Game game) {
    return game == Game::Pg2 ? "Select PG2 Panzer2.dat" : "Select PeG MODGEN.DAT";
}

// Which of the three searched folders holds the archive.
enum class Where { EFileFolder, MainFolder, AltFolder };

struct SearchCase {
    const char* name;
    Game game;
    Where where;
};

class IconArchiveSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(IconArchiveSearch, EmptyPathFindsTheArchiveInTheFirstFolderHoldingIt) {
    const auto& c = GetParam();
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "efile");
    std::filesystem::create_directories(dir.path() / "main");
    std::filesystem::create_directories(dir.path() / "alt");
    AppSettings settings;
    settings.eFile(c.game) = dir.file("efile/EQUIP97.EQP");
    settings.dir(c.game) = dir.file("main/");
    settings.altDir(c.game) = dir.file("alt/");
    const char* folder = c.where == Where::EFileFolder  ? "efile/"
                         : c.where == Where::MainFolder ? "main/"
                                                        : "alt/";
    const std::string path = dir.file(std::string(folder) + archiveName(c.game));
    test::WriteFile(path, archiveWith(c.game, "TIGER", 7));
    // A later folder holding another archive must not be preferred.
    if (c.where != Where::AltFolder)
        test::WriteFile(dir.file(std::string("alt/") + archiveName(c.game)),
                        archiveWith(c.game, "OTHER", 7));

    auto ui = test::MakeScriptedUi();
    IconArchive archive(c.game);
    ASSERT_TRUE(LoadIconArchive(*ui, settings, archive, ""));
    EXPECT_EQ(settings.iconArchive(c.game), path);
    EXPECT_EQ(archive.keys(), (std::vector<std::string>{"TIGER"}));
    EXPECT_FALSE(ui->busy());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, IconArchiveSearch,
    testing::Values(SearchCase{"Pg2EFileFolder", Game::Pg2, Where::EFileFolder},
                    SearchCase{"Pg2MainFolder", Game::Pg2, Where::MainFolder},
                    SearchCase{"Pg2AltFolder", Game::Pg2, Where::AltFolder},
                    SearchCase{"PegEFileFolder", Game::Peg, Where::EFileFolder},
                    SearchCase{"PegMainFolder", Game::Peg, Where::MainFolder},
                    SearchCase{"PegAltFolder", Game::Peg, Where::AltFolder}),
    [](const auto& info) { return std::string(info.param.name); });

class IconArchiveNotFound : public testing::TestWithParam<Game> {};

TEST_P(IconArchiveNotFound, MessageThenChooserAndCancelChangesNothing) {
    const Game game = GetParam();
    test::TempDir dir;
    const std::string good = dir.file("good.dat");
    test::WriteFile(good, archiveWith(game, "TIGER", 7));
    AppSettings settings;
    settings.dir(game) = dir.dir();
    settings.altDir(game) = dir.file("alt/");
    settings.eFile(game) = "-";
    IconArchive archive(game);
    {
        auto ui = test::MakeScriptedUi();
        ASSERT_TRUE(LoadIconArchive(*ui, settings, archive, good));
    }
    // Nothing in any folder: the last candidate is named, then the chooser; cancel.
    const std::string last = dir.file(std::string("alt/") + archiveName(game));
    {
        auto ui = test::MakeScriptedUi();
        ui->expectInformation(last + "\nnot found!").expectFileDialog(dialogTitle(game), {});
        EXPECT_FALSE(LoadIconArchive(*ui, settings, archive, ""));
        ASSERT_EQ(ui->fileRequests().size(), 1u);
        EXPECT_TRUE(ui->fileRequests()[0].open);
    }
    EXPECT_EQ(settings.iconArchive(game), good);
    EXPECT_TRUE(archive.SelectIcon("TIGER"));

    // A chosen path that does not exist changes nothing either.
    {
        auto ui = test::MakeScriptedUi();
        ui->expectInformation(dir.file("gone.dat") + "\nnot found!")
            .expectFileDialog(dialogTitle(game), dir.file("gone2.dat"));
        EXPECT_FALSE(LoadIconArchive(*ui, settings, archive, dir.file("gone.dat")));
    }
    EXPECT_EQ(settings.iconArchive(game), good);

    // The chooser's answer is loaded and kept in the setting.
    const std::string other = dir.file("other.dat");
    test::WriteFile(other, archiveWith(game, "PANTHER", 7));
    {
        auto ui = test::MakeScriptedUi();
        ui->expectInformation(dir.file("gone.dat") + "\nnot found!")
            .expectFileDialog(dialogTitle(game), other);
        EXPECT_TRUE(LoadIconArchive(*ui, settings, archive, dir.file("gone.dat")));
    }
    EXPECT_EQ(settings.iconArchive(game), other);
    EXPECT_EQ(archive.keys(), (std::vector<std::string>{"PANTHER"}));
}

INSTANTIATE_TEST_SUITE_P(Games, IconArchiveNotFound, testing::Values(Game::Pg2, Game::Peg),
                         [](const auto& info) {
                             return std::string(info.param == Game::Pg2 ? "Pg2" : "Peg");
                         });

TEST(IconArchiveLoad, FailedOpenKeepsTheIndexButRefusesSelection) {
    test::TempDir dir;
    test::WriteFile(dir.file("PANZER2.DAT"), archiveWith(Game::Pg2, "TIGER", 7));
    std::filesystem::create_directories(dir.path() / "folder.dat");
    AppSettings settings;
    auto ui = test::MakeScriptedUi();
    IconArchive archive(Game::Pg2);
    ASSERT_TRUE(LoadIconArchive(*ui, settings, archive, dir.file("PANZER2.DAT")));
    ASSERT_TRUE(archive.SelectIcon("TIGER"));

    // A folder is refused before anything is given up: the archive shown stays.
    ui->expectInformation("not a regular file: " + dir.file("folder.dat"));
    EXPECT_FALSE(LoadIconArchive(*ui, settings, archive, dir.file("folder.dat")));
    EXPECT_TRUE(archive.isOpen());
    EXPECT_TRUE(archive.SelectIcon("TIGER"));

    // A file that vanishes between the search and the read closes the archive but keeps its
    // index, so selections are refused.
    archive.Close();
    EXPECT_FALSE(archive.isOpen());
    EXPECT_EQ(archive.keyCount(), 1u);
    EXPECT_EQ(archive.entryCount(), 0u);
    EXPECT_FALSE(archive.SelectIcon("TIGER"));
    EXPECT_EQ(test::ChangedPixels(test::ShowAtOrigin(archive, "TIGER")), 0);
}

TEST(IconArchiveLoad, ViewAndOriginOutliveReloads) {
    test::TempDir dir;
    test::WriteFile(dir.file("a.dat"), archiveWith(Game::Peg, "TIGER", 7));
    AppSettings settings;
    auto ui = test::MakeScriptedUi();
    IconArchive archive(Game::Peg);
    archive.NextView();
    archive.SetOrigin(10, 2);
    ASSERT_TRUE(LoadIconArchive(*ui, settings, archive, dir.file("a.dat")));
    EXPECT_EQ(archive.view(), 5);
    EXPECT_EQ(archive.originX(), 10);
}

TEST(IconArchiveLoad, LetterCaseOfTheFileNameDoesNotMatter) {
    test::TempDir dir;
    test::WriteFile(dir.file("panzer2.DAT"), archiveWith(Game::Pg2, "TIGER", 7));
    AppSettings settings;
    settings.eFile(Game::Pg2) = dir.file("EQUIP97.EQP");
    auto ui = test::MakeScriptedUi();
    IconArchive archive(Game::Pg2);
    ASSERT_TRUE(LoadIconArchive(*ui, settings, archive, ""));
    EXPECT_EQ(archive.keyCount(), 1u);
}

TEST(IconArchiveUnits, SelectsTheIconOfTheUnitRecord) {
    MemorySettingsBackend store;
    auto ui = test::MakeScriptedUi();
    CVarnelDoc state(*ui, store);
    state.icons(Game::Pg2).Open(archiveWith(Game::Pg2, "TIGER", 7));
    state.icons(Game::Peg).Open(archiveWith(Game::Peg, "LEO2", 7));

    // No E-File loaded yet.
    EXPECT_FALSE(SelectIconOfUnit(state, state.icons(Game::Pg2), 0));
    EXPECT_FALSE(SelectIconOfUnit(state, state.icons(Game::Peg), 0));

    Pg2UnitTable pg2Table;
    pg2Table.units.resize(2);
    const char pg2Icon[] = "tiger"; // lower case in the record
    std::copy(pg2Icon, pg2Icon + 5, pg2Table.units[1].record.bytes.begin() + pg2::Icon);
    state.loadTable(std::move(pg2Table));
    PegUnitTable pegTable;
    pegTable.units.resize(1);
    const char pegIcon[] = "LEO2";
    std::copy(pegIcon, pegIcon + 4, pegTable.units[0].record.bytes.begin() + peg::UnitIcon);
    state.loadTable(std::move(pegTable));

    EXPECT_FALSE(SelectIconOfUnit(state, state.icons(Game::Pg2), 0)); // empty icon name
    EXPECT_TRUE(SelectIconOfUnit(state, state.icons(Game::Pg2), 1));
    EXPECT_FALSE(SelectIconOfUnit(state, state.icons(Game::Pg2), 2));
    EXPECT_FALSE(SelectIconOfUnit(state, state.icons(Game::Pg2), -1));
    EXPECT_TRUE(SelectIconOfUnit(state, state.icons(Game::Peg), 0));
    EXPECT_FALSE(SelectIconOfUnit(state, state.icons(Game::Peg), 1));

    RgbImage image(iconfile::kFrameWidth, iconfile::kFrameHeight);
    state.icons(Game::Pg2).SetOrigin(0, 0);
    ShowIconOfUnit(image, state, state.icons(Game::Pg2), 1);
    EXPECT_EQ(test::ChangedPixels(image), 1);
    EXPECT_EQ(image.at(2 + 44, 2 + 29), Pg2Palette()[7]);
}

// The document loads a game's archive for its form: the file the user chose since the form last
// loaded (ReLoad Icons), otherwise the one beside the E-File, which may have come from elsewhere.
class DocumentIcons : public testing::TestWithParam<Game> {};

TEST_P(DocumentIcons, ChosenArchiveOnlyWhenChosenSinceTheLastLoad) {
    const Game g = GetParam();
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "efile");
    const std::string beside = dir.file(std::string("efile/") + archiveName(g));
    const std::string chosen = dir.file("chosen.dat");
    test::WriteFile(beside, archiveWith(g, "BESIDE", 7));
    test::WriteFile(chosen, archiveWith(g, "CHOSEN", 7));
    MemorySettingsBackend store;
    auto ui = test::MakeScriptedUi();
    CVarnelDoc doc(*ui, store);
    doc.settings().eFile(g) = dir.file("efile/EQUIP97.EQP");
    // The form was made while the setting named the chosen file: that one is not "new".
    doc.settings().iconArchive(g) = chosen;
    doc.view(g).iconsLoaded = chosen;
    const std::vector<std::string> besideKeys{"BESIDE"}, chosenKeys{"CHOSEN"};

    ASSERT_TRUE(doc.loadIcons(g));
    EXPECT_EQ(doc.icons(g).keys(), besideKeys);
    EXPECT_EQ(doc.settings().iconArchive(g), beside);

    doc.settings().iconArchive(g) = chosen; // ReLoad Icons
    ASSERT_TRUE(doc.loadIcons(g));
    EXPECT_EQ(doc.icons(g).keys(), chosenKeys);
    EXPECT_EQ(doc.view(g).iconsLoaded, chosen);

    // Loaded once, the choice gives way to the archive beside the E-File again.
    ASSERT_TRUE(doc.loadIcons(g));
    EXPECT_EQ(doc.icons(g).keys(), besideKeys);
    // The other game's archive and setting are its own.
    EXPECT_EQ(doc.icons(OtherGame(g)).keyCount(), 0u);
    EXPECT_EQ(doc.settings().iconArchive(OtherGame(g)), "");
    EXPECT_TRUE(ui->finished());
}

INSTANTIATE_TEST_SUITE_P(Games, DocumentIcons, testing::Values(Game::Pg2, Game::Peg),
                         [](const auto& info) { return std::string(GameName(info.param)); });

} // namespace
} // namespace varnel
