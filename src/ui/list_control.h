#pragma once

#include "ui/images.h"

#include <QColor>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace ui {

// Report-view lists (kinds List, HeaderList, ListWithHeader). Rows are added
// from one text whose columns are separated by a line feed. Any thread.

void AddListColumn(int64_t list, const QString& title, int width);

/// Adds a column, after the shown ones, that only holds data for the program
/// (an address, a mark): its cells stay with their row and are read and set
/// by their column number like any other, but are neither shown nor read out
/// by a screen reader.
void AddDataColumn(int64_t list);
void SetColumnWidth(int64_t list, int column, int width);
int ColumnWidth(int64_t list, int column);

/// Appends a row at the end; a text with more parts than columns keeps only
/// as many as there are columns. Returns the new row's index, -1 if unknown.
int64_t AddRow(int64_t list, const QString& columns, ImageId image);

/// Appends many rows in one go (a list filled by a scan); rows beyond the
/// images given get no image.
void AddRows(int64_t list, const QList<QString>& rows, const QList<ImageId>& images);

void ClearRows(int64_t list);
int64_t RowCount(int64_t list);
QString CellText(int64_t list, int64_t row, int column);
void SetCellText(int64_t list, int64_t row, int column, const QString& text);
void SetRowImage(int64_t list, int64_t row, ImageId image);
/// The image a row was given; none for a row without one.
std::optional<ImageId> RowImage(int64_t list, int64_t row);

/// Text colour of a whole row or one cell; an invalid colour restores the list's
/// own. A data column's cell reads as the colour of its row's first cell.
void SetRowColour(int64_t list, int64_t row, const QColor& colour);
void SetCellColour(int64_t list, int64_t row, int column, const QColor& colour);
QColor CellColour(int64_t list, int64_t row, int column);

/// The selected row (the first one in a multiple-selection list); -1 for none.
int64_t SelectedRow(int64_t list);
QList<int64_t> SelectedRows(int64_t list);
void SelectRow(int64_t list, int64_t row, bool selected);
void SelectAllRows(int64_t list);

} // namespace ui
