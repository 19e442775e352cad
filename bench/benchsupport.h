#pragma once
// What the benchmarks share: a Ui port that stays silent, synthetic unit tables of any size, and
// the eviction of the processor's caches before a cold round.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/iconload.h"
#include "app/reportcommands.h"
#include "app/unitops.h"
#include "base/uiport.h"
#include "equip/pg2record.h"
#include "equip/unittable.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <string>
#include <vector>

namespace varnel {

// The allocator keeps all freed memory for reuse: no buffer comes from, or goes back to, the
// system by mmap. Left alone, glibc hands some loops recycled memory and others fresh pages, by
// the chance of what was freed before: a 115 MB archive read then takes 20 ms in one run and
// 110 ms in the next, and a ratio of two such figures means nothing. So every figure is the work
// itself; the first touch of fresh pages, which a first open in a new session pays for the read
// and the load alike, is left out of both.
inline const bool kAllocatorKeepsFreedMemory = [] {
    return mallopt(M_MMAP_MAX, 0) == 1 && mallopt(M_TRIM_THRESHOLD, -1) == 1;
}();

// Shows nothing, answers No and cancels every file dialog. The measured files are consistent,
// so no prompt is expected on the measured path.
class SilentUi : public UiPort {
  public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
    void error(const std::string&) override {}
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
};

// An icon name shared by a few units, as in the games' files.
inline std::string BenchIconName(std::size_t i) {
    return "IC" + std::to_string(i % 4000);
}

// `count` units whose codes equal their positions, each with a country, switches, an icon and a
// name of 17 bytes or more (held outside std::string, as most real names are).
inline Pg2UnitTable MakeBenchPg2Table(std::size_t count) {
    Pg2UnitTable t;
    t.units.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        Pg2Unit& u = t.units[i];
        for (std::size_t k = 0; k < pg2::kRecordSize; ++k)
            u.record.bytes[k] = static_cast<std::uint8_t>(i * 31 + k * 7);
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record.setIcon(BenchIconName(i));
        EncodePg2Country(u.record, static_cast<std::uint8_t>(i % pg2::kCountryCount));
        u.record[pg2::Special1] = static_cast<std::uint8_t>(1u << (i % 8));
        t.setName(i, "Unit number " + std::to_string(i));
    }
    return t;
}

inline PegUnitTable MakeBenchPegTable(std::size_t count) {
    PegUnitTable t;
    t.units.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        PegUnit& u = t.units[i];
        for (std::size_t k = 0; k < peg::kRecordSize; ++k)
            u.record.bytes[k] = static_cast<std::uint8_t>(i * 31 + k * 7);
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record.setUnitIcon(BenchIconName(i));
        u.record.setMovIcon(BenchIconName(i * 7));
        t.setName(i, "Unit number " + std::to_string(i));
    }
    return t;
}

// A command runs once, on data that is not in the processor's caches: a cold round first walks
// 64 MB of other data (more than the last-level cache), outside the timed part.
inline void EvictCaches(benchmark::State& state) {
    static std::vector<std::uint8_t> other(64u << 20);
    state.PauseTiming();
    for (std::size_t i = 0; i < other.size(); i += 64)
        other[i] = static_cast<std::uint8_t>(other[i] + 1);
    benchmark::ClobberMemory();
    state.ResumeTiming();
}

} // namespace varnel
