#include "ui/list_control.h"

#include "runtime/event_queue.h"
#include "ui/control_registry.h"
#include "ui/gui_thread.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace ui {

namespace {

QTreeWidgetItem* RowOf(QTreeWidget* list, int64_t row)
{
    if (list == nullptr || row < 0 || row >= list->topLevelItemCount())
        return nullptr;
    return list->topLevelItem(static_cast<int>(row));
}

constexpr int ImageRole = Qt::UserRole + 1;
/// A data column's cell is kept in column 0 under this role plus its number.
constexpr int DataCellRole = Qt::UserRole + 16;
const char* const DataColumnsProperty = "zorvaneDataColumns";

int DataColumns(const QTreeWidget* list)
{
    return list->property(DataColumnsProperty).toInt();
}

/// Whether `column` is one of the list's columns, shown or data.
bool IsColumn(const QTreeWidget* list, int column)
{
    return column >= 0 && column < list->columnCount() + DataColumns(list);
}

QString TextOf(const QTreeWidgetItem* item, int column)
{
    const int shown = item->treeWidget()->columnCount();
    return column < shown ? item->text(column) : item->data(0, DataCellRole + column).toString();
}

void SetTextOf(QTreeWidgetItem* item, int column, const QString& text)
{
    if (column < item->treeWidget()->columnCount())
        item->setText(column, text);
    else
        item->setData(0, DataCellRole + column, text);
}

void SetImageOf(QTreeWidgetItem* item, std::optional<ImageId> image)
{
    item->setIcon(0, image ? Icon(*image) : QIcon());
    item->setData(0, ImageRole, image ? QVariant(static_cast<int>(*image)) : QVariant());
}

QTreeWidgetItem* MakeRow(QTreeWidget* list, const QString& columns, std::optional<ImageId> image)
{
    auto* item = new QTreeWidgetItem;
    const QStringList parts = columns.split(u'\n');
    const int shown = list->columnCount();
    const int count = std::min<int>(static_cast<int>(parts.size()), shown + DataColumns(list));
    for (int c = 0; c < count; ++c) {
        if (c < shown)
            item->setText(c, parts[c]);
        else
            item->setData(0, DataCellRole + c, parts[c]);
    }
    SetImageOf(item, image);
    return item;
}

} // namespace

void AddListColumn(int64_t list, const QString& title, int width)
{
    OnGuiThread([&] {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        if (l == nullptr)
            return;
        const int column = l->columnCount();
        l->setColumnCount(column + 1);
        l->headerItem()->setText(column, title);
        l->setColumnWidth(column, width);
        l->header()->setSectionResizeMode(column, QHeaderView::Fixed);
    });
}

void HideListColumn(int64_t list, int column)
{
    OnGuiThread([&] {
        if (QTreeWidget* l = WidgetAs<QTreeWidget>(list); l != nullptr && column >= 0 && column < l->columnCount())
            l->setColumnHidden(column, true);
    });
}

void AddDataColumn(int64_t list)
{
    OnGuiThread([&] {
        if (QTreeWidget* l = WidgetAs<QTreeWidget>(list))
            l->setProperty(DataColumnsProperty, DataColumns(l) + 1);
    });
}

void SetColumnWidth(int64_t list, int column, int width)
{
    OnGuiThread([&] {
        if (QTreeWidget* l = WidgetAs<QTreeWidget>(list); l != nullptr && column >= 0 && column < l->columnCount())
            l->setColumnWidth(column, width);
    });
}

int ColumnWidth(int64_t list, int column)
{
    return OnGuiThread([&] {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        return l != nullptr && column >= 0 && column < l->columnCount() ? l->columnWidth(column) : 0;
    });
}

int64_t AddRow(int64_t list, const QString& columns, ImageId image)
{
    return OnGuiThread([&]() -> int64_t {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        if (l == nullptr)
            return -1;
        runtime::ChangeGuard quiet;
        l->addTopLevelItem(MakeRow(l, columns, image));
        return l->topLevelItemCount() - 1;
    });
}

void AddRows(int64_t list, const QList<QString>& rows, const QList<ImageId>& images)
{
    OnGuiThread([&] {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        if (l == nullptr)
            return;
        runtime::ChangeGuard quiet;
        QList<QTreeWidgetItem*> items;
        items.reserve(rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            items << MakeRow(l, rows[i], i < images.size() ? std::optional(images[i]) : std::nullopt);
        l->addTopLevelItems(items);
    });
}

void ClearRows(int64_t list)
{
    OnGuiThread([&] {
        if (QTreeWidget* l = WidgetAs<QTreeWidget>(list)) {
            runtime::ChangeGuard quiet;
            l->clear();
        }
    });
}

int64_t RowCount(int64_t list)
{
    return OnGuiThread([&]() -> int64_t {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        return l != nullptr ? l->topLevelItemCount() : 0;
    });
}

QString CellText(int64_t list, int64_t row, int column)
{
    return OnGuiThread([&]() -> QString {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        QTreeWidgetItem* item = RowOf(l, row);
        return item != nullptr && IsColumn(l, column) ? TextOf(item, column) : QString();
    });
}

void SetCellText(int64_t list, int64_t row, int column, const QString& text)
{
    OnGuiThread([&] {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        if (QTreeWidgetItem* item = RowOf(l, row); item != nullptr && IsColumn(l, column)) {
            runtime::ChangeGuard quiet;
            SetTextOf(item, column, text);
        }
    });
}

void SetRowImage(int64_t list, int64_t row, ImageId image)
{
    OnGuiThread([&] {
        if (QTreeWidgetItem* item = RowOf(WidgetAs<QTreeWidget>(list), row))
            SetImageOf(item, image);
    });
}

std::optional<ImageId> RowImage(int64_t list, int64_t row)
{
    return OnGuiThread([&]() -> std::optional<ImageId> {
        QTreeWidgetItem* item = RowOf(WidgetAs<QTreeWidget>(list), row);
        const QVariant value = item != nullptr ? item->data(0, ImageRole) : QVariant();
        if (!value.isValid())
            return std::nullopt;
        return static_cast<ImageId>(value.toInt());
    });
}

void SetRowColour(int64_t list, int64_t row, const QColor& colour)
{
    OnGuiThread([&] {
        if (QTreeWidgetItem* item = RowOf(WidgetAs<QTreeWidget>(list), row)) {
            for (int c = 0; c < item->columnCount(); ++c)
                item->setData(c, Qt::ForegroundRole, colour.isValid() ? QVariant(QBrush(colour)) : QVariant());
        }
    });
}

void SetCellColour(int64_t list, int64_t row, int column, const QColor& colour)
{
    OnGuiThread([&] {
        if (QTreeWidgetItem* item = RowOf(WidgetAs<QTreeWidget>(list), row))
            item->setData(column, Qt::ForegroundRole, colour.isValid() ? QVariant(QBrush(colour)) : QVariant());
    });
}

QColor CellColour(int64_t list, int64_t row, int column)
{
    return OnGuiThread([&]() -> QColor {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        QTreeWidgetItem* item = RowOf(l, row);
        if (item == nullptr || !IsColumn(l, column))
            return QColor();
        // A data cell is never drawn; it reads as its row's colour.
        const QVariant value = item->data(column < l->columnCount() ? column : 0, Qt::ForegroundRole);
        return value.isValid() ? value.value<QBrush>().color() : QColor();
    });
}

int64_t SelectedRow(int64_t list)
{
    return OnGuiThread([&]() -> int64_t {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        if (l == nullptr)
            return -1;
        for (int i = 0; i < l->topLevelItemCount(); ++i)
            if (l->topLevelItem(i)->isSelected())
                return i;
        return -1;
    });
}

QList<int64_t> SelectedRows(int64_t list)
{
    return OnGuiThread([&] {
        QList<int64_t> rows;
        if (QTreeWidget* l = WidgetAs<QTreeWidget>(list))
            for (int i = 0; i < l->topLevelItemCount(); ++i)
                if (l->topLevelItem(i)->isSelected())
                    rows << i;
        return rows;
    });
}

void SelectRow(int64_t list, int64_t row, bool selected)
{
    OnGuiThread([&] {
        QTreeWidget* l = WidgetAs<QTreeWidget>(list);
        if (QTreeWidgetItem* item = RowOf(l, row)) {
            runtime::ChangeGuard quiet;
            if (selected && l->selectionMode() == QAbstractItemView::SingleSelection)
                l->setCurrentItem(item);
            item->setSelected(selected);
        }
    });
}

void SelectAllRows(int64_t list)
{
    OnGuiThread([&] {
        if (QTreeWidget* l = WidgetAs<QTreeWidget>(list)) {
            runtime::ChangeGuard quiet;
            l->selectAll();
        }
    });
}

} // namespace ui
