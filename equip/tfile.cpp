#include "equip/tfile.h"

#include "app/appstate.h"
#include "equip/openfile.h"
#include "tools/textlines.h"

namespace varnel {

namespace {

constexpr const char* kNoCountry = "None";

const std::string& emptyName() {
    static const std::string empty;
    return empty;
}

} // namespace

const std::string& NameTable::name(int n) const {
    if (n < 0 || n >= capacity())
        return emptyName();
    return names_[static_cast<std::size_t>(n)];
}

void NameTable::setName(int n, std::string name) {
    if (n < 0 || n >= capacity())
        return;
    if (name.size() > kMaxNameLength)
        name.resize(kMaxNameLength);
    names_[static_cast<std::size_t>(n)] = std::move(name);
}

void NameTable::clear() {
    for (auto& n : names_)
        n.clear();
    count_ = 0;
}

void ParseTFile(std::span<const std::uint8_t> data, NameTable& table) {
    table.clear();
    if (table.capacity() == 0)
        return;
    table.setName(0, kNoCountry);
    int count = 1;
    LineReader reader(data);
    std::string line;
    // Whole lines are read, so the rest of an over-long line is dropped with it and never taken
    // for the next country.
    while (count < table.capacity() && reader.next(line))
        table.setName(count++, line);
    table.setCount(count);
}

void LoadTFile(AppState& state, Game game, const std::string& path) {
    std::string& tFile = state.settings.tFile(game);
    tFile = path.empty() ? FindTFile(state.settings, game) : path;
    NameTable& table = state.countries(game);
    const char* tail = game == Game::Pg2 ? "\nyou'll not see PG2 Nation's names"
                                         : "\nyou'll not see PeG Nation's names";
    auto file = ReadFileOrAsk(state, TFileKind(game), tFile, tail);
    if (!file) {
        table.clear();
        tFile.clear();
        return;
    }
    tFile = file->path;
    ParseTFile(file->bytes, table);
}

void LoadPg2TFile(AppState& state, const std::string& path) {
    LoadTFile(state, Game::Pg2, path);
}

void LoadPegTFile(AppState& state, const std::string& path) {
    LoadTFile(state, Game::Peg, path);
}

} // namespace varnel
