#include "equip/tfile.h"

#include "base/textlines.h"

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

} // namespace varnel
