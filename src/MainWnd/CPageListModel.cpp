#include "MainWnd/CPageListModel.h"

#include "winbaselib/src/i18n/LangFormat.h"

CPageListModel::CPageListModel(QObject* parent) : QAbstractListModel(parent) {}

void CPageListModel::setPages(int count, const QString& itemFormat)
{
    beginResetModel();
    pageCount = count > 0 ? count : 0;
    format = itemFormat;
    endResetModel();
}

int CPageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : pageCount;
}

QVariant CPageListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= pageCount)
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    return formatLangText(format, {index.row() + 1LL});
}
