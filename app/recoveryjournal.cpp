// The recovery journal: writing it as the edit path changes the tables, and replaying it after a
// crash.

#include "app/recoveryjournal.h"

#include "app/efileio.h"
#include "app/patch.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/filestamp.h"
#include "base/paths.h"
#include "equip/efile.h"
#include "equip/unitimage.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <unordered_map>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace varnel {

namespace {

constexpr const char* kJournalPrefix = "journal-";
constexpr const char* kJournalSuffix = ".varnel";
constexpr std::uint8_t kFilesBase = 0;
constexpr std::uint8_t kCopyBase = 1;
constexpr std::uint8_t kNoTableBase = 2;

std::uint32_t checksum(std::span<const std::uint8_t> body) {
    return static_cast<std::uint32_t>(HashBytes(body));
}

// Builds one record: its body, then the frame around it.
class Record {
  public:
    explicit Record(JournalRecord type) { body_.push_back(static_cast<std::uint8_t>(type)); }
    Record& u8(std::uint8_t v) {
        body_.push_back(v);
        return *this;
    }
    Record& u32(std::uint32_t v) {
        ByteWriter(body_).u32(v);
        return *this;
    }
    Record& u64(std::uint64_t v) {
        u32(static_cast<std::uint32_t>(v));
        return u32(static_cast<std::uint32_t>(v >> 32));
    }
    Record& block(std::span<const std::uint8_t> bytes) {
        u32(static_cast<std::uint32_t>(bytes.size()));
        body_.insert(body_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Record& text(std::string_view t) {
        return block({reinterpret_cast<const std::uint8_t*>(t.data()), t.size()});
    }
    Bytes framed() const {
        Bytes out;
        out.reserve(body_.size() + 8);
        ByteWriter w(out);
        w.u32(static_cast<std::uint32_t>(body_.size()));
        w.append(body_);
        w.u32(checksum(body_));
        return out;
    }

  private:
    Bytes body_;
};

// Reads the fields of one record's body; any read past its end fails the record.
class Fields {
  public:
    explicit Fields(std::span<const std::uint8_t> body) : cursor_(body) {}
    bool ok() const { return ok_; }
    std::uint8_t u8() { return take(cursor_.u8()); }
    std::uint32_t u32() { return take(cursor_.u32()); }
    std::uint64_t u64() {
        const std::uint64_t low = u32();
        return low | (std::uint64_t{u32()} << 32);
    }
    std::span<const std::uint8_t> block() {
        const std::uint32_t n = u32();
        if (!ok_)
            return {};
        auto bytes = cursor_.take(n);
        if (!bytes) {
            ok_ = false;
            return {};
        }
        return *bytes;
    }
    std::string text() {
        const auto b = block();
        return std::string(b.begin(), b.end());
    }

  private:
    template <class T> T take(std::optional<T> v) {
        if (!v)
            ok_ = false;
        return v.value_or(T{});
    }
    ByteCursor cursor_;
    bool ok_ = true;
};

// The whole records of a journal's bytes, in order; stops at the first one cut short or damaged.
std::vector<std::span<const std::uint8_t>> records(std::span<const std::uint8_t> bytes) {
    std::vector<std::span<const std::uint8_t>> out;
    ByteCursor cursor(bytes);
    for (;;) {
        const auto length = cursor.u32();
        if (!length)
            break;
        const auto body = cursor.take(*length);
        const auto sum = cursor.u32();
        if (!body || !sum || body->empty() || checksum(*body) != *sum)
            break;
        out.push_back(*body);
    }
    return out;
}

std::string gameTag(Game g) {
    return g == Game::Pg2 ? "pg2" : "peg";
}

template <class Table>
Table tableFrom(std::span<const std::uint8_t> eFile, std::span<const std::uint8_t> names) {
    if constexpr (std::is_same_v<Table, Pg2UnitTable>)
        return MakeTable(ParsePg2EFile(eFile), Bytes(names.begin(), names.end()));
    else
        return MakeTable(ParsePegEFile(eFile), Bytes(names.begin(), names.end()));
}

// A whole table as a swap puts it in: u8 present, then u32 n, n images and n names.
template <class Table> void writeTable(Record& r, const std::optional<Table>& table) {
    r.u8(table ? 1 : 0);
    if (!table)
        return;
    using Unit = typename PatchBuilder<Table>::Unit;
    r.u32(static_cast<std::uint32_t>(table->count()));
    Bytes images(table->count() * ImageSize<Unit>());
    for (std::size_t i = 0; i < table->count(); ++i)
        WriteImage(table->units[i], images.data() + i * ImageSize<Unit>());
    r.block(images);
    for (std::size_t i = 0; i < table->count(); ++i)
        r.text(table->name(i));
}

template <class Table> std::optional<Table> readTable(Fields& f, bool& ok) {
    using Unit = typename PatchBuilder<Table>::Unit;
    if (f.u8() == 0)
        return std::nullopt;
    const std::uint32_t n = f.u32();
    const auto images = f.block();
    if (!f.ok() || n > kMaxUnits || images.size() != n * ImageSize<Unit>()) {
        ok = false;
        return std::nullopt;
    }
    Table table;
    table.units.resize(n);
    for (std::uint32_t i = 0; i < n && f.ok(); ++i) {
        ReadImage(images.data() + i * ImageSize<Unit>(), table.units[i]);
        table.setName(i, f.text());
    }
    ok = ok && f.ok();
    return table;
}

// The table a swap record's side holds, of game `g`.
void readSideTable(SwapSide& side, Game g, Fields& f, bool& ok) {
    ForTableOf(g, [&]<class Table>() { side.template tableOf<Table>() = readTable<Table>(f, ok); });
}

void writeCountries(Record& r, const NameTable& countries) {
    r.u32(static_cast<std::uint32_t>(countries.count()));
    for (int n = 0; n < countries.count(); ++n)
        r.text(countries.name(n));
}

NameTable readCountries(Fields& f, Game g) {
    NameTable table(CountryCount(g));
    const std::uint32_t count = f.u32();
    for (std::uint32_t k = 0; f.ok() && k < count; ++k) {
        std::string name = f.text();
        if (static_cast<int>(k) < table.capacity())
            table.setName(static_cast<int>(k), std::move(name));
    }
    table.setCount(static_cast<int>(
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(table.capacity()))));
    return table;
}

// What a swap of `mask` replaces in the state given: the journal's check before a swap replays.
std::uint64_t swapStateHash(Game g, const SwapSide& mask, const std::optional<Pg2UnitTable>& pg2,
                            const std::optional<PegUnitTable>& peg, const NameTable& countries,
                            const std::string& eFile, const std::string& namesEFile,
                            const std::string& tFile) {
    PatchHash hash;
    if (mask.table) {
        const std::uint64_t table = g == Game::Pg2 ? TableHash(pg2) : TableHash(peg);
        hash.feed(reinterpret_cast<const std::uint8_t*>(&table), sizeof table);
    }
    if (mask.countries) {
        for (int n = 0; n < countries.count(); ++n)
            hash.feed(countries.name(n));
    }
    if (mask.files) {
        hash.feed(eFile);
        hash.feed(namesEFile);
        hash.feed(tFile);
    }
    return hash.value;
}

} // namespace

// --- The files ----------------------------------------------------------------------------

RecoveryJournal::RecoveryJournal(std::string folder) : folder_(WithTrailingSeparator(folder)) {
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
#ifndef _WIN32
    const long pid = static_cast<long>(::getpid());
#else
    const long pid = 0;
#endif
    stem_ = std::string(kJournalPrefix) + std::to_string(pid) + "-" + std::to_string(now) + "-";
}

void RecoveryJournal::rebase(Game g, const Bytes& base, std::size_t floor) {
    pending_[slot(g)].clear();
    JournalFile& file = files_[slot(g)];
    // The new base replaces the file's content: a crash between the two leaves the file empty
    // (nothing to offer) or whole, never the old base with new entries.
    const bool ready =
        file.isOpen() ? file.reset() : file.create(folder_ + stem_ + gameTag(g) + kJournalSuffix);
    // During a replay the batch's end flushes the base with the steps.
    if (!ready || !file.append(base, !batch_))
        file.remove();
    floors_[slot(g)] = floor;
    known_[slot(g)] = 0;
}

void RecoveryJournal::append(Game g, const Bytes& entry) {
    JournalFile& file = files_[slot(g)];
    if (batch_) {
        pending_[slot(g)].insert(pending_[slot(g)].end(), entry.begin(), entry.end());
        return;
    }
    if (file.isOpen() && !file.append(entry))
        file.remove(); // a journal with a hole would replay wrongly
}

void RecoveryJournal::endBatch() {
    batch_ = false;
    for (Game g : {Game::Pg2, Game::Peg}) {
        Bytes pending = std::move(pending_[slot(g)]);
        pending_[slot(g)].clear();
        JournalFile& file = files_[slot(g)];
        if (file.isOpen() && !file.append(pending))
            file.remove();
    }
}

void RecoveryJournal::remove(Game g) {
    files_[slot(g)].remove();
}

std::vector<std::string> FindLeftJournals(const std::string& folder) {
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kJournalPrefix, 0) != 0 || name.size() < 8 ||
            name.compare(name.size() - 7, 7, kJournalSuffix) != 0)
            continue;
        const std::string path = it->path().string();
        if (JournalIsOrphaned(path))
            found.emplace_back(it->last_write_time(ec), path);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& f : found)
        paths.push_back(std::move(f.second));
    return paths;
}

// --- The document's side --------------------------------------------------------------------

void CVarnelDoc::enableJournal(const std::string& folder) {
    journal_ = folder.empty() ? nullptr : std::make_unique<RecoveryJournal>(folder);
}

std::string CVarnelDoc::journalPath(Game g) const {
    return journal_ && journal_->has(g) ? journal_->path(g) : std::string();
}

void CVarnelDoc::endJournals() {
    if (!journal_)
        return;
    journal_->remove(Game::Pg2);
    journal_->remove(Game::Peg);
}

void CVarnelDoc::journalRebase(Game g) {
    journalRebase(g, nullptr);
}

void CVarnelDoc::journalBeforeSave(Game g, const SaveTargets& targets) {
    journalRebase(g, &targets);
}

void CVarnelDoc::journalRebase(Game g, const SaveTargets* targets) {
    if (!journal_)
        return;
    Record base(JournalRecord::Base);
    base.u8(g == Game::Pg2 ? 0 : 1);
    base.text(settings_.eFile(g)).text(settings_.namesEFile(g)).text(settings_.tFile(g));
    // The country names as they stand: the T-File may change on disk before a restore.
    writeCountries(base, countries(g));
    const auto& data = fileStamp(g, ChangeKind::Data);
    const auto& names = fileStamp(g, ChangeKind::Names);
    // A clean point among undone steps is lost at the next step, which a files base cannot say.
    const bool onFiles = !targets && hasTable(g) && !flag(g, ChangeKind::Data) &&
                         !flag(g, ChangeKind::Names) && !history(g).cleanAhead(ChangeKind::Data) &&
                         !history(g).cleanAhead(ChangeKind::Names) && data &&
                         stampedPath(g, ChangeKind::Data) == settings_.eFile(g) &&
                         (!names || stampedPath(g, ChangeKind::Names) == settings_.namesEFile(g));
    if (!hasTable(g)) {
        base.u8(kNoTableBase);
    } else if (onFiles) {
        // The table is what its files hold: they are named, with what they were like.
        base.u8(kFilesBase).u64(data->size).u64(data->hash);
        base.u8(names ? 1 : 0).u64(names ? names->size : 0).u64(names ? names->hash : 0);
    } else {
        // A clean point among undone steps is lost with them at the next step: the restore
        // must know, to mark the file as this history would.
        const auto ahead = [&](ChangeKind kind) { return history(g).cleanAhead(kind) ? 2 : 0; };
        base.u8(kCopyBase)
            .u8(static_cast<std::uint8_t>((flag(g, ChangeKind::Data) ? 1 : 0) |
                                          ahead(ChangeKind::Data)))
            .u8(static_cast<std::uint8_t>((flag(g, ChangeKind::Names) ? 1 : 0) |
                                          ahead(ChangeKind::Names)));
        // The units as they are in memory, image by image.
        withSlot(g, [&](const auto& slot) { writeTable(base, slot.now); });
        // Just before a save: what each file will hold once written, so that a restore after a
        // kill during the save knows which of them made it.
        for (const SaveTarget* t :
             {targets ? &targets->data : nullptr, targets ? &targets->names : nullptr}) {
            const bool present = t && !t->path.empty();
            base.u8(present ? 1 : 0);
            if (present)
                base.text(t->path).u64(t->size).u64(t->hash);
        }
        // The table's undo history is not in the copy: what the journal still holds of it
        // starts here.
    }
    journal_->rebase(g, base.framed(), history(g).index());
}

void CVarnelDoc::journalStep(Game g, const EditStep& step, bool namesClean,
                             const std::vector<std::uint64_t>& hashes) {
    if (!journal_)
        return;
    // Without a journal (or after one failed) the step is already in the table: the table as
    // it now stands is the base.
    if (!journal_->has(g)) {
        journalRebase(g);
        return;
    }
    const Patch& patch = step.patch();
    Record r(JournalRecord::Step);
    r.text(step.text());
    r.u8(static_cast<std::uint8_t>((step.touches(ChangeKind::Data) ? 1 : 0) |
                                   (step.touches(ChangeKind::Names) ? 2 : 0) |
                                   (namesClean ? 4 : 0)));
    r.block(patch.code);
    r.u32(static_cast<std::uint32_t>(hashes.size()));
    for (std::uint64_t h : hashes)
        r.u64(h);
    r.u8(patch.swap ? 1 : 0);
    if (patch.swap) {
        // The swap is applied: the document holds what it put in, the side what it replaced.
        const SwapSide& side = *patch.swap;
        r.u8(side.table ? 1 : 0);
        if (side.table) {
            withSlot(g, [&](const auto& slot) { writeTable(r, slot.now); });
        }
        r.u8(side.countries ? 1 : 0);
        if (side.countries)
            writeCountries(r, countries(g));
        r.u8(side.files ? 1 : 0);
        if (side.files)
            r.text(settings_.eFile(g)).text(settings_.namesEFile(g)).text(settings_.tFile(g));
        r.u64(swapStateHash(g, side, side.pg2, side.peg,
                            side.countries ? *side.countries : countries(g), side.eFile,
                            side.namesEFile, side.tFile));
    }
    journal_->append(g, r.framed());
    journal_->setKnown(g, history(g).index() - std::min(history(g).index(), journal_->floor(g)));
}

void CVarnelDoc::journalMove(Game g, bool undo, std::size_t from) {
    if (!journal_)
        return;
    // The journal holds the steps from its floor on: an undo below it, or a redo of a step it
    // never held, cannot be written as such, so the table as it now stands becomes the base.
    const std::size_t floor = journal_->floor(g);
    const bool expressible =
        journal_->has(g) &&
        (undo ? from > floor : from >= floor && from - floor < journal_->known(g));
    if (expressible)
        journal_->append(g, Record(undo ? JournalRecord::Undo : JournalRecord::Redo).framed());
    else
        journalRebase(g);
}

// --- Replay -------------------------------------------------------------------------------

namespace {

struct Target {
    bool present = false;
    std::string path;
    std::uint64_t size = 0, hash = 0;
};

struct Base {
    Game game = Game::Pg2;
    std::string eFile, namesEFile, tFile;
    NameTable countries{0};
    std::uint8_t kind = kNoTableBase;
    std::uint64_t size = 0, hash = 0;
    bool hasNames = false;
    std::uint64_t namesSize = 0, namesHash = 0;
    bool dataModified = false, namesModified = false;
    bool dataAhead = false, namesAhead = false; // their clean points lie among undone steps
    std::optional<Pg2UnitTable> pg2;            // the copy
    std::optional<PegUnitTable> peg;
    Target data, names; // a copy made just before a save: what the save writes

    template <class Table> std::optional<Table>& tableOf() {
        if constexpr (std::is_same_v<Table, Pg2UnitTable>)
            return pg2;
        else
            return peg;
    }
};

std::optional<Base> readBase(std::span<const std::uint8_t> body) {
    Fields f(body);
    if (f.u8() != static_cast<std::uint8_t>(JournalRecord::Base))
        return std::nullopt;
    Base b;
    const std::uint8_t game = f.u8();
    if (game > 1)
        return std::nullopt;
    b.game = game == 0 ? Game::Pg2 : Game::Peg;
    b.eFile = f.text();
    b.namesEFile = f.text();
    b.tFile = f.text();
    b.countries = readCountries(f, b.game);
    b.kind = f.u8();
    if (b.kind == kFilesBase) {
        b.size = f.u64();
        b.hash = f.u64();
        b.hasNames = f.u8() != 0;
        b.namesSize = f.u64();
        b.namesHash = f.u64();
    } else if (b.kind == kCopyBase) {
        const std::uint8_t data = f.u8();
        const std::uint8_t names = f.u8();
        b.dataModified = (data & 1) != 0;
        b.namesModified = (names & 1) != 0;
        b.dataAhead = (data & 2) != 0;
        b.namesAhead = (names & 2) != 0;
        bool ok = true;
        ForTableOf(b.game,
                   [&]<class Table>() { b.template tableOf<Table>() = readTable<Table>(f, ok); });
        if (!ok || !(b.pg2 || b.peg))
            return std::nullopt;
        for (Target* t : {&b.data, &b.names}) {
            t->present = f.u8() != 0;
            if (t->present) {
                t->path = f.text();
                t->size = f.u64();
                t->hash = f.u64();
            }
        }
    } else if (b.kind != kNoTableBase) {
        return std::nullopt;
    }
    if (!f.ok())
        return std::nullopt;
    return b;
}

bool matches(const std::optional<FileStamp>& stamp, std::uint64_t size, std::uint64_t hash) {
    return stamp && stamp->size == size && stamp->hash == hash;
}

// Whether the save a copy base was made for wrote `target`: the file holds what it was to hold.
bool written(const Target& target) {
    return target.present && matches(StampFile(target.path), target.size, target.hash);
}

// The whole entries of a journal and whether bytes follow the last of them.
struct JournalRecords {
    std::vector<std::span<const std::uint8_t>> all;
    bool damaged = false;
};

JournalRecords readRecords(std::span<const std::uint8_t> bytes) {
    JournalRecords r;
    r.all = records(bytes);
    std::size_t used = 0;
    for (const auto& body : r.all)
        used += body.size() + 8;
    r.damaged = used < bytes.size();
    return r;
}

// The history position after the entries, from the base's: zero means the entries cancel out.
std::ptrdiff_t netSteps(const std::vector<std::span<const std::uint8_t>>& all) {
    std::ptrdiff_t at = 0;
    for (std::size_t i = 1; i < all.size(); ++i) {
        Fields f(all[i]);
        const auto type = static_cast<JournalRecord>(f.u8());
        // A step that marks the names clean moves their clean point: undoing it leaves them
        // modified, whatever the count says.
        if (type == JournalRecord::Step) {
            f.text();
            if ((f.u8() & 4) != 0)
                return 1;
        }
        if (type == JournalRecord::Step || type == JournalRecord::Redo)
            ++at;
        else if (type == JournalRecord::Undo)
            --at;
        else
            return 1; // unknown: let the restore say what it makes of it
        if (at < 0)
            return 1;
    }
    return at;
}

std::string damagedName(const std::string& path) {
    return path + ".damaged";
}

} // namespace

std::optional<JournalSummary> ReadJournalSummary(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    const JournalRecords read = readRecords(*bytes);
    if (read.all.empty())
        return std::nullopt;
    const auto base = readBase(read.all.front());
    if (!base)
        return std::nullopt;
    JournalSummary summary{base->game, base->eFile};
    summary.damaged = read.damaged;
    summary.entries = read.all.size() - 1;
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(path, ec);
    if (!ec)
        summary.lastChange = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::file_clock::to_sys(time).time_since_epoch())
                                 .count();
    bool dataModified = base->dataModified && !written(base->data);
    bool namesModified = base->namesModified && !written(base->names);
    const bool cleanBase = base->kind != kCopyBase || (!dataModified && !namesModified);
    summary.changes = read.damaged || !cleanBase || netSteps(read.all) != 0;
    return summary;
}

// Replays a journal's entries through the document's one door.
class JournalReplay {
  public:
    JournalReplay(CVarnelDoc& doc, Game g) : doc_(doc), g_(g) {}

    // Applies one entry; false when it does not fit the table (or is no entry).
    bool apply(std::span<const std::uint8_t> body) {
        Fields f(body);
        const auto type = static_cast<JournalRecord>(f.u8());
        if (type == JournalRecord::Undo)
            return doc_.undo(g_);
        if (type == JournalRecord::Redo)
            return doc_.redo(g_);
        if (type != JournalRecord::Step)
            return false;
        std::string text = f.text();
        const std::uint8_t flags = f.u8();
        const auto code = f.block();
        const std::uint32_t n = f.u32();
        std::vector<std::uint64_t> hashes;
        for (std::uint32_t k = 0; f.ok() && k < n && k <= code.size(); ++k)
            hashes.push_back(f.u64());
        if (!f.ok() || hashes.size() != n || !PatchCodeIsWhole(g_, code))
            return false;
        Patch patch;
        patch.code.assign(code.begin(), code.end());
        if (f.u8() != 0) {
            auto side = std::make_unique<SwapSide>();
            bool ok = true;
            side->table = f.u8() != 0;
            if (side->table) {
                readSideTable(*side, g_, f, ok);
            }
            if (f.u8() != 0)
                side->countries = readCountries(f, g_);
            side->files = f.u8() != 0;
            if (side->files) {
                side->eFile = f.text();
                side->namesEFile = f.text();
                side->tFile = f.text();
            }
            const std::uint64_t before = f.u64();
            if (!ok || !f.ok())
                return false;
            const std::uint64_t now = swapStateHash(
                g_, *side, doc_.slotOf<Pg2UnitTable>().now, doc_.slotOf<PegUnitTable>().now,
                doc_.countries(g_), doc_.settings().eFile(g_), doc_.settings().namesEFile(g_),
                doc_.settings().tFile(g_));
            if (now != before)
                return false;
            patch.swap = std::move(side);
        }
        return doc_.commit(g_, std::move(text), std::move(patch), (flags & 1) != 0,
                           (flags & 2) != 0, (flags & 4) != 0, &hashes);
    }

  private:
    CVarnelDoc& doc_;
    Game g_;
};

bool RestoreLeftJournal(CVarnelDoc& doc, const std::string& path) {
    JournalFile held; // taken from the dead process: no other editor restores it meanwhile
    if (!held.adopt(path))
        return false;
    const auto bytes = ReadFileBytes(path);
    const JournalRecords read = bytes ? readRecords(*bytes) : JournalRecords{};
    auto base = read.all.empty() ? std::nullopt : readBase(read.all.front());
    if (!base) {
        // Nothing can be made of it; it is kept where nobody offers it again.
        held.close();
        const std::string kept = damagedName(path);
        std::error_code ec;
        std::filesystem::rename(path, kept, ec);
        MessageBox(doc.ui,
                   "The recovery journal %s is damaged: nothing could be restored.\nIt was kept "
                   "as %s",
                   path.c_str(), ec ? path.c_str() : kept.c_str());
        return false;
    }
    const Game g = base->game;
    std::optional<Bytes> eFile, names;
    std::optional<FileStamp> eStamp, namesStamp;
    if (base->kind == kFilesBase) {
        // The steps hold only what they changed: they fit the files as they were, no others.
        eFile = ReadFileBytes(base->eFile);
        if (eFile) {
            eStamp = StatFile(base->eFile);
            if (eStamp)
                eStamp->hash = HashBytes(*eFile);
        }
        if (base->hasNames) {
            names = ReadFileBytes(base->namesEFile);
            if (names) {
                namesStamp = StatFile(base->namesEFile);
                if (namesStamp)
                    namesStamp->hash = HashBytes(*names);
            }
        }
        if (!matches(eStamp, base->size, base->hash) ||
            (base->hasNames && !matches(namesStamp, base->namesSize, base->namesHash))) {
            MessageBox(doc.ui,
                       "%s\nor its Names E-File was changed since Varnel stopped: the unsaved "
                       "changes cannot be put on it, and nothing was restored",
                       base->eFile.c_str());
            return false;
        }
    }

    // The table as the base says, then every step through the one door; this editor's own
    // journal takes them all and is flushed once at the end.
    if (doc.journal_)
        doc.journal_->beginBatch();
    doc.settings().eFile(g) = base->eFile;
    doc.settings().namesEFile(g) = base->namesEFile;
    if (base->kind != kNoTableBase) {
        // The country names as they were, as a load sets them: no step of their own.
        doc.settings().tFile(g) = base->tFile;
        doc.setCountries(g, base->countries);
    }
    if (base->kind == kFilesBase) {
        doc.rememberFile(g, ChangeKind::Data, base->eFile, eStamp);
        doc.rememberFile(g, ChangeKind::Names, base->namesEFile, namesStamp);
        const Bytes namesBytes = names ? *names : Bytes();
        ForTableOf(g, [&]<class Table>() { doc.loadTable(tableFrom<Table>(*eFile, namesBytes)); });
    } else if (base->kind == kCopyBase) {
        // A save that wrote a file leaves that file clean: it holds the copy's bytes.
        const bool dataSaved = written(base->data);
        const bool namesSaved = written(base->names);
        if (dataSaved)
            doc.settings().eFile(g) = base->data.path;
        if (namesSaved)
            doc.settings().namesEFile(g) = base->names.path;
        doc.rememberFile(g, ChangeKind::Data, doc.settings().eFile(g),
                         StampFile(doc.settings().eFile(g)));
        doc.rememberFile(g, ChangeKind::Names, doc.settings().namesEFile(g),
                         StampFile(doc.settings().namesEFile(g)));
        const bool dataModified = base->dataModified && !dataSaved;
        const bool namesModified = base->namesModified && !namesSaved;
        ForTableOf(g, [&]<class Table>() {
            doc.loadTable(std::move(*base->template tableOf<Table>()), dataModified, namesModified);
        });
        if (base->dataAhead && !dataSaved)
            doc.historyOf(g).markCleanAhead(ChangeKind::Data, dataModified);
        if (base->namesAhead && !namesSaved)
            doc.historyOf(g).markCleanAhead(ChangeKind::Names, namesModified);
    }

    JournalReplay replay(doc, g);
    std::size_t done = 0;
    const std::size_t total = read.all.size() - 1 + (read.damaged ? 1 : 0);
    for (std::size_t i = 1; i < read.all.size(); ++i) {
        // A step that does not fit means the journal does not: what came before it stands,
        // what follows is not tried.
        if (!replay.apply(read.all[i]))
            break;
        ++done;
    }
    // The restored steps are on the disk in this editor's journal before the old one goes.
    if (doc.journal_)
        doc.journal_->endBatch();
    held.remove();
    if (done < total)
        MessageBox(doc.ui,
                   "The recovery journal of %s is damaged: %d of %d changes could be restored.",
                   base->eFile.empty() ? GameName(g) : base->eFile.c_str(), static_cast<int>(done),
                   static_cast<int>(total));
    doc.refreshTitle();
    return true;
}

namespace {

std::string timeText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifndef _WIN32
    localtime_r(&t, &local);
#else
    localtime_s(&local, &t);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

} // namespace

OfferResult OfferLeftJournals(CVarnelDoc& doc, const std::string& folder) {
    OfferResult result;
    for (const std::string& path : FindLeftJournals(folder)) {
        const auto summary = ReadJournalSummary(path);
        if (!summary) {
            // Not even its base can be read: kept under another name, and said so.
            RestoreLeftJournal(doc, path);
            continue;
        }
        // A journal with nothing unsaved in it is not worth a question.
        if (!summary->changes) {
            RemoveFile(path);
            continue;
        }
        // Restoring a second journal of a game would replace the first one's table: it waits
        // for the next start.
        if (std::find(result.restored.begin(), result.restored.end(), summary->game) !=
            result.restored.end())
            continue;
        const std::string what = summary->eFile.empty()
                                     ? std::string(GameName(summary->game)) + " table"
                                     : summary->eFile;
        if (QuestionBox(doc.ui,
                        "Varnel was not closed properly. Restore the unsaved changes to %s (last "
                        "changed %s)?",
                        what.c_str(), timeText(summary->lastChange).c_str())) {
            if (RestoreLeftJournal(doc, path)) {
                result.restored.push_back(summary->game);
                result.eFiles.push_back(doc.settings().eFile(summary->game));
            }
        } else {
            RemoveFile(path);
        }
    }
    return result;
}

std::optional<std::string> StateFolderProblem(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return ec.message();
    const std::string probe = WithTrailingSeparator(folder) + ".varnel-probe";
    if (!SaveFileBytes(probe, Bytes{1}))
        return SaveFailureReason().empty() ? std::string("it cannot be written")
                                           : SaveFailureReason();
    RemoveFile(probe);
    return std::nullopt;
}

} // namespace varnel
