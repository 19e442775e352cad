#pragma once
// Country names from the T-File ("GUI97" + suffix): line k (from 1) names country k; entry 0 is
// "None". PG2 reads 26 lines (entries 0..26), PeG 20 (entries 0..20). Names are bytes.

#include "base/bytes.h"

#include <span>
#include <string>
#include <vector>

namespace varnel {

class NameTable {
  public:
    static constexpr std::size_t kSlotSize = 36;      // one entry: name and terminator
    static constexpr std::size_t kMaxNameLength = 34; // longer lines are cut to this

    explicit NameTable(int entries) : names_(static_cast<std::size_t>(entries)) {}

    // Entries filled, entry 0 included; 0 when no T-File could be read.
    int count() const { return count_; }
    int capacity() const { return static_cast<int>(names_.size()); }
    // The name of country `n`; empty outside the table.
    const std::string& name(int n) const;
    void setName(int n, std::string name); // ignored outside the table; cut to 34
    void setCount(int count) { count_ = count; }
    void clear();

  private:
    std::vector<std::string> names_;
    int count_ = 0;
};

// Fills `table` from T-File bytes: entry 0 "None", then one line per entry until the table is
// full or the data ends. A line longer than 34 characters is cut to 34; the rest of it is skipped.
void ParseTFile(std::span<const std::uint8_t> data, NameTable& table);

} // namespace varnel
