#include "app/settingsstore.h"

#include "base/fileio.h"
#include "base/textlines.h"

namespace varnel {

std::optional<std::string> MemorySettingsBackend::read(const std::string& name) {
    const auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void MemorySettingsBackend::write(const std::string& name, const std::string& value) {
    values_[name] = value;
}

void MemorySettingsBackend::remove(const std::string& name) {
    values_.erase(name);
}

namespace {
constexpr const char* kSection = "Settings";

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}
} // namespace

IniSettingsBackend::IniSettingsBackend(std::string path) : path_(std::move(path)) {
    const auto bytes = ReadFileBytes(path_);
    if (!bytes)
        return;
    bool inSection = false;
    bool seenSection = false;
    for (const std::string& raw : SplitLines(*bytes)) {
        const std::string line = trim(raw);
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            inSection = line.substr(1, line.size() - 2) == kSection;
            seenSection = true;
            if (!inSection)
                otherSections_ += raw + "\n";
            continue;
        }
        if (!inSection) {
            // Lines before any section stay before ours, or they would become our values.
            (seenSection ? otherSections_ : leading_) += raw + "\n";
            continue;
        }
        // The value is kept as written, blanks included: settings are texts.
        const auto eq = raw.find('=');
        if (eq == std::string::npos)
            continue;
        values_[trim(raw.substr(0, eq))] = raw.substr(eq + 1);
    }
}

std::optional<std::string> IniSettingsBackend::read(const std::string& name) {
    const auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void IniSettingsBackend::write(const std::string& name, const std::string& value) {
    values_[name] = value;
    save();
}

void IniSettingsBackend::remove(const std::string& name) {
    if (values_.erase(name))
        save();
}

void IniSettingsBackend::save() {
    Bytes out;
    for (const std::string& line : SplitLines(Bytes(leading_.begin(), leading_.end())))
        AppendLine(out, line);
    AppendLine(out, std::string("[") + kSection + "]");
    for (const auto& [name, value] : values_)
        AppendLine(out, name + "=" + value);
    for (const std::string& line : SplitLines(Bytes(otherSections_.begin(), otherSections_.end())))
        AppendLine(out, line);
    SaveFileBytes(path_, out);
}

} // namespace varnel
