// The recovery journal: writing it as the edit path changes the tables, and replaying it after a
// crash.

#include "app/recoveryjournal.h"

#include "app/efileio.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/filestamp.h"
#include "base/paths.h"
#include "equip/efile.h"

#include <algorithm>
#include <chrono>
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
    Table table;
    if constexpr (std::is_same_v<Table, Pg2UnitTable>) {
        table.units = ParsePg2EFile(eFile).units;
        AdoptPg2Names(table, Bytes(names.begin(), names.end()));
    } else {
        table.units = ParsePegEFile(eFile).units;
        AdoptPegNames(table, Bytes(names.begin(), names.end()));
    }
    return table;
}

Bytes eFileOf(const CVarnelDoc& doc, Game g) {
    return g == Game::Pg2 ? WritePg2EFile(*doc.pg2()) : WritePegEFile(*doc.peg());
}

Bytes namesOf(const CVarnelDoc& doc, Game g) {
    return g == Game::Pg2 ? WriteNamesFile(*doc.pg2()) : WriteNamesFile(*doc.peg());
}

} // namespace

// --- Entries ------------------------------------------------------------------------------

Bytes JournalFieldEntry(std::size_t unit, const std::string& field, std::string_view shown) {
    return Record(JournalRecord::Field)
        .u32(static_cast<std::uint32_t>(unit))
        .text(field)
        .text(shown)
        .framed();
}

Bytes JournalUnitEntry(JournalRecord type, std::size_t unit) {
    return Record(type).u32(static_cast<std::uint32_t>(unit)).framed();
}

Bytes JournalAppendEntry(const std::string& what, bool names, const Bytes& eFile,
                         const Bytes& namesFile) {
    return Record(JournalRecord::Append)
        .text(what)
        .u8(names ? 1 : 0)
        .block(eFile)
        .block(namesFile)
        .framed();
}

Bytes JournalCostEntry(const CostChoices& choices) {
    Record r(JournalRecord::Cost);
    for (std::size_t c = 0; c < choices.enabled.size(); ++c)
        r.u8(choices.enabled[c] ? 1 : 0).u32(static_cast<std::uint32_t>(choices.percent[c]));
    return r.framed();
}

Bytes JournalNamesEntry(const std::string& path, std::span<const std::uint8_t> bytes) {
    return Record(JournalRecord::Names).text(path).block(bytes).framed();
}

Bytes JournalMoveEntry(bool undo) {
    return Record(undo ? JournalRecord::Undo : JournalRecord::Redo).framed();
}

Bytes JournalTableEntry(const std::string& what, const Bytes& eFile, const Bytes& namesFile) {
    return Record(JournalRecord::Table).text(what).block(eFile).block(namesFile).framed();
}

Bytes JournalCellsEntry(const std::string& what, std::span<const CellEdit> edits) {
    Record r(JournalRecord::Cells);
    r.text(what).u32(static_cast<std::uint32_t>(edits.size()));
    for (const CellEdit& edit : edits)
        r.u32(static_cast<std::uint32_t>(edit.unit)).text(edit.field->name).text(edit.shown);
    return r.framed();
}

Bytes JournalCsvEntry(const CsvFile& file, const CsvImportOptions& options) {
    Record r(JournalRecord::Csv);
    r.u8(options.append ? 1 : 0)
        .u8(static_cast<std::uint8_t>(file.delimiter))
        .u8(file.read1252 ? 1 : 0)
        .u32(static_cast<std::uint32_t>(file.header.size()));
    for (const std::string& h : file.header)
        r.text(h);
    r.u32(static_cast<std::uint32_t>(file.rowCount()));
    for (std::size_t row = 0; row < file.rowCount(); ++row) {
        const std::size_t n = file.cellStart[row + 1] - file.cellStart[row];
        r.u32(file.lines[row]).u32(static_cast<std::uint32_t>(n));
        for (std::size_t c = 0; c < n; ++c)
            r.text(file.cell(row, c));
    }
    return r.framed();
}

Bytes JournalConvertEntry(const PegUnitTable& table, const NameTable& countries,
                          const std::string& eFile, const std::string& namesEFile,
                          const std::string& tFile) {
    Record r(JournalRecord::Convert);
    r.block(WritePegEFile(table)).block(WriteNamesFile(table));
    r.u32(static_cast<std::uint32_t>(countries.count()));
    for (int n = 0; n < countries.count(); ++n)
        r.text(countries.name(n));
    return r.text(eFile).text(namesEFile).text(tFile).framed();
}

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
    if (!journal_)
        return;
    Record base(JournalRecord::Base);
    base.u8(g == Game::Pg2 ? 0 : 1);
    base.text(settings.eFile(g)).text(settings.namesEFile(g)).text(settings.tFile(g));
    const auto& data = fileStamp(g, ChangeKind::Data);
    const auto& names = fileStamp(g, ChangeKind::Names);
    const bool onFiles = hasTable(g) && !flag(g, ChangeKind::Data) && !flag(g, ChangeKind::Names) &&
                         data && stampedPath(g, ChangeKind::Data) == settings.eFile(g) &&
                         (!names || stampedPath(g, ChangeKind::Names) == settings.namesEFile(g));
    if (!hasTable(g)) {
        base.u8(kNoTableBase);
    } else if (onFiles) {
        // The table is what its files hold: they are named, with what they were like.
        base.u8(kFilesBase).u64(data->size).u64(data->hash);
        base.u8(names ? 1 : 0).u64(names ? names->size : 0).u64(names ? names->hash : 0);
    } else {
        base.u8(kCopyBase)
            .u8(flag(g, ChangeKind::Data) ? 1 : 0)
            .u8(flag(g, ChangeKind::Names) ? 1 : 0)
            .block(eFileOf(*this, g))
            .block(namesOf(*this, g));
    }
    journal_->rebase(g, base.framed(), history(g).index());
}

void CVarnelDoc::journalEntry(Game g, const std::vector<std::uint8_t>& entry) {
    if (!journal_)
        return;
    // Without a journal (or after one failed) the step is already in the table: the table as
    // it now stands is the base.
    if (!journal_->has(g)) {
        journalRebase(g);
        return;
    }
    journal_->append(g, entry);
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
        journal_->append(g, JournalMoveEntry(undo));
    else
        journalRebase(g);
}

// --- Replay -------------------------------------------------------------------------------

namespace {

struct Base {
    Game game = Game::Pg2;
    std::string eFile, namesEFile, tFile;
    std::uint8_t kind = kNoTableBase;
    std::uint64_t size = 0, hash = 0;
    bool hasNames = false;
    std::uint64_t namesSize = 0, namesHash = 0;
    bool dataModified = false, namesModified = false;
    std::span<const std::uint8_t> eFileBytes, namesBytes;
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
    b.kind = f.u8();
    if (b.kind == kFilesBase) {
        b.size = f.u64();
        b.hash = f.u64();
        b.hasNames = f.u8() != 0;
        b.namesSize = f.u64();
        b.namesHash = f.u64();
    } else if (b.kind == kCopyBase) {
        b.dataModified = f.u8() != 0;
        b.namesModified = f.u8() != 0;
        b.eFileBytes = f.block();
        b.namesBytes = f.block();
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

} // namespace

std::optional<JournalSummary> ReadJournalSummary(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    const auto all = records(*bytes);
    if (all.empty())
        return std::nullopt;
    const auto base = readBase(all.front());
    if (!base)
        return std::nullopt;
    const bool changes =
        all.size() > 1 || (base->kind == kCopyBase && (base->dataModified || base->namesModified));
    return JournalSummary{base->game, base->eFile, changes};
}

bool RestoreJournal(CVarnelDoc& doc, const std::string& path) {
    JournalFile held; // taken from the dead process: no other editor restores it meanwhile
    if (!held.adopt(path))
        return false;
    const auto bytes = ReadFileBytes(path);
    const auto all = bytes ? records(*bytes) : std::vector<std::span<const std::uint8_t>>();
    const auto base = all.empty() ? std::nullopt : readBase(all.front());
    if (!base) {
        MessageBox(doc.ui, "The recovery journal %s is damaged: nothing was restored",
                   path.c_str());
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

    // The table as the base says, then every step through the edit path; this editor's own
    // journal takes them all and is flushed once at the end.
    if (doc.journal_)
        doc.journal_->beginBatch();
    doc.settings.eFile(g) = base->eFile;
    doc.settings.namesEFile(g) = base->namesEFile;
    if (base->kind != kNoTableBase && !base->tFile.empty())
        LoadTFile(doc, g, base->tFile);
    if (base->kind == kFilesBase) {
        doc.rememberFile(g, ChangeKind::Data, base->eFile, eStamp);
        doc.rememberFile(g, ChangeKind::Names, base->namesEFile, namesStamp);
        const Bytes namesBytes = names ? *names : Bytes();
        if (g == Game::Pg2)
            doc.loadTable(tableFrom<Pg2UnitTable>(*eFile, namesBytes));
        else
            doc.loadTable(tableFrom<PegUnitTable>(*eFile, namesBytes));
    } else if (base->kind == kCopyBase) {
        doc.rememberFile(g, ChangeKind::Data, base->eFile, StampFile(base->eFile));
        doc.rememberFile(g, ChangeKind::Names, base->namesEFile, StampFile(base->namesEFile));
        if (g == Game::Pg2)
            doc.loadTable(tableFrom<Pg2UnitTable>(base->eFileBytes, base->namesBytes),
                          base->dataModified, base->namesModified);
        else
            doc.loadTable(tableFrom<PegUnitTable>(base->eFileBytes, base->namesBytes),
                          base->dataModified, base->namesModified);
    }

    std::unordered_map<std::string, const FieldDef*> fields;
    for (std::size_t i = 1; i < all.size(); ++i) {
        Fields f(all[i]);
        const auto type = static_cast<JournalRecord>(f.u8());
        bool done = true;
        switch (type) {
        case JournalRecord::Field: {
            const std::uint32_t unit = f.u32();
            const std::string name = f.text();
            const std::string shown = f.text();
            // Most steps edit a few fields: each name is looked up in the catalogue once.
            auto known = fields.find(name);
            if (known == fields.end())
                known = fields.emplace(name, FindField(g, name)).first;
            const FieldDef* field = known->second;
            done = f.ok() && field && doc.setField(g, unit, *field, shown).ok;
            break;
        }
        case JournalRecord::Clone: {
            const std::uint32_t unit = f.u32();
            done = f.ok() && doc.cloneUnit(g, unit).has_value();
            break;
        }
        case JournalRecord::Delete: {
            const std::uint32_t unit = f.u32();
            done = f.ok() && doc.deleteUnit(g, unit);
            break;
        }
        case JournalRecord::Append: {
            const std::string what = f.text();
            const bool withNames = f.u8() != 0;
            const auto e = f.block();
            const auto n = f.block();
            if (!f.ok())
                done = false;
            else if (g == Game::Pg2)
                done = doc.appendUnits(tableFrom<Pg2UnitTable>(e, n), what, withNames);
            else
                done = doc.appendUnits(tableFrom<PegUnitTable>(e, n), what, withNames);
            break;
        }
        case JournalRecord::Cost: {
            CostChoices choices;
            for (std::size_t c = 0; c < choices.enabled.size(); ++c) {
                choices.enabled[c] = f.u8() != 0;
                choices.percent[c] = static_cast<int>(f.u32());
            }
            done = f.ok() && g == Game::Peg && doc.changeCosts(choices) > 0;
            break;
        }
        case JournalRecord::Convert: {
            CVarnelDoc::ConvertedPeg c;
            const auto e = f.block();
            const auto n = f.block();
            c.table = tableFrom<PegUnitTable>(e, n);
            const std::uint32_t countries = f.u32();
            for (std::uint32_t k = 0; f.ok() && k < countries && int(k) < c.countries.capacity();
                 ++k)
                c.countries.setName(static_cast<int>(k), f.text());
            c.countries.setCount(static_cast<int>(std::min<std::uint32_t>(
                countries, static_cast<std::uint32_t>(c.countries.capacity()))));
            c.eFile = f.text();
            c.namesEFile = f.text();
            c.tFile = f.text();
            done = f.ok() && g == Game::Peg;
            if (done)
                doc.replacePegTable(std::move(c));
            break;
        }
        case JournalRecord::Names: {
            const std::string namesPath = f.text();
            const auto n = f.block();
            done = f.ok() && doc.hasTable(g);
            if (done)
                doc.reloadNames(g, n, namesPath);
            break;
        }
        case JournalRecord::Undo:
            done = doc.undo(g);
            break;
        case JournalRecord::Redo:
            done = doc.redo(g);
            break;
        case JournalRecord::Table: {
            const std::string what = f.text();
            const auto e = f.block();
            const auto n = f.block();
            done = f.ok() && doc.hasTable(g);
            if (done && g == Game::Pg2)
                doc.replaceTable(tableFrom<Pg2UnitTable>(e, n), what);
            else if (done)
                doc.replaceTable(tableFrom<PegUnitTable>(e, n), what);
            break;
        }
        case JournalRecord::Cells: {
            const std::string what = f.text();
            const std::uint32_t n = f.u32();
            std::vector<CellEdit> edits;
            for (std::uint32_t k = 0; f.ok() && k < n; ++k) {
                CellEdit edit;
                edit.unit = f.u32();
                const std::string name = f.text();
                edit.shown = f.text();
                auto known = fields.find(name);
                if (known == fields.end())
                    known = fields.emplace(name, FindField(g, name)).first;
                edit.field = known->second;
                if (!edit.field)
                    break;
                edits.push_back(std::move(edit));
            }
            done = f.ok() && edits.size() == n && doc.setFields(g, edits, what).ok;
            break;
        }
        case JournalRecord::Csv: {
            CsvImportOptions options;
            options.append = f.u8() != 0;
            CsvFile csv;
            csv.delimiter = static_cast<char>(f.u8());
            csv.read1252 = f.u8() != 0;
            const std::uint32_t columns = f.u32();
            for (std::uint32_t k = 0; f.ok() && k < columns; ++k)
                csv.header.push_back(f.text());
            const std::uint32_t rows = f.u32();
            csv.cellStart.push_back(0);
            for (std::uint32_t row = 0; f.ok() && row < rows; ++row) {
                csv.lines.push_back(f.u32());
                const std::uint32_t n = f.u32();
                for (std::uint32_t c = 0; f.ok() && c < n; ++c) {
                    const std::string cell = f.text();
                    csv.cells.emplace_back(csv.pool.size(), csv.pool.size() + cell.size());
                    csv.pool += cell;
                }
                csv.cellStart.push_back(csv.cells.size());
            }
            done = f.ok() && csv.rowCount() == rows && doc.importCsv(g, csv, options).applied;
            break;
        }
        default:
            done = false;
        }
        // A step that does not replay as it was done means the journal does not fit: what came
        // before it stands, what follows is not tried.
        if (!done)
            break;
    }
    // The restored steps are on the disk in this editor's journal before the old one goes.
    if (doc.journal_)
        doc.journal_->endBatch();
    held.remove();
    doc.refreshAllViews();
    doc.refreshTitle();
    return true;
}

void OfferLeftJournals(CVarnelDoc& doc, const std::string& folder) {
    for (const std::string& path : FindLeftJournals(folder)) {
        const auto summary = ReadJournalSummary(path);
        // A journal with nothing unsaved in it is not worth a question.
        if (!summary || !summary->changes) {
            RemoveFile(path);
            continue;
        }
        const std::string what = summary->eFile.empty()
                                     ? std::string(GameName(summary->game)) + " table"
                                     : summary->eFile;
        if (QuestionBox(doc.ui,
                        "Varnel was not closed properly. Restore the unsaved changes to %s?",
                        what.c_str()))
            RestoreJournal(doc, path);
        else
            RemoveFile(path);
    }
}

} // namespace varnel
