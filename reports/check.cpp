#include "reports/check.h"

#include "base/csvtext.h"
#include "base/format.h"
#include "equip/fieldtable.h"

#include <algorithm>
#include <array>
#include <span>

namespace varnel {

namespace {

constexpr int kSoundBases[] = {1000, 2000, 3000}; // move, attack, death
constexpr int kByteValues = 256;

struct SoundRow {
    int offset;
    int base;
    const char* what;
};

constexpr SoundRow kPg2Sounds[] = {{pg2::movMel, kSoundBases[0], "move"},
                                   {pg2::atkMel, kSoundBases[1], "attack"},
                                   {pg2::dieMel, kSoundBases[2], "death"}};
constexpr SoundRow kPegSounds[] = {{peg::movSnd, kSoundBases[0], "move"},
                                   {peg::atkSnd, kSoundBases[1], "attack"},
                                   {peg::dieSnd, kSoundBases[2], "death"}};

int storedOf(const Pg2Unit& unit, const FieldDef& field) {
    return Pg2StoredValue(unit, field);
}
int storedOf(const PegUnit& unit, const FieldDef& field) {
    return PegStoredValue(unit, field);
}

// The form's rows whose stored value a range limits.
std::vector<const FieldDef*> rangedRows(Game game) {
    std::vector<const FieldDef*> rows;
    for (const FieldDef& f : FormFields(game)) {
        switch (f.kind) {
        case FieldKind::Byte:
        case FieldKind::Year:
        case FieldKind::Cost:
        case FieldKind::Month:
        case FieldKind::Vocabulary:
        case FieldKind::Country:
            // A second control on the same byte would report it twice.
            if (std::none_of(rows.begin(), rows.end(),
                             [&](const FieldDef* r) { return r->offset == f.offset; }))
                rows.push_back(&f);
            break;
        default:
            break;
        }
    }
    return rows;
}

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

template <class Table> class Checker {
  public:
    using Unit = typename std::decay_t<decltype(std::declval<Table>().units)>::value_type;
    static constexpr Game kGame = std::is_same_v<Unit, Pg2Unit> ? Game::Pg2 : Game::Peg;

    Checker(const Table& table, const CheckSources& sources)
        : table_(table), sources_(sources), ranged_(rangedRows(kGame)) {
        soundKnown_.fill(-1);
    }

    CheckResult run() {
        for (std::size_t i = 0; i < table_.count(); ++i)
            checkUnit(i);
        checkNameLines();
        return std::move(result_);
    }

  private:
    void add(Severity severity, const char* rule, std::size_t unit, std::string message) {
        result_.findings.push_back(Finding{severity, rule, unit, table_.units[unit].record.code(),
                                           std::string(table_.name(unit)), std::move(message)});
    }

    void checkUnit(std::size_t i) {
        const Unit& unit = table_.units[i];
        const int code = unit.record.code();
        if (static_cast<std::size_t>(code) != i)
            add(kGame == Game::Pg2 ? Severity::Error : Severity::Warning, "code", i,
                Format("code %d differs from its position %d", code, static_cast<int>(i)));
        for (const FieldDef* f : ranged_) {
            const int shown = ShownValue(*f, storedOf(unit, *f));
            if (shown < f->minShown || shown > f->maxShown)
                add(Severity::Error, "value", i,
                    Format("%s %d is outside %d..%d", f->name, shown, f->minShown, f->maxShown));
        }
        if (table_.name(i).size() > static_cast<std::size_t>(kMaxUnitNameLength))
            add(Severity::Error, "value", i,
                Format("its name is %d characters long, more than %d",
                       static_cast<int>(table_.name(i).size()), kMaxUnitNameLength));
        if constexpr (kGame == Game::Pg2)
            checkPg2(i, unit);
        else if (const int iconed = PegIconedCount(unit); iconed > kMaxIconedOptions)
            add(Severity::Error, "value", i,
                Format("%d iconed options are set, at most %d are allowed", iconed,
                       kMaxIconedOptions));
        if (sources_.hasIcon) {
            if constexpr (kGame == Game::Pg2)
                checkIcon(i, "icon", unit.record.icon());
            else {
                checkIcon(i, "unitIcon", unit.record.unitIcon());
                checkIcon(i, "movIcon", unit.record.movIcon());
            }
        }
        if (sources_.hasSound)
            for (const SoundRow& s :
                 kGame == Game::Pg2 ? std::span(kPg2Sounds) : std::span(kPegSounds))
                checkSound(i, s, unit.record[s.offset]);
    }

    void checkPg2(std::size_t i, const Pg2Unit& unit) {
        const auto& loaded = sources_.loadedMasks;
        while (nextLoadedMask_ < loaded.size() && loaded[nextLoadedMask_].unit < i)
            ++nextLoadedMask_;
        const bool loadedOdd = nextLoadedMask_ < loaded.size() && loaded[nextLoadedMask_].unit == i;
        if (loadedOdd || !Pg2MaskIsSingle(unit.record)) {
            std::array<std::uint8_t, 4> mask;
            std::copy_n(unit.record.bytes.begin() + pg2::CountryMask, mask.size(), mask.begin());
            if (loadedOdd)
                mask = loaded[nextLoadedMask_].bytes;
            add(Severity::Error, "country", i,
                Format("its country mask %02X %02X %02X %02X names no single country", mask[0],
                       mask[1], mask[2], mask[3]));
        }
        const int fromYear = unit.record[pg2::YearAvaible];
        const int fromMonth = unit.record[pg2::MontAvaible];
        const int untilYear = unit.record[pg2::YearExpired];
        const int untilMonth = unit.record[pg2::MonthExpired];
        if (fromYear > untilYear || (fromYear == untilYear && fromMonth > untilMonth)) {
            constexpr int base = GameTraits<Game::Pg2>::kYearBase;
            add(Severity::Warning, "dates", i,
                Format("available from %d/%d, after its expiry %d/%d", fromMonth, fromYear + base,
                       untilMonth, untilYear + base));
        }
    }

    void checkIcon(std::size_t i, const char* field, const std::string& name) {
        if (name.empty())
            return;
        if (!sources_.hasIcon(upper(name)))
            add(Severity::Error, "icon", i,
                Format("%s %s is not in the icon archive", field, name.c_str()));
    }

    void checkSound(std::size_t i, const SoundRow& sound, int value) {
        const int number = sound.base + value;
        auto& known =
            soundKnown_[static_cast<std::size_t>((sound.base / 1000 - 1) * kByteValues + value)];
        if (known < 0)
            known = sources_.hasSound(number) ? 1 : 0;
        if (known == 0)
            add(Severity::Warning, "sound", i,
                Format("%s sound %d: %d.wav is missing", sound.what, value, number));
    }

    void checkNameLines() {
        if (!sources_.nameLines)
            return;
        const std::size_t lines = *sources_.nameLines;
        const std::size_t units = table_.count();
        if (lines == units)
            return;
        Finding f;
        f.severity = lines < units ? Severity::Error : Severity::Warning;
        f.rule = "names";
        f.message = Format("the Names E-File has %d lines for %d units", static_cast<int>(lines),
                           static_cast<int>(units));
        result_.findings.push_back(std::move(f));
    }

    const Table& table_;
    const CheckSources& sources_;
    std::size_t nextLoadedMask_ = 0; // the first of sources_.loadedMasks not yet passed
    std::vector<const FieldDef*> ranged_;
    std::array<int, 3 * kByteValues> soundKnown_{};
    CheckResult result_;
};

} // namespace

std::size_t CheckResult::count(Severity severity) const {
    return static_cast<std::size_t>(
        std::count_if(findings.begin(), findings.end(),
                      [&](const Finding& f) { return f.severity == severity; }));
}

CheckResult CheckPg2Table(const Pg2UnitTable& table, const CheckSources& sources) {
    return Checker<Pg2UnitTable>(table, sources).run();
}

CheckResult CheckPegTable(const PegUnitTable& table, const CheckSources& sources) {
    return Checker<PegUnitTable>(table, sources).run();
}

const char* SeverityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::string CheckText(const CheckResult& result) {
    std::string out;
    for (const Finding& f : result.findings) {
        out += SeverityName(f.severity);
        out += ": ";
        if (f.unit) {
            out += Format("unit %d (code %d)", static_cast<int>(*f.unit), int{f.code});
            // The name's Windows-1252 bytes as UTF-8, for the terminal.
            if (!f.name.empty())
                out += ' ' + Utf8From1252(f.name);
        } else {
            out += "Names E-File";
        }
        out += ": " + f.message + '\n';
    }
    out += Counted(static_cast<long long>(result.count(Severity::Error)), "error", "errors") +
           ", " +
           Counted(static_cast<long long>(result.count(Severity::Warning)), "warning", "warnings") +
           '\n';
    for (const std::string& s : result.skipped)
        out += "skipped: " + s + '\n';
    return out;
}

} // namespace varnel
