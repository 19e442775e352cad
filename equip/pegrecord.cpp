#include "equip/pegrecord.h"

#include "base/bytes.h"

#include <algorithm>

namespace varnel {

namespace {

std::string iconText(const std::uint8_t* field) {
    const auto* end = std::find(field, field + peg::kIconLength, std::uint8_t{0});
    return std::string(field, end);
}

void setIconText(std::uint8_t* field, const std::string& name) {
    for (std::size_t k = 0; k < static_cast<std::size_t>(peg::kIconLength); ++k)
        field[k] = k < name.size() ? static_cast<std::uint8_t>(name[k]) : 0;
}

} // namespace

void PegUnitRecord::setCode(std::uint16_t code) {
    writeU16(bytes.data() + peg::Code, code);
}

std::string PegUnitRecord::unitIcon() const {
    return iconText(bytes.data() + peg::UnitIcon);
}

std::string PegUnitRecord::movIcon() const {
    return iconText(bytes.data() + peg::MovIcon);
}

void PegUnitRecord::setUnitIcon(const std::string& name) {
    setIconText(bytes.data() + peg::UnitIcon, name);
}

void PegUnitRecord::setMovIcon(const std::string& name) {
    setIconText(bytes.data() + peg::MovIcon, name);
}

} // namespace varnel
