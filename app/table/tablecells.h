#pragma once
// The units table's cells without widgets: what a cell shows, what a typed or pasted text stores,
// tab-separated text as spreadsheets copy and paste it, and the commands over many cells (set one
// value, scale by a percentage, paste a block), each one step of the document's edit path.

#include "app/varneldoc.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// Drop-downs: months, vocabularies and countries.
bool IsListField(const FieldDef& field);
// Check boxes: PG2 switches and PeG bits.
bool IsCheckField(const FieldDef& field);
// Numbers a percentage can scale.
bool IsNumberField(const FieldDef& field);

// The items of a drop-down; countries are "N  name" with the game's T-File names.
std::vector<std::string> ListItems(const CVarnelDoc& doc, Game g, const FieldDef& field);
// Tab-separated text: rows end in LF or CR LF, cells holding a tab, a line break or a double
// quote are quoted with doubled quotes inside. A last line break ends the last row.
std::vector<std::vector<std::string>> ParseTabText(std::string_view text);
std::string MakeTabText(const std::vector<std::vector<std::string>>& rows);

struct TableCell {
    std::size_t unit = 0;
    const FieldDef* field = nullptr;
};

// Stores `value` (as typed into a cell) in every cell, as one step.
CellsResult SetCellsValue(CVarnelDoc& doc, Game g, std::span<const TableCell> cells,
                          std::string_view value);
// Multiplies the shown value of every cell by percent / 100, cut toward zero, as one step. Every
// cell must be of a number column.
CellsResult ScaleCells(CVarnelDoc& doc, Game g, std::span<const TableCell> cells, int percent);
// Pastes a block of cell texts into the rows `units` and the columns `fields` (what the table
// shows from the current cell on), as one step; refused when the block is larger.
CellsResult PasteCells(CVarnelDoc& doc, Game g, std::span<const int> units,
                       std::span<const FieldDef* const> fields,
                       const std::vector<std::vector<std::string>>& block);

} // namespace varnel
