#pragma once
#include "store/CDataOperator.h"
#include "store/RecordPage.h"
#include "uilib/CDocument.h"

#include <QString>

#include <list>
#include <map>

// Whether a value column's curve is shown.
struct CurveSelection {
    QString name;
    int shown = 1;
};

// Colour (0x00BBGGRR) and pen style (0 solid … 4 dash-dot-dot) of a curve.
struct CurveStyle {
    int colour = 0;
    int lineType = 0;
};

// One open data-record file. The document owns the file's store and a copy
// of the current page; the report and curve views read these members and
// call the operations below. Views and dialogs change only dataModified,
// alarmTextLanguage, the curve members and call UpdateAllViews.
class CVantrelDoc : public CDocument
{
    Q_OBJECT
public:
    CVantrelDoc();
    ~CVantrelDoc() override;

    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    void OnCloseDocument() override;

    // Loads page `page` (from 1) into `page` and updates the views.
    // 0; -1 outside 1…pageCount; -2 the store could not read it; -3 it
    // came back without columns or rows. On failure the document keeps
    // the page it showed, and currentPage with it.
    virtual int openPage(const int& page);
    // True when the current page has something to export; otherwise
    // tells the user so and returns false.
    bool hasExportableData();

    int rebuildColumns = 1;
    int currentPage = 1;
    int pageCount = 1;
    int recordCount = 0;
    int displayColumnCount = 0;
    int rowsPerPage = 0;
    int fileKind = OperationLog;
    int sampleInterval = -1;
    int alarmTextLanguage = 0;
    int rangeType = 0;
    bool curveColorsSet = false;
    bool curveSettingsChanged = false;
    bool dataModified = false;
    QString rangeMin;
    QString rangeMax;
    QString rangeUnit;
    QString fileTitle;
    QString workingCopyPath;
    QString userFilePath;
    CDataOperator store;
    RecordPage page;
    std::list<CurveSelection> curveList;
    std::map<QString, CurveStyle> curveStyles;

    // The message-box owner and the language texts, from the application.
    void showInfo(int key) const;

private:
    void OnFileSave();
    // Where the backup of `path` goes: the temporary folder and the file
    // name, with a counter when another open document already backs up a
    // file of that name there.
    QString workingCopyFor(const QString& path) const;
    void readRangeSettings();
    // The columns of the shown table that the page holds.
    int shownColumnCount() const;
    void restoreUserFile();
};
