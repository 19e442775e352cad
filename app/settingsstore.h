#pragma once
// Where the settings live: the section "Settings" of a per-user store. Values are texts named by
// their registry value name. Failures are not reported: a value that cannot be read is absent, a
// value that cannot be written is lost.

#include <map>
#include <optional>
#include <string>

namespace varnel {

class SettingsBackend {
  public:
    virtual ~SettingsBackend() = default;
    virtual std::optional<std::string> read(const std::string& name) = 0;
    virtual void write(const std::string& name, const std::string& value) = 0;
    virtual void remove(const std::string& name) = 0;
};

// Keeps the values in memory (tests).
class MemorySettingsBackend : public SettingsBackend {
  public:
    std::optional<std::string> read(const std::string& name) override;
    void write(const std::string& name, const std::string& value) override;
    void remove(const std::string& name) override;
    const std::map<std::string, std::string>& values() const { return values_; }

  private:
    std::map<std::string, std::string> values_;
};

// Keeps the values in an INI file, section [Settings] (portable use). The file is read when the
// backend is made and rewritten, safely, after each change. Other sections and lines are kept.
class IniSettingsBackend : public SettingsBackend {
  public:
    explicit IniSettingsBackend(std::string path);
    std::optional<std::string> read(const std::string& name) override;
    void write(const std::string& name, const std::string& value) override;
    void remove(const std::string& name) override;

  private:
    void save();
    std::string path_;
    std::map<std::string, std::string> values_;
    std::string leading_;       // lines before the first section, kept before [Settings]
    std::string otherSections_; // the other sections, kept as read
};

} // namespace varnel
