#include "tests/support/equipfixture.h"

#include "base/format.h"

namespace varnel::test {

namespace {

constexpr int kPg2Countries = 27;

std::uint8_t pattern(std::size_t unit, std::size_t offset) {
    return static_cast<std::uint8_t>(unit * 7 + offset * 13 + unit / 256);
}

} // namespace

Bytes MakePg2EFile(std::size_t units) {
    Bytes out;
    ByteWriter w(out);
    w.u16(static_cast<std::uint16_t>(units));
    for (std::size_t i = 0; i < units; ++i) {
        Pg2UnitRecord r;
        for (std::size_t k = 0; k < r.bytes.size(); ++k)
            r.bytes[k] = pattern(i, k);
        r.setCode(static_cast<std::uint16_t>(i));
        EncodePg2Country(r, static_cast<std::uint8_t>(i % kPg2Countries));
        w.append(r.bytes);
    }
    return out;
}

Bytes MakePegEFile(std::size_t units) {
    Bytes out;
    ByteWriter w(out);
    w.u16(static_cast<std::uint16_t>(units));
    for (std::size_t i = 0; i < units; ++i) {
        PegUnitRecord r;
        for (std::size_t k = 0; k < r.bytes.size(); ++k)
            r.bytes[k] = pattern(i, k);
        r.setCode(static_cast<std::uint16_t>(i));
        w.append(r.bytes);
    }
    return out;
}

std::string MakeNames(std::size_t units) {
    std::string out;
    for (std::size_t i = 0; i < units; ++i)
        out += Format(" Unit %zu  Pz.Kpfw \xE9\xFC%s\r\n", i, i % 3 == 0 ? " long tail " : "");
    return out;
}

std::string MakeTFile(int lines) {
    std::string out;
    for (int k = 1; k <= lines; ++k)
        out += Format("Country %d\r\n", k);
    return out;
}

EquipEnv::EquipEnv() : uiPtr(MakeScriptedUi()), ui(*uiPtr), state(ui, store) {
    AppSettings& s = state.settings();
    s.textSuffix = ".txt";
    s.dir(Game::Pg2) = dir.dir();
    s.dir(Game::Peg) = dir.dir();
    s.altDir(Game::Pg2) = dir.dir() + "alt/";
    s.altDir(Game::Peg) = dir.dir() + "alt/";
    s.eFile(Game::Pg2) = s.eFile(Game::Peg) = kNoValue;
    s.tFile(Game::Pg2) = s.tFile(Game::Peg) = kNoValue;
    s.iconArchive(Game::Pg2) = s.iconArchive(Game::Peg) = kNoValue;
}

std::string EquipEnv::writeGame(const std::string& name, const Bytes& eFile,
                                const std::string& names) {
    const std::string path = dir.file(name + ".EQP");
    WriteFile(path, eFile);
    WriteFile(dir.file(name + ".txt"), names);
    return path;
}

void EquipEnv::writeTFile(int lines) {
    WriteFile(dir.file("GUI97.txt"), MakeTFile(lines));
}

} // namespace varnel::test
