#pragma once
#include "uilib/CView.h"

#include <QString>

class CReportGridModel;
class CVantrelDoc;
class QTableView;

// The report view: the records of the document's current page in a grid,
// one row per record with its key first, edited in place where the
// settings allow. The view keeps its own copy of the page it shows and
// refills the grid only when the document's page or alarm-text language
// differs from that copy.
class CVantrelView : public CView
{
    Q_OBJECT
public:
    explicit CVantrelView(QWidget* parent = nullptr);
    ~CVantrelView() override;

    // The document, or null; logged when the document is of another kind.
    CVantrelDoc* getDocument() const;
    // Copies the document's page into the view and refills the grid.
    int refreshFromDocument();
    // 0; -1 the columns could not be built; -2 no rows to show.
    int gridDataFilling(const int& rebuild);
    // 0; -1 no grid; -2 no column names.
    int setupGridColumns();
    // The end of an in-place edit of a cell: checks the text for its
    // column and writes it into the file. True when the cell now shows it.
    bool OnGridEndInplaceEdit(int row, int column, const QString& text);

    // Record time text: "YYYY-MM-DD hh:mm:ss", optionally followed by one
    // character and 1 to 3 digits (milliseconds).
    static bool isDateTimeText(const QString& text);
    // A plain decimal number: optional '-', digits, at most one '.' that
    // is neither first nor last.
    static bool isNumberText(const QString& text);

    QTableView* grid() const { return table; }
    CReportGridModel* gridModel() const { return model; }
    int shownPage() const { return shownPageNumber; }
    int shownAlarmTextLanguage() const { return alarmTextLanguage; }

    void OnUpdate(CView* sender, long hint, QObject* hintObject) override;

protected:
    void OnDraw(QPainter* painter) override;

private:
    // The refresh rule: refill when the alarm-text language or the page
    // shown is not the document's.
    void refreshIfStale();
    bool isTimeColumn(int column) const;
    // Makes the columns wide enough for what the first rows hold.
    void widenColumnsToRows();
    void showInfo(int key);

    int shownPageNumber = 0;
    int alarmTextLanguage = 0;
    bool columnsBuilt = false;
    QTableView* table = nullptr;
    CReportGridModel* model = nullptr;
};
