#pragma once
#include <QAbstractListModel>
#include <QString>

// The items of the page selector, made when asked for: item i shows the
// page-item format with page i + 1. A file of millions of records at a
// small page size has millions of pages; a filled item list would cost
// seconds and hundreds of megabytes at every open and every focus.
class CPageListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit CPageListModel(QObject* parent = nullptr);

    void setPages(int count, const QString& itemFormat);
    int pages() const { return pageCount; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    int pageCount = 0;
    QString format;
};
