#pragma once

#include <QString>

class MasterTables;

// The three master pick lists: 4 columns x 10 rows a page, two pages, slots down each column.
namespace PickLists {

constexpr int kRows = 10;
constexpr int kColumns = 4;
constexpr int kPages = 2;

// The slot shown in column c (1..4), row r (1..10) of page p (1..2).
int slotAt(int page, int column, int row);
// The page after `page` (1 -> 2 -> 1).
int nextPage(int page);
constexpr int kSlots = kRows * kColumns * kPages;

// Where the keyboard takes the cursor of a pick list, counted in slots 1..80 (down a column, on
// to the next column and across to the next page): arrows one slot or one column, PageUp /
// PageDown one page, Home / End the first and last slot. 0 for any other key.
int slotAfterKey(int slot, int key);
struct Cell {
    int page = 1, column = 1, row = 1;
};
Cell cellOf(int slot);

QString lampCellText(const MasterTables &masters, int slot);
QString luminaireCellText(const MasterTables &masters, int slot);
QString roomCellText(const MasterTables &masters, int slot);

// The number before the ":" of a lamp or luminaire label; 0 for an empty or unlabelled cell.
int pickedNumber(const QString &cellText);

} // namespace PickLists
