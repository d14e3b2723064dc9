#include "EditWnd/CReportGridModel.h"

#include <algorithm>

namespace {
// The column whose cells are alarm text keys in an alarm file.
constexpr int alarmTextColumn = 3;
} // namespace

CReportGridModel::CReportGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CReportGridModel::setColumns(const QStringList& names)
{
    beginResetModel();
    columnNames = names;
    rowMap.clear();
    rowIndex.clear();
    endResetModel();
}

void CReportGridModel::setRows(Rows newRows, int shownRows)
{
    // Rows are replaced in place instead of resetting the model: a reset
    // would also throw away the column widths the view set (or the user
    // dragged), and a page change keeps the column layout.
    const int before = int(rowIndex.size());
    const int after = std::clamp(shownRows, 0, int(newRows.size()));
    if (after < before) {
        beginRemoveRows(QModelIndex(), after, before - 1);
        rowIndex.resize(size_t(after));
        endRemoveRows();
    }
    rowMap.swap(newRows);
    std::vector<Rows::iterator> positions;
    positions.reserve(size_t(after));
    for (auto it = rowMap.begin(); it != rowMap.end() && int(positions.size()) < after; ++it)
        positions.push_back(it);
    if (after > before) {
        beginInsertRows(QModelIndex(), before, after - 1);
        rowIndex.swap(positions);
        endInsertRows();
    } else {
        rowIndex.swap(positions);
    }
    // Rows inserted above are new to the view; the ones it had now hold
    // other records.
    const int kept = std::min(before, after);
    if (kept > 0 && !columnNames.isEmpty())
        emit dataChanged(index(0, 0), index(kept - 1, int(columnNames.size()) - 1));
}

void CReportGridModel::setAlarmTexts(std::map<QString, QString> texts, bool on)
{
    alarmTexts.swap(texts);
    alarmTextShown = on;
    if (!rowIndex.empty() && columnNames.size() > alarmTextColumn)
        emit dataChanged(index(0, alarmTextColumn), index(int(rowIndex.size()) - 1, alarmTextColumn));
}

void CReportGridModel::setReadOnly(bool on)
{
    readOnlyGrid = on;
}

QString CReportGridModel::cellText(int row, int column) const
{
    if (row < 0 || size_t(row) >= rowIndex.size() || column < 1)
        return QString();
    const QStringList& cells = rowIndex[size_t(row)]->second;
    return column <= cells.size() ? cells[column - 1] : QString();
}

void CReportGridModel::setCellText(int row, int column, const QString& text)
{
    if (row < 0 || size_t(row) >= rowIndex.size() || column < 1)
        return;
    QStringList& cells = rowIndex[size_t(row)]->second;
    if (column > cells.size())
        return;
    cells[column - 1] = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell);
}

int CReportGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rowIndex.size());
}

int CReportGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columnNames.size());
}

QVariant CReportGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= rowIndex.size())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return QVariant();
    const auto& entry = *rowIndex[size_t(index.row())];
    const int column = index.column();
    if (column == 0)
        return entry.first;
    if (column > entry.second.size())
        return QVariant();
    const QString& text = entry.second[column - 1];
    if (alarmTextShown && column == alarmTextColumn) {
        const auto found = alarmTexts.find(text);
        return found == alarmTexts.end() ? QString() : found->second;
    }
    return text;
}

QVariant CReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignCenter);
    if (role == Qt::DisplayRole && section >= 0 && section < columnNames.size())
        return columnNames[section];
    return QVariant();
}

Qt::ItemFlags CReportGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The key column names the record; changing it would write nothing.
    if (!readOnlyGrid && index.column() > 0)
        result |= Qt::ItemIsEditable;
    return result;
}

bool CReportGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || size_t(index.row()) >= rowIndex.size()
        || !editHandler || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return editHandler(index.row(), index.column(), value.toString());
}
