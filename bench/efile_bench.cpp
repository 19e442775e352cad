// Loading and saving 65,535-unit E-Files with their Names E-Files, beside reading and writing the
// same bytes raw. Compare each operation with its Raw twin: the ratio is the figure that counts.

#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/format.h"
#include "bench/benchsupport.h"
#include "equip/efile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace varnel;

namespace {

constexpr std::size_t kUnits = kMaxUnits;

Bytes makeEFile(std::size_t recordSize, bool pg2) {
    Bytes out;
    ByteWriter w(out);
    w.u16(static_cast<std::uint16_t>(kUnits));
    for (std::size_t i = 0; i < kUnits; ++i) {
        Bytes record(recordSize);
        for (std::size_t k = 0; k < recordSize; ++k)
            record[k] = static_cast<std::uint8_t>(i * 7 + k * 13);
        writeU16(record.data(), static_cast<std::uint16_t>(i));
        if (pg2) {
            Pg2UnitRecord r;
            std::copy(record.begin(), record.end(), r.bytes.begin());
            EncodePg2Country(r, static_cast<std::uint8_t>(i % pg2::kCountryCount));
            std::copy(r.bytes.begin(), r.bytes.end(), record.begin());
        }
        w.append(record);
    }
    return out;
}

// Names of a typical length ("Pz IVF2 12345", 13 bytes, held inside std::string) or long ones
// (30 bytes and more, each a heap allocation).
Bytes makeNames(bool longNames) {
    Bytes out;
    for (std::size_t i = 0; i < kUnits; ++i) {
        const std::string name = longNames ? Format("Unit %zu Pz.Kpfw \xE9 Ausf. B long", i)
                                           : Format("Pz IVF2 %05zu", i);
        out.insert(out.end(), name.begin(), name.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

// One game folder per game and name length with its E-File, Names E-File and T-File, made once
// per run.
struct Fixture {
    Fixture() : root(fs::temp_directory_path() / ("varnel-bench-" + std::to_string(::getpid()))) {
        for (const bool pg2 : {true, false}) {
            eFile[pg2] = makeEFile(pg2 ? pg2::kRecordSize : peg::kRecordSize, pg2);
            for (const bool longNames : {false, true}) {
                fs::create_directories(folder(pg2, longNames));
                SaveFileBytes(path(pg2, longNames), eFile[pg2]);
                SaveFileBytes(namesPath(pg2, longNames), names[longNames]);
                SaveFileBytes((folder(pg2, longNames) / "GUI97.txt").string(),
                              Bytes{'A', '\r', '\n'});
            }
        }
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path folder(bool pg2, bool longNames) const {
        return root / (std::string(pg2 ? "pg2" : "peg") + (longNames ? "-long" : ""));
    }
    std::string path(bool pg2, bool longNames) const {
        return (folder(pg2, longNames) / "EQUIP97.EQP").string();
    }
    std::string namesPath(bool pg2, bool longNames) const {
        return (folder(pg2, longNames) / "EQUIP97.txt").string();
    }

    fs::path root;
    Bytes names[2] = {makeNames(false), makeNames(true)};
    Bytes eFile[2];
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

struct Session {
    Session() : state(ui, store) {
        state.settings().textSuffix = ".txt";
        state.settings().dir(Game::Pg2) = state.settings().dir(Game::Peg) =
            fixture().root.string() + "/";
    }
    SilentUi ui;
    MemorySettingsBackend store;
    CVarnelDoc state;
};

bool isPg2(const benchmark::State& st) {
    return st.range(0) != 0;
}
bool longNames(const benchmark::State& st) {
    return st.range(1) != 0;
}

void loadInto(CVarnelDoc& state, bool pg2, const std::string& path) {
    if (pg2)
        LoadEFile(state, Game::Pg2, path);
    else
        LoadEFile(state, Game::Peg, path);
}

// A user opens a file once: nothing of it is in the processor's caches. Both a load and its raw
// floor start each round with the caches filled by other data, so neither is timed on bytes that
// the previous round left in the cache.
// The third argument says whether to do so; with it 0 the loop reruns on warm caches.
void evictCaches(benchmark::State& st) {
    if (st.range(2) != 0)
        EvictCaches(st);
}

// The E-File with its names and T-File, as the editor loads them.
void BM_Load(benchmark::State& st) {
    Session s;
    const bool pg2 = isPg2(st);
    const std::string path = fixture().path(pg2, longNames(st));
    for (auto _ : st) {
        evictCaches(st);
        loadInto(s.state, pg2, path);
        benchmark::DoNotOptimize(s.state.pg2());
        benchmark::DoNotOptimize(s.state.peg());
    }
    if ((pg2 ? s.state.pg2()->count() : s.state.peg()->count()) != kUnits)
        st.SkipWithError("the E-File did not load");
}

// The floor of a load: the same two files read whole.
void BM_LoadRaw(benchmark::State& st) {
    const bool pg2 = isPg2(st);
    for (auto _ : st) {
        evictCaches(st);
        auto e = ReadFileBytes(fixture().path(pg2, longNames(st)));
        auto n = ReadFileBytes(fixture().namesPath(pg2, longNames(st)));
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(n);
    }
}

void BM_Save(benchmark::State& st) {
    Session s;
    const bool pg2 = isPg2(st);
    const std::string path = fixture().path(pg2, longNames(st));
    loadInto(s.state, pg2, path);
    for (auto _ : st) {
        const bool ok = pg2 ? SaveEFile(s.state, Game::Pg2, path) && SaveNames(s.state, Game::Pg2)
                            : SaveEFile(s.state, Game::Peg, path) && SaveNames(s.state, Game::Peg);
        if (!ok)
            st.SkipWithError("saving failed");
    }
}

// The floor of a save: the same bytes through the same safe-save helper.
void BM_SaveRaw(benchmark::State& st) {
    const auto& f = fixture();
    const bool pg2 = isPg2(st);
    const bool ln = longNames(st);
    for (auto _ : st)
        if (!SaveFileBytes(f.path(pg2, ln), f.eFile[pg2]) ||
            !SaveFileBytes(f.namesPath(pg2, ln), f.names[ln]))
            st.SkipWithError("saving failed");
}

void cases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"pg2", "long"})->Unit(benchmark::kMillisecond);
    for (const int pg2 : {1, 0})
        for (const int ln : {0, 1})
            b->Args({pg2, ln});
}

void loadCases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"pg2", "long", "cold"})->Unit(benchmark::kMillisecond);
    for (const int cold : {1, 0})
        for (const int pg2 : {1, 0})
            for (const int ln : {0, 1})
                b->Args({pg2, ln, cold});
}

} // namespace

BENCHMARK(BM_Load)->Apply(loadCases);
BENCHMARK(BM_LoadRaw)->Apply(loadCases);
BENCHMARK(BM_Save)->Apply(cases);
BENCHMARK(BM_SaveRaw)->Apply(cases);
