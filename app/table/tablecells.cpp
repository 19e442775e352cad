#include "app/table/tablecells.h"

#include "base/format.h"

#include <algorithm>
#include <cstdint>

namespace varnel {

namespace {

CellsResult refusal(std::string message) {
    CellsResult result;
    result.message = std::move(message);
    return result;
}

} // namespace

bool IsListField(const FieldDef& field) {
    return field.kind == FieldKind::Month || field.kind == FieldKind::Vocabulary ||
           field.kind == FieldKind::Country;
}

bool IsCheckField(const FieldDef& field) {
    return field.kind == FieldKind::Switch || field.kind == FieldKind::Bit;
}

bool IsNumberField(const FieldDef& field) {
    return !field.readOnly &&
           (field.kind == FieldKind::Byte || field.kind == FieldKind::Year ||
            field.kind == FieldKind::Cost || field.kind == FieldKind::AnyInteger);
}

std::vector<std::string> ListItems(const CVarnelDoc& doc, Game g, const FieldDef& field) {
    std::vector<std::string> items;
    for (int position = 0; position <= field.maxShown; ++position)
        items.push_back(field.kind == FieldKind::Country
                            ? ListItem(position, doc.countries(g).name(position))
                            : FieldItemText(field, position));
    return items;
}

std::vector<std::vector<std::string>> ParseTabText(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string cell;
    bool cellStarted = false;
    std::size_t i = 0;
    auto endRow = [&] {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
        row.clear();
        cell.clear();
        cellStarted = false;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && !cellStarted && cell.empty()) {
            // A quoted cell: up to the lone closing quote; doubled quotes stand for one.
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text[i++];
            }
            cellStarted = true;
            continue;
        }
        if (c == '\t') {
            row.push_back(std::move(cell));
            cell.clear();
            cellStarted = false;
            ++i;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            endRow();
            i += 2;
        } else if (c == '\n') {
            endRow();
            ++i;
        } else {
            cell += c;
            cellStarted = true;
            ++i;
        }
    }
    if (cellStarted || !cell.empty() || !row.empty())
        endRow();
    return rows;
}

std::string MakeTabText(const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (k > 0)
                out += '\t';
            const std::string& cell = row[k];
            if (cell.find_first_of("\t\r\n\"") == std::string::npos) {
                out += cell;
                continue;
            }
            out += '"';
            for (char c : cell) {
                if (c == '"')
                    out += '"';
                out += c;
            }
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

CellsResult SetCellsValue(CVarnelDoc& doc, Game g, std::span<const TableCell> cells,
                          std::string_view value) {
    std::vector<CellEdit> edits;
    edits.reserve(cells.size());
    for (const TableCell& cell : cells)
        edits.push_back({cell.unit, cell.field, std::string(value)});
    return doc.setFields(g, edits,
                         "Set Value (" +
                             Counted(static_cast<long long>(cells.size()), "cell", "cells") + ")");
}

CellsResult ScaleCells(CVarnelDoc& doc, Game g, std::span<const TableCell> cells, int percent) {
    std::vector<CellEdit> edits;
    edits.reserve(cells.size());
    for (const TableCell& cell : cells) {
        if (!IsNumberField(*cell.field))
            return refusal(Format("The column %s holds no numbers to scale.", cell.field->label));
        if (cell.unit >= doc.unitCount(g))
            return refusal("There is no such unit");
        const std::int64_t shown =
            ShownValue(*cell.field, doc.readField(g, cell.unit, *cell.field).stored);
        // Cut toward zero to a value the field stores (a multiple of 12 or 10 for costs), as
        // the cost change cuts: the field itself refuses anything in between.
        std::int64_t scaled = shown * percent / 100;
        scaled -= (scaled - cell.field->base) % cell.field->scale;
        edits.push_back({cell.unit, cell.field, std::to_string(scaled)});
    }
    return doc.setFields(g, edits,
                         Format("Scale by %d%% (", percent) +
                             Counted(static_cast<long long>(cells.size()), "cell", "cells") + ")");
}

CellsResult PasteCells(CVarnelDoc& doc, Game g, std::span<const int> units,
                       std::span<const FieldDef* const> fields,
                       const std::vector<std::vector<std::string>>& block) {
    std::size_t width = 0;
    for (const auto& row : block)
        width = std::max(width, row.size());
    if (block.empty() || width == 0)
        return refusal("There is nothing to paste.");
    if (block.size() > units.size() || width > fields.size())
        return refusal(Format("The pasted block (%zu x %zu) does not fit in the table from the "
                              "current cell (%zu x %zu).",
                              block.size(), width, units.size(), fields.size()));
    std::vector<CellEdit> edits;
    edits.reserve(block.size() * width);
    for (std::size_t r = 0; r < block.size(); ++r)
        for (std::size_t c = 0; c < block[r].size(); ++c) {
            const auto unit = static_cast<std::size_t>(units[r]);
            edits.push_back({unit, fields[c], block[r][c]});
        }
    return doc.setFields(
        g, edits, "Paste (" + Counted(static_cast<long long>(edits.size()), "cell", "cells") + ")");
}

} // namespace varnel
