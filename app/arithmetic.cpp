#include "app/arithmetic.h"

#include "base/format.h"
#include "base/numbers.h"
#include "equip/condition.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

namespace varnel {

namespace {

// Digits only: the sign before them is the operation's.
std::optional<std::int64_t> parseAmount(std::string_view text) {
    if (text.empty() || text.size() > 9 || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    return ParseInteger(text);
}

// a / b rounded to the nearest whole number, halves away from zero (b > 0).
std::int64_t roundedDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
}

int shownOf(const CVarnelDoc& doc, Game g, std::size_t unit, const FieldDef& field) {
    return ShownValue(field, doc.readField(g, unit, field).stored);
}

// The shown value an Add or Scale gives: the exact result put on the field's steps.
std::int64_t computed(const Arithmetic& edit, int shown, bool& rounded) {
    const FieldDef& field = *edit.field;
    const std::int64_t scale = std::max(field.scale, 1);
    // The exact result is numerator / denominator.
    std::int64_t numerator = shown;
    std::int64_t denominator = 1;
    if (edit.kind == ArithmeticKind::Add)
        numerator += edit.amount;
    else {
        numerator *= edit.amount;
        denominator = 100;
    }
    const std::int64_t offset = numerator - field.base * denominator;
    const std::int64_t steps = roundedDiv(offset, scale * denominator);
    rounded = steps * scale * denominator != offset;
    const std::int64_t result = steps * scale + field.base;
    // Beyond int the field's range message is still the right one.
    return std::clamp<std::int64_t>(result, INT_MIN, INT_MAX);
}

// Item texts carry the list's padding ("Tank  "); a summary line does without it.
std::string unpadded(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string unitText(const CVarnelDoc& doc, Game g, std::size_t unit) {
    return Format("unit %zu ", unit) + Utf8From1252(doc.unitName(g, unit).value_or(""));
}

// The field's own reason for refusing `shown` on `unit`, from a copy of that one unit.
std::string reasonOf(const CVarnelDoc& doc, Game g, std::size_t unit, const FieldDef& field,
                     const std::string& shown) {
    auto one = [&](const auto& table, auto set) {
        std::remove_cvref_t<decltype(table)> copy;
        copy.units.push_back(table.units[unit]);
        copy.setName(0, table.name(unit));
        return set(copy, 0, field, shown, FieldStyle::Form, &doc.countries(g)).message;
    };
    return g == Game::Pg2 ? one(*doc.pg2(), SetPg2Field) : one(*doc.peg(), SetPegField);
}

struct Job {
    int unit = 0;
    const Arithmetic* edit = nullptr;
};

// False, with the message, when an Add or Scale names a column without numbers.
bool refuseNonNumbers(const Arithmetic& edit, ArithmeticResult& result) {
    if (edit.kind == ArithmeticKind::Set || IsNumberField(*edit.field))
        return true;
    if (edit.field->readOnly) {
        result.message = Format("The column %s is read-only.", edit.field->label);
        return false;
    }
    result.message = Format("The column %s holds no numbers to %s.", edit.field->label,
                            edit.kind == ArithmeticKind::Add ? "add to" : "scale");
    return false;
}

// The step's name as the table's other commands name theirs: "Add +2 (40 cells)".
std::string stepName(std::span<const Arithmetic> edits, std::size_t cells, std::string what) {
    if (!what.empty())
        return what;
    const std::string counted =
        " (" + Counted(static_cast<long long>(cells), "cell", "cells") + ")";
    if (edits.size() != 1)
        return "Arithmetic" + counted;
    if (edits[0].kind == ArithmeticKind::Set)
        return "Set Value" + counted;
    if (edits[0].kind == ArithmeticKind::Add)
        return Format("Add %+lld", static_cast<long long>(edits[0].amount)) + counted;
    return Format("Scale by %lld%%", static_cast<long long>(edits[0].amount)) + counted;
}

ArithmeticResult applyJobs(CVarnelDoc& doc, Game g, std::span<const Job> jobs,
                           const std::string& what) {
    ArithmeticResult result;
    const std::size_t count = doc.unitCount(g);
    std::vector<CellEdit> cells;
    cells.reserve(jobs.size());
    for (const Job& job : jobs) {
        if (job.unit < 0 || static_cast<std::size_t>(job.unit) >= count) {
            result.message = "There is no such unit";
            return result;
        }
        const auto index = static_cast<std::size_t>(job.unit);
        const Arithmetic& edit = *job.edit;
        if (edit.kind == ArithmeticKind::Set) {
            cells.push_back({index, edit.field, edit.value});
            continue;
        }
        bool rounded = false;
        const std::int64_t value = computed(edit, shownOf(doc, g, index, *edit.field), rounded);
        result.rounded += rounded ? 1 : 0;
        cells.push_back({index, edit.field, std::to_string(value)});
    }
    // What each cell showed: numbers as numbers (no text per cell on the way, at 65,535 units),
    // anything else as the table's text.
    std::vector<int> beforeNumber(cells.size());
    std::vector<std::string> before(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) {
        if (IsNumberField(*cells[k].field))
            beforeNumber[k] = shownOf(doc, g, cells[k].unit, *cells[k].field);
        else
            before[k] = doc.formatField(g, cells[k].unit, *cells[k].field, FieldStyle::Cell);
    }

    const CellsResult applied = doc.setFields(g, cells, what);
    if (!applied.ok) {
        result.message = applied.message;
        if (applied.refused >= 0) {
            const CellEdit& cell = cells[static_cast<std::size_t>(applied.refused)];
            CsvRefusal refusal;
            refusal.column = cell.field->label;
            refusal.value = Utf8From1252(cell.shown);
            refusal.reason = reasonOf(doc, g, cell.unit, *cell.field, cell.shown);
            refusal.unit = unitText(doc, g, cell.unit);
            result.refusal = std::move(refusal);
        }
        result.rounded = 0;
        return result;
    }
    result.ok = true;
    result.changed = applied.changed;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const CellEdit& cell = cells[k];
        std::string after;
        if (IsNumberField(*cell.field)) {
            const int shown = shownOf(doc, g, cell.unit, *cell.field);
            if (shown == beforeNumber[k])
                continue;
            before[k] = std::to_string(beforeNumber[k]);
            after = std::to_string(shown);
        } else {
            after = doc.formatField(g, cell.unit, *cell.field, FieldStyle::Cell);
            if (after == before[k])
                continue;
        }
        const auto unit = static_cast<std::uint32_t>(cells[k].unit);
        if (result.changedUnits.empty() || result.changedUnits.back() != unit)
            result.changedUnits.push_back(unit);
        result.changes.push_back({cells[k].unit, cells[k].field, unpadded(std::move(before[k])),
                                  unpadded(std::move(after))});
    }
    // Units may come in any order.
    std::sort(result.changedUnits.begin(), result.changedUnits.end());
    result.changedUnits.erase(std::unique(result.changedUnits.begin(), result.changedUnits.end()),
                              result.changedUnits.end());
    return result;
}

} // namespace

std::optional<Arithmetic> ParseArithmetic(Game g, std::string_view text, std::string& message) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        message = Format("\"%s\": expected FIELD=VALUE, FIELD=+N, FIELD=-N or FIELD=*PCT",
                         std::string(text).c_str());
        return std::nullopt;
    }
    Arithmetic edit;
    const std::string_view name = text.substr(0, equals);
    edit.field = FindColumn(g, name);
    if (edit.field == nullptr) {
        message = Format("Unknown column \"%s\"", std::string(name).c_str());
        return std::nullopt;
    }
    const std::string_view value = text.substr(equals + 1);
    if (!value.empty() && (value[0] == '+' || value[0] == '-' || value[0] == '*')) {
        const std::optional<std::int64_t> amount = parseAmount(value.substr(1));
        if (!amount || *amount > kMaxArithmeticAmount) {
            message = Format("\"%s\": expected a whole number from 0 to %lld after \"%c\"",
                             std::string(text).c_str(),
                             static_cast<long long>(kMaxArithmeticAmount), value[0]);
            return std::nullopt;
        }
        edit.kind = value[0] == '*' ? ArithmeticKind::Scale : ArithmeticKind::Add;
        edit.amount = value[0] == '-' ? -*amount : *amount;
        return edit;
    }
    edit.kind = ArithmeticKind::Set;
    edit.value = std::string(value);
    return edit;
}

ArithmeticResult ApplyArithmetic(CVarnelDoc& doc, Game g, std::span<const int> units,
                                 std::span<const Arithmetic> edits, std::string what) {
    ArithmeticResult result;
    if (!doc.hasTable(g)) {
        result.message = "There is no table to change.";
        return result;
    }
    std::set<const FieldDef*> seen;
    for (const Arithmetic& edit : edits) {
        if (!seen.insert(edit.field).second) {
            result.message = Format("The column %s is given twice.", edit.field->label);
            return result;
        }
        if (!refuseNonNumbers(edit, result))
            return result;
    }
    std::vector<Job> jobs;
    jobs.reserve(units.size() * edits.size());
    for (const int unit : units)
        for (const Arithmetic& edit : edits)
            jobs.push_back({unit, &edit});
    return applyJobs(doc, g, jobs, stepName(edits, jobs.size(), std::move(what)));
}

ArithmeticResult ApplyArithmetic(CVarnelDoc& doc, Game g, std::span<const TableCell> cells,
                                 const Arithmetic& edit, std::string what) {
    ArithmeticResult result;
    if (!doc.hasTable(g)) {
        result.message = "There is no table to change.";
        return result;
    }
    // The edit once per column, each with its own field.
    std::map<const FieldDef*, Arithmetic> columns;
    for (const TableCell& cell : cells) {
        auto [it, added] = columns.try_emplace(cell.field, edit);
        it->second.field = cell.field;
        if (added && !refuseNonNumbers(it->second, result))
            return result;
    }
    std::vector<Job> jobs;
    jobs.reserve(cells.size());
    for (const TableCell& cell : cells)
        jobs.push_back(
            {cell.unit > static_cast<std::size_t>(INT_MAX) ? -1 : static_cast<int>(cell.unit),
             &columns.at(cell.field)});
    return applyJobs(doc, g, jobs, stepName({&edit, 1}, jobs.size(), std::move(what)));
}

std::string ArithmeticSummary(const CVarnelDoc& doc, Game g, const ArithmeticResult& result) {
    auto summary = [&](const auto& table) {
        CsvImportPlan<std::remove_cvref_t<decltype(table)>> plan;
        plan.changes = result.changes;
        plan.changedUnits = result.changedUnits;
        if (result.refusal)
            plan.refusals.push_back(*result.refusal);
        else if (!result.ok) {
            CsvRefusal refusal;
            refusal.reason = result.message;
            plan.refusals.push_back(std::move(refusal));
        }
        if (result.rounded != 0)
            plan.notes.push_back(
                Counted(static_cast<long long>(result.rounded), "value", "values") +
                " rounded to the nearest value the field can store");
        return CsvPlanSummary(plan, table);
    };
    if (!doc.hasTable(g))
        return result.message + "\n";
    return doc.visitTable(g, summary);
}

} // namespace varnel
