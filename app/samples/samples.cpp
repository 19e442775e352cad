#include "app/samples/samples.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/textlines.h"
#include "equip/efile.h"
#include "icons/sampleicons.h"
#include "icons/samplewavs.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace varnel {

namespace {

struct SampleUnit {
    const char* name; // Windows-1252 bytes
    int cls;
    const char* icon;
};

// Classes 0..21 all appear; names carry blanks and accented letters (\xE9 is e-acute, \xFC
// u-umlaut, \xE7 c-cedilla in Windows-1252).
constexpr SampleUnit kPg2Units[] = {
    {"Reserve Pool", 0, "NONE"},
    {"Wehrmacht Infantry", 1, "INF39"},
    {"Panzer IV F2", 2, "PZIV"},
    {"Tiger I", 2, "TIGER"},
    {"Sd.Kfz. 231 Sp\xE4hwagen", 3, "SDK231"},
    {"Pak 40 Panzerj\xE4ger", 4, "PAK40"},
    {"FlaK 36 88mm", 5, "FLAK88"},
    {"Westwall Bunker", 6, "BUNKER"},
    {"Opel Blitz", 7, "TRUCK"},
    {"sFH 18 Howitzer", 8, "SFH18"},
    {"Flakvierling 38", 9, "FLAKVR"},
    {"Bf 109 E", 10, "BF109"},
    {"Ju 87 Stuka", 11, "STUKA"},
    {"He 111 H", 12, "HE111"},
    {"Ju 52 Transport", 13, "JU52"},
    {"U-Boot Typ VII", 14, "UBOOT"},
    {"Z-Zerst\xF6rer 1934", 15, "DESTR"},
    {"Bismarck", 16, "BISMRK"},
    {"Graf Zeppelin", 17, "CARRIR"},
    {"Transport Schiff", 18, "TRSHIP"},
    {"Scharnhorst", 19, "SCHARN"},
    {"Admiral Hipper", 20, "CRUISR"},
    {"K\xF6nigsberg", 21, "LCRUIS"},
    {"Fallschirmj\xE4ger", 1, "FJ"},
    {"Infanterie fran\xE7"
     "aise",
     1, "FRINF"},
    {"Char B1 bis", 2, "CHARB1"},
    {"Somua S35", 2, "SOMUA"},
    {"M4 Sherman", 2, "SHERMN"},
    {"T-34/76", 2, "T34"},
    {"Matilda II", 2, "MATILD"},
    {"Bren Carrier", 3, "BREN"},
    {"QF 6-pdr", 4, "6PDR"},
    {"Bofors 40mm", 5, "BOFORS"},
    {"Maginot Ouvrage", 6, "BUNKER"},
    {"GMC CCKW", 7, "TRUCK"},
    {"M1 155mm Long Tom", 8, "LONGTM"},
    {"Spitfire Mk I", 10, "SPITF"},
    {"P-47 Thunderbolt", 11, "P47"},
    {"B-17 Flying Fortress", 12, "B17"},
    {"C-47 Dakota", 13, "C47"},
};

constexpr SampleUnit kPegUnits[] = {
    {"Reserve Pool", 0, "NONE"},
    {"Rifle Squad", 1, "RIFLE"},
    {"Leopard 2A6", 2, "LEO2"},
    {"M1A2 Abrams", 2, "ABRAMS"},
    {"Fennek Sp\xE4hwagen", 3, "FENNEK"},
    {"Milan Team", 4, "MILAN"},
    {"Gepard", 5, "GEPARD"},
    {"Field Bunker", 6, "BUNKER"},
    {"MAN Truck", 7, "TRUCK"},
    {"PzH 2000", 8, "PZH2K"},
    {"Patriot Battery", 9, "PATRIO"},
    {"Eurofighter", 10, "EUROF"},
    {"Tornado IDS", 11, "TORNAD"},
    {"Tiger H\xE9licopt\xE8re", 12, "TIGERH"},
    {"C-160 Transall", 13, "C160"},
    {"U-Boot 212A", 14, "U212"},
    {"Fr\xE9gate Lafayette", 15, "FREGAT"},
    {"Iowa Battleship", 16, "IOWA"},
    {"Charles de Gaulle", 17, "CDG"},
    {"Landing Ship", 18, "LST"},
    {"Kirov", 19, "KIROV"},
    {"Ticonderoga", 20, "TICOND"},
    {"Sachsen Fregatte", 21, "SACHSN"},
    {"Fallschirmj\xE4ger", 1, "FJ"},
    {"L\xE9gion \xE9trang\xE8re", 1, "LEGION"},
    {"Leclerc", 2, "LECLRC"},
    {"Challenger 2", 2, "CHALL2"},
    {"T-90", 2, "T90"},
    {"Merkava IV", 2, "MERKVA"},
    {"Luchs", 3, "LUCHS"},
    {"TOW Jeep", 4, "TOW"},
    {"Roland", 5, "ROLAND"},
    {"Bunker Complex", 6, "BUNKER"},
    {"Unimog", 7, "TRUCK"},
    {"MLRS", 8, "MLRS"},
    {"F-16 Falcon", 10, "F16"},
    {"A-10 Thunderbolt", 11, "A10"},
    {"AH-64 Apache", 12, "APACHE"},
    {"CH-47 Chinook", 13, "CH47"},
    {"Mi-24 Hind", 12, "HIND"},
};

constexpr const char* kPg2Countries[26] = {
    "Germany",  "Italy",         "Romania",      "Hungary", "Finland", "Bulgaria",
    "Slovakia", "Croatia",       "Vichy France", "Japan",   "Spain",   "United Kingdom",
    "France",   "United States", "Soviet Union", "Poland",  "Norway",  "Netherlands",
    "Belgium",  "Greece",        "Yugoslavia",   "Denmark", "China",   "Turkey",
    "Sweden",   "Switzerland"};

constexpr const char* kPegCountries[20] = {"Deutschland",
                                           "Fran\xE7"
                                           "e",
                                           "Italia",
                                           "Espa\xF1"
                                           "a",
                                           "United Kingdom",
                                           "United States",
                                           "Russia",
                                           "Poland",
                                           "Netherlands",
                                           "Belgium",
                                           "Norway",
                                           "Sweden",
                                           "Finland",
                                           "Greece",
                                           "Turkey",
                                           "Israel",
                                           "Syria",
                                           "Egypt",
                                           "Iran",
                                           "Rebels & Militia"};

constexpr const char* kOtherTexts[] = {"OK",        "Cancel",  "Next Turn", "Load Game",
                                       "Save Game", "Victory", "Defeat"};

// A byte that walks through 0..255 with the unit index, hitting both ends.
std::uint8_t spread(std::size_t i, int salt) {
    return static_cast<std::uint8_t>((i * 37 + static_cast<std::size_t>(salt) * 11) % 256);
}

// Values shared by both games for unit i: the first unit is all zero, the last all 255.
std::uint8_t statValue(std::size_t i, std::size_t n, int salt) {
    if (i == 0)
        return 0;
    if (i + 1 == n)
        return 255;
    return static_cast<std::uint8_t>(spread(i, salt) % 30);
}

} // namespace

Pg2UnitTable MakeSamplePg2Table() {
    Pg2UnitTable table;
    const std::size_t n = std::size(kPg2Units);
    for (std::size_t i = 0; i < n; ++i) {
        Pg2Unit u;
        Pg2UnitRecord& r = u.record;
        r.setCode(static_cast<std::uint16_t>(i));
        r[pg2::Class] = static_cast<std::uint8_t>(kPg2Units[i].cls);
        for (int off = pg2::SoftAtk; off <= pg2::Ammo; ++off)
            r[off] = statValue(i, n, off);
        r[pg2::Target] = static_cast<std::uint8_t>(i % 4);
        r[pg2::MoveMode] = kPg2Units[i].cls >= 10 && kPg2Units[i].cls <= 13 ? 1 : 0;
        r[pg2::MovMethod] = static_cast<std::uint8_t>(i % 12);
        r[pg2::Cost] = i + 1 == n ? 255 : static_cast<std::uint8_t>(i * 6);
        r[pg2::byteB21] = spread(i, 1);
        r[pg2::byteB23] = spread(i, 2);
        r[pg2::MonthExpired] = static_cast<std::uint8_t>((i + 5) % 13);
        r[pg2::MontAvaible] = static_cast<std::uint8_t>(i % 13);
        r[pg2::YearAvaible] = static_cast<std::uint8_t>(36 + i % 10);
        r[pg2::YearExpired] = static_cast<std::uint8_t>(45 + i % 10);
        r[pg2::OrganicTransport] = static_cast<std::uint8_t>(i % 4);
        r[pg2::byteB37] = spread(i, 3);
        r[pg2::bomberCode] = kPg2Units[i].cls == 12 ? 1 : 0;
        r.setIcon(kPg2Units[i].icon);
        r[pg2::atkMel] = static_cast<std::uint8_t>(i % 7);
        r[pg2::movMel] = static_cast<std::uint8_t>(i % 5);
        r[pg2::dieMel] = static_cast<std::uint8_t>(i % 3);
        for (int off = pg2::byte52; off < static_cast<int>(pg2::kRecordSize); ++off)
            r[off] = i + 1 == n ? 255 : spread(i, off) % 4;
        EncodePg2Country(r, static_cast<std::uint8_t>(i % pg2::kCountryCount));
        // Every bit of both flag bytes is set somewhere; unit n-1 has them all.
        r[pg2::Special1] = i + 1 == n ? 0xFF : static_cast<std::uint8_t>(1u << (i % 8));
        r[pg2::Special2] = i + 1 == n ? 0xFF : static_cast<std::uint8_t>(1u << ((i + 3) % 8));
        table.units.push_back(u);
        table.setName(i, kPg2Units[i].name);
    }
    return table;
}

PegUnitTable MakeSamplePegTable() {
    PegUnitTable table;
    const std::size_t n = std::size(kPegUnits);
    for (std::size_t i = 0; i < n; ++i) {
        PegUnit u;
        PegUnitRecord& r = u.record;
        r.setCode(static_cast<std::uint16_t>(i));
        r[peg::Class] = static_cast<std::uint8_t>(kPegUnits[i].cls);
        for (int off = peg::SoftAtk; off <= peg::Ammo; ++off)
            r[off] = statValue(i, n, off);
        r[peg::TargetType] = static_cast<std::uint8_t>(i % 4);
        r[peg::AirUnit] = kPegUnits[i].cls >= 10 && kPegUnits[i].cls <= 13 ? 1 : 0;
        r[peg::MovType] = static_cast<std::uint8_t>(i % 13);
        r[peg::Cost] = i + 1 == n ? 255 : static_cast<std::uint8_t>(i * 6);
        r[peg::IconNumber] = static_cast<std::uint8_t>(i);
        r[peg::byteB22] = spread(i, 1);
        r[peg::MonthAvaible] = static_cast<std::uint8_t>(i % 13);
        r[peg::YearAvaible] = static_cast<std::uint8_t>(i % 25);
        r[peg::airTransp] = static_cast<std::uint8_t>(i % 3);
        r[peg::Country] = static_cast<std::uint8_t>(i % peg::kCountryCount);
        // Every bit of the three option bytes and of byte55 is set somewhere.
        const bool all = i + 1 == n;
        r[peg::Options1] = all ? 0xFF : static_cast<std::uint8_t>(1u << (i % 8));
        r[peg::Options2] = all ? 0xFF : static_cast<std::uint8_t>(1u << ((i + 2) % 8));
        r[peg::Options3] = all ? 0xFF : static_cast<std::uint8_t>(1u << ((i + 5) % 8));
        r[peg::byteB30] = spread(i, 4);
        r.setUnitIcon(kPegUnits[i].icon);
        r[peg::atkSnd] = static_cast<std::uint8_t>(i % 7);
        r[peg::movSnd] = static_cast<std::uint8_t>(i % 5);
        r[peg::dieSnd] = static_cast<std::uint8_t>(i % 3);
        r[peg::byte55] = all ? 0xFF : static_cast<std::uint8_t>(1u << (i % 8));
        r.setMovIcon(r[peg::AirUnit] ? "MOVAIR" : (kPegUnits[i].cls >= 14 ? "MOVSEA" : "MOVGND"));
        for (int off = peg::byte61; off < static_cast<int>(peg::kRecordSize); ++off)
            r[off] = all ? 255 : spread(i, off) % 4;
        table.units.push_back(u);
        table.setName(i, kPegUnits[i].name);
    }
    return table;
}

std::string SampleTFile(Game game) {
    Bytes out;
    if (game == Game::Pg2)
        for (const char* c : kPg2Countries)
            AppendLine(out, c);
    else
        for (const char* c : kPegCountries)
            AppendLine(out, c);
    for (const char* t : kOtherTexts)
        AppendLine(out, t);
    return std::string(out.begin(), out.end());
}

std::vector<std::string> SampleIconNames(Game game) {
    std::set<std::string> names;
    if (game == Game::Pg2) {
        for (const auto& u : MakeSamplePg2Table().units)
            names.insert(u.record.icon());
    } else {
        for (const auto& u : MakeSamplePegTable().units) {
            names.insert(u.record.unitIcon());
            names.insert(u.record.movIcon());
        }
    }
    names.erase("");
    return {names.begin(), names.end()};
}

std::vector<int> SampleSoundNumbers(Game game) {
    std::set<int> numbers;
    auto add = [&](int mov, int atk, int die) {
        numbers.insert(1000 + mov);
        numbers.insert(2000 + atk);
        numbers.insert(3000 + die);
    };
    if (game == Game::Pg2) {
        for (const auto& u : MakeSamplePg2Table().units)
            add(u.record[pg2::movMel], u.record[pg2::atkMel], u.record[pg2::dieMel]);
    } else {
        for (const auto& u : MakeSamplePegTable().units)
            add(u.record[peg::movSnd], u.record[peg::atkSnd], u.record[peg::dieSnd]);
    }
    return {numbers.begin(), numbers.end()};
}

bool WriteSampleGameFolders(const std::string& dir, std::string& error) {
    namespace fs = std::filesystem;
    const fs::path root(dir);
    for (Game game : {Game::Pg2, Game::Peg}) {
        const fs::path folder = root / (game == Game::Pg2 ? "pg2" : "peg");
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) {
            error = "cannot create the folder " + folder.string();
            return false;
        }
        Bytes eFile, names;
        if (game == Game::Pg2) {
            const Pg2UnitTable table = MakeSamplePg2Table();
            eFile = WritePg2EFile(table);
            names = WriteNamesFile(table);
        } else {
            const PegUnitTable table = MakeSamplePegTable();
            eFile = WritePegEFile(table);
            names = WriteNamesFile(table);
        }
        const std::string tText = SampleTFile(game);
        const struct {
            const char* name;
            Bytes bytes;
        } files[] = {{"EQUIP97.EQP", eFile},
                     {"EQUIP97.txt", names},
                     {"GUI97.txt", Bytes(tText.begin(), tText.end())}};
        for (const auto& f : files) {
            const std::string path = (folder / f.name).string();
            if (!SaveFileBytes(path, f.bytes)) {
                error = "Error on creating [" + path + "]";
                return false;
            }
        }
        if (!WriteSampleIconArchive((folder / "").string(), game, SampleIconNames(game))) {
            error = "Error on creating [" +
                    (folder / (game == Game::Pg2 ? "PANZER2.DAT" : "MODGEN.DAT")).string() + "]";
            return false;
        }
        if (!WriteSampleWavs(folder.string(), SampleSoundNumbers(game))) {
            error = "Error on creating [" + (folder / "WAVS").string() + "]";
            return false;
        }
    }
    return true;
}

} // namespace varnel
