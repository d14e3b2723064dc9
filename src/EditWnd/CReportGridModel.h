#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

// The report grid's cells: the view's copy of one page, looked up by row
// position. The rows stay in the ordered map the page comes in (keys
// ascending) and a vector of its iterators gives row r in constant time,
// so painting the last screen of a 100000-row page costs what the first
// does; walking the map from its start would make scrolling to the bottom
// quadratic. data() never touches the store.
class CReportGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using Rows = std::map<int, QStringList>;
    // Called when an in-place edit ends with the row, the column and the
    // text typed; true when the text was taken (the handler then puts it
    // into the row with setCellText).
    using EditHandler = std::function<bool(int row, int column, const QString& text)>;

    explicit CReportGridModel(QObject* parent = nullptr);

    // New columns; the rows go with them.
    void setColumns(const QStringList& names);
    // The rows of a page, of which the first `shownRows` are shown. The
    // columns stay, and so do their widths in the view.
    void setRows(Rows newRows, int shownRows);
    // Texts that column 3 shows in place of the alarm text keys it holds;
    // a key without a text shows empty. Off when `on` is false.
    void setAlarmTexts(std::map<QString, QString> texts, bool on);
    void setReadOnly(bool on);
    void setEditHandler(EditHandler handler) { editHandler = std::move(handler); }

    const QStringList& columns() const { return columnNames; }
    const Rows& rows() const { return rowMap; }
    bool readOnly() const { return readOnlyGrid; }
    bool showsAlarmTexts() const { return alarmTextShown; }
    // The record key of row `row`; the row must exist.
    int keyAt(int row) const { return rowIndex[size_t(row)]->first; }
    // Cell text of a column after the key column (1 …), as stored.
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    QStringList columnNames;
    Rows rowMap;
    std::vector<Rows::iterator> rowIndex;
    std::map<QString, QString> alarmTexts;
    bool alarmTextShown = false;
    bool readOnlyGrid = true;
    EditHandler editHandler;
};
