#pragma once
// Shared set-up of the conversion and bulk-edit tests: state over a scripted Ui port, units and
// files built in memory.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/reportcommands.h"
#include "app/settingsstore.h"
#include "app/unitops.h"
#include "app/varneldoc.h"
#include "base/bytes.h"
#include "tests/support/testsupport.h"

#include <string>
#include <vector>

namespace varnel::test {

struct Fixture {
    Fixture() : ui(MakeScriptedUi()), state(*ui, store) {
        AppSettings& s = state.settings();
        s.textSuffix = ".txt";
        s.dir(Game::Pg2) = s.altDir(Game::Pg2) = s.dir(Game::Peg) = s.altDir(Game::Peg) = dir.dir();
        s.tFile(Game::Pg2) = s.tFile(Game::Peg) = s.eFile(Game::Pg2) = s.eFile(Game::Peg) = "-";
        s.iconArchive(Game::Pg2) = s.iconArchive(Game::Peg) = "-";
    }
    TempDir dir;
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc state;
};

// Appends a PG2 unit whose bytes are all `fill` (code, country mask and switches set
// consistently) to the table.
inline Pg2Unit& AddPg2Unit(Pg2UnitTable& table, std::uint16_t code, std::uint8_t fill,
                           std::string_view name) {
    Pg2Unit& u = table.units.emplace_back();
    u.record.bytes.fill(fill);
    writeU16(u.record.bytes.data(), code);
    table.setName(table.count() - 1, name);
    return u;
}

inline PegUnit& AddPegUnit(PegUnitTable& table, std::uint16_t code, std::uint8_t fill,
                           std::string_view name) {
    PegUnit& u = table.units.emplace_back();
    u.record.bytes.fill(fill);
    writeU16(u.record.bytes.data(), code);
    table.setName(table.count() - 1, name);
    return u;
}

// E-File bytes: count, then `count` records whose bytes are the record index (+ `salt`) after
// the code, which is the index.
inline Bytes MakeEFile(std::size_t recordSize, std::size_t count, std::uint8_t salt = 0) {
    Bytes out;
    ByteWriter w(out);
    w.u16(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        w.u16(static_cast<std::uint16_t>(i));
        for (std::size_t b = 2; b < recordSize; ++b)
            w.u8(static_cast<std::uint8_t>(i + salt));
    }
    return out;
}

// Names "<prefix><i>" CR LF for i = 0 .. count-1.
inline std::string MakeNames(const std::string& prefix, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += prefix + std::to_string(i) + "\r\n";
    return out;
}

// Text lines joined with CR LF after each.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

} // namespace varnel::test
