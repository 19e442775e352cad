#include "reports/iconsreport.h"

#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"
#include "base/textlines.h"

#include <map>

namespace varnel {

namespace {

constexpr const char* kPg2IconExtension = ".shp";
constexpr const char* kPegIconExtension = ".s16";

// Gathers items keyed by their upper-cased text, so equal keys mean "the same name without
// regard to case" and the map order is the report order.
class IconCounter {
  public:
    explicit IconCounter(const char* extension) : extension_(extension) {}

    void count(const std::string& name) {
        if (name.empty())
            return;
        std::string text = name + extension_;
        std::string key = text;
        for (char& c : key)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        auto [it, added] = items_.try_emplace(std::move(key), IconUse{std::move(text), 0});
        ++it->second.count;
    }

    std::vector<IconUse> items() const {
        std::vector<IconUse> out;
        out.reserve(items_.size());
        for (const auto& [key, item] : items_)
            out.push_back(item);
        return out;
    }

  private:
    const char* extension_;
    std::map<std::string, IconUse> items_;
};

} // namespace

std::vector<IconUse> CollectPg2Icons(const Pg2UnitTable& table) {
    IconCounter counter(kPg2IconExtension);
    for (const auto& unit : table.units)
        counter.count(unit.record.icon());
    return counter.items();
}

std::vector<IconUse> CollectPegIcons(const PegUnitTable& table) {
    IconCounter counter(kPegIconExtension);
    for (const auto& unit : table.units) {
        counter.count(unit.record.unitIcon());
        counter.count(unit.record.movIcon());
    }
    return counter.items();
}

Bytes WriteIconsReport(const std::vector<IconUse>& items, const std::string& eFilePath, int type) {
    Bytes out;
    const int n = static_cast<int>(items.size());
    AppendLine(out, ";This is an index of icons used in " + eFilePath);
    AppendLine(out, Format(";(Number of icons used: %d)", n));
    AppendLine(out, Format("%d", n + 1));
    for (const auto& item : items) {
        if (type == Repack)
            AppendLine(out, item.text);
        else
            AppendLine(out, Format("%-13s  used: %d times", item.text.c_str(), item.count));
    }
    return out;
}

std::string IconsReportPath(const std::string& eFilePath) {
    return Format("%s_ICONS.TXT", GetPathPart(eFilePath, PathPart::PathWithoutExt).c_str());
}

} // namespace varnel
