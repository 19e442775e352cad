// Icon archives: indexing a 5,000-entry archive beside reading the same file raw, and decoding
// plus painting one view of each game.

#include "app/appsettings.h"
#include "app/iconload.h"
#include "base/fileio.h"
#include "bench/benchsupport.h"
#include "icons/archivewriter.h"
#include "icons/iconarchive.h"
#include "icons/iconformat.h"
#include "icons/rgbimage.h"
#include "icons/sampleicons.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace varnel;

constexpr int kEntries = 5000;

// An archive of `kEntries` sample icons named I0000.., written once per game to a temp file.
const std::string& archivePath(Game game) {
    static std::string paths[2];
    std::string& path = paths[game == Game::Pg2 ? 0 : 1];
    if (path.empty()) {
        std::vector<std::string> names;
        for (int i = 0; i < kEntries; ++i)
            names.push_back("I" + std::to_string(10000 + i).substr(1));
        const auto dir = std::filesystem::temp_directory_path() /
                         ("varnel-bench-icons-" + std::to_string(static_cast<int>(game)));
        std::filesystem::create_directories(dir);
        path = (dir / "").string();
        WriteSampleIconArchive(path, game, names);
        path += game == Game::Pg2 ? "PANZER2.DAT" : "MODGEN.DAT";
        // Read it once, so neither benchmark that follows pays for the first read after writing.
        benchmark::DoNotOptimize(ReadFileBytes(path));
    }
    return path;
}

void BM_ArchiveRawRead(benchmark::State& state, Game game) {
    const std::string& path = archivePath(game);
    for (auto _ : state) {
        auto bytes = ReadFileBytes(path);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

// The index alone, over the archive's bytes already in memory: what a load adds to the read.
void BM_ArchiveIndexOnly(benchmark::State& state, Game game) {
    const auto bytes = ReadFileBytes(archivePath(game));
    for (auto _ : state) {
        auto index = ReadIconIndex(game, *bytes);
        benchmark::DoNotOptimize(index);
    }
}

void BM_ArchiveLoadAndIndex(benchmark::State& state, Game game) {
    const std::string& path = archivePath(game);
    AppSettings settings;
    SilentUi ui;
    // One archive loaded again and again, as the document's archive is on ReLoad Icons: the
    // load closes it (freeing the old file) before reading, as the raw read frees its buffer.
    IconArchive archive(game);
    for (auto _ : state) {
        const bool ok = LoadIconArchive(ui, settings, archive, path);
        benchmark::DoNotOptimize(ok);
        if (archive.keyCount() != kEntries)
            state.SkipWithError("index incomplete");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_IconShowOneView(benchmark::State& state, Game game) {
    std::vector<SampleIcon> icons = {{"TANK", IconShape::Vehicle}, {"SHIP", IconShape::Ship}};
    IconArchive archive(game);
    archive.Open(MakeSampleIconArchive(game, icons));
    // PeG: TANK is plain, SHIP run-length; PG2 both are run-length streams.
    const std::string key = state.range(0) == 0 ? "TANK" : "SHIP";
    RgbImage image(iconfile::kFrameWidth, iconfile::kFrameHeight);
    archive.SetOrigin(0, 0);
    for (auto _ : state) {
        archive.ShowIcon(image, key);
        benchmark::ClobberMemory();
    }
}

BENCHMARK_CAPTURE(BM_ArchiveRawRead, pg2, Game::Pg2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ArchiveLoadAndIndex, pg2, Game::Pg2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ArchiveRawRead, peg, Game::Peg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ArchiveLoadAndIndex, peg, Game::Peg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ArchiveIndexOnly, pg2, Game::Pg2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ArchiveIndexOnly, peg, Game::Peg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IconShowOneView, pg2, Game::Pg2)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_IconShowOneView, peg, Game::Peg)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

} // namespace
