#include "EditWnd/CVantrelView.h"

#include "EditWnd/CReportGridModel.h"
#include "EditWnd/CsvFileCommands.h"
#include "EditWnd/RecordCommands.h"
#include "EditWnd/CVantrelDoc.h"
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CSelectorComboBox.h"
#include "MainWnd/CVantrelApp.h"
#include "uilib/CommandIds.h"
#include "uilib/MessageSeam.h"
#include "util/Log.h"
#include "util/ProfileFile.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <regex>

namespace {

constexpr char unit[] = "EditWnd/VantrelView";
constexpr int timeColumnWidth = 160;
constexpr int otherColumnWidth = 100;

} // namespace

CVantrelView::CVantrelView(QWidget* parent) : CView(parent)
{
    setAutoFillBackground(true);
    model = new CReportGridModel(this);
    model->setEditHandler([this](int row, int column, const QString& text) {
        return OnGridEndInplaceEdit(row, column, text);
    });
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("reportGrid"));
    table->setModel(model);
    table->verticalHeader()->hide();
    // Every row has the height of the font: with fixed rows the view finds
    // the rows of any screen by arithmetic and never measures the page.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->horizontalHeader()->setHighlightSections(false);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideRight);
    table->setAlternatingRowColors(true);
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    // No editing on any key: Shift+C, Shift+V and Shift+R are the close,
    // print preview and print setup accelerators, and a typed capital
    // would run them instead of starting an edit. Inside the editor the
    // line edit takes typed text and its editing keys before any
    // accelerator.
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
    setFocusProxy(table);

    // Handled only while the report is the active view, so with the curves
    // in front these commands are disabled.
    onCommand(cmd::AddRecord, [this] { recordcommands::OnAddRecord(*this); });
    onCommand(cmd::DeleteRecord, [this] { recordcommands::OnDeleteRecord(*this); });
    onCommand(cmd::Query, [this] { recordcommands::OnQueryData(*this); });
    onCommand(cmd::ExportPageCsv, [this] { csvfilecommands::OnSaveAsCsv(*this, false); });
    onCommand(cmd::ExportAllCsv, [this] { csvfilecommands::OnSaveAsCsv(*this, true); });
}

CVantrelView::~CVantrelView() = default;

CVantrelDoc* CVantrelView::getDocument() const
{
    CDocument* doc = GetDocument();
    if (!doc)
        return nullptr;
    auto* vantrelDoc = qobject_cast<CVantrelDoc*>(doc);
    if (!vantrelDoc)
        VLOG_ERROR(unit, "CVantrelView can't get document .");
    return vantrelDoc;
}

void CVantrelView::OnUpdate(CView*, long, QObject*)
{
    // The grid covers the view, so Qt seldom paints the view itself and
    // OnDraw alone would miss page changes; the same rule runs here.
    refreshIfStale();
    update();
}

void CVantrelView::OnDraw(QPainter*)
{
    refreshIfStale();
}

void CVantrelView::refreshIfStale()
{
    CVantrelDoc* doc = getDocument();
    if (doc && (alarmTextLanguage != doc->alarmTextLanguage || shownPageNumber != doc->currentPage))
        refreshFromDocument();
}

int CVantrelView::refreshFromDocument()
{
    CVantrelDoc* doc = getDocument();
    if (!doc)
        return 0;
    const int previousLanguage = alarmTextLanguage;
    alarmTextLanguage = doc->alarmTextLanguage;
    const auto texts = doc->store.alarmTexts.find(alarmTextLanguage);
    std::map<QString, QString> alarmTexts;
    if (texts != doc->store.alarmTexts.end())
        alarmTexts = texts->second;
    const bool alarmTextShown = !alarmTexts.empty();
    const bool languageChanged = alarmTextLanguage != previousLanguage;
    shownPageNumber = doc->currentPage;
    const int pageCount = doc->pageCount;

    if (doc->displayColumnCount < 3 || doc->page.rows.empty() || doc->page.columns.isEmpty()
        || doc->currentPage <= 0 || pageCount <= 0)
        return 0;
    // A failed fill keeps what the grid showed; the copy is only taken
    // into the model once the checks above passed.
    model->setAlarmTexts(std::move(alarmTexts), alarmTextShown);
    // Columns are built once per file; a view opened later (the report
    // shown again after its window was closed) builds its own.
    const bool newColumns = doc->rebuildColumns == 1 || !columnsBuilt
                            || model->columns() != doc->page.columns;
    if (newColumns)
        model->setColumns(doc->page.columns);
    if (gridDataFilling(newColumns ? 1 : 0) < 0)
        return 0;
    // Alarm texts of another language may be longer.
    if (!newColumns && languageChanged && alarmTextShown)
        widenColumnsToRows();
    if (CVantrelApp* app = theApp()) {
        if (auto* frame = qobject_cast<CMainFrame*>(app->mainFrame())) {
            // The selector may hold the items of another document.
            if (frame->pageSelector()->count() != pageCount)
                frame->fillPageSelector(pageCount);
            frame->pageSelector()->setCurrentIndex(shownPageNumber - 1);
        }
    }
    return 0;
}

int CVantrelView::gridDataFilling(const int& rebuild)
{
    if (rebuild == 1 && setupGridColumns() < 0) {
        VLOG_ERROR(unit, "Add column failed .");
        return -1;
    }
    CVantrelDoc* doc = getDocument();
    if (!doc || doc->page.rows.empty())
        return -2;
    CVantrelApp* app = theApp();
    const int limit = app ? app->maxRowsPerPage : int(doc->page.rows.size());
    model->setRows(doc->page.rows, std::min(limit, int(doc->page.rows.size())));
    if (rebuild == 1)
        widenColumnsToRows();
    table->scrollToTop();
    return 0;
}

void CVantrelView::widenColumnsToRows()
{
    // Columns outside the time columns may hold times too (an alarm's
    // confirmation time) or long alarm texts; the first rows of the first
    // page stand for the rest, so the cost does not grow with the page.
    constexpr int sampledRows = 50;
    constexpr int widest = 420;
    const QFontMetrics metrics = table->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth() + 8;
    const int rows = std::min(sampledRows, model->rowCount());
    for (int c = 0; c < model->columnCount(); ++c) {
        int needed = 0;
        for (int r = 0; r < rows; ++r)
            needed = std::max(needed, metrics.horizontalAdvance(
                                          model->data(model->index(r, c), Qt::DisplayRole).toString()));
        needed = std::min(widest, needed + padding);
        if (needed > table->columnWidth(c))
            table->setColumnWidth(c, needed);
    }
}

int CVantrelView::setupGridColumns()
{
    if (!table)
        return -1;
    if (model->columns().isEmpty())
        return -2;
    const int readOnly = ProfileFile(QString::fromUtf16(SettingsFile))
                             .getInt(QStringLiteral("EditCellMode"), QStringLiteral("READONLY"), -1);
    // Alarm texts are shown in place of the keys the file holds, so an
    // edit of that column would write a text where a key belongs.
    model->setReadOnly(readOnly != 0 || model->showsAlarmTexts());

    // Times in full: the given widths are the least a column gets, and a
    // wider font widens it rather than cutting "…:59.123" short.
    const QFontMetrics metrics = table->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth() + 8;
    const int timeWidth =
        std::max(timeColumnWidth, metrics.horizontalAdvance(QStringLiteral("2026-12-31 23:59:59.999")) + padding);
    const QFontMetrics headerMetrics = table->horizontalHeader()->fontMetrics();
    const QStringList& names = model->columns();
    for (int i = 0; i < names.size(); ++i) {
        const int base = isTimeColumn(i) ? timeWidth : otherColumnWidth;
        table->setColumnWidth(i, std::max(base, headerMetrics.horizontalAdvance(names[i]) + padding));
    }
    columnsBuilt = true;
    return 0;
}

bool CVantrelView::isTimeColumn(int column) const
{
    CVantrelDoc* doc = getDocument();
    if (!doc)
        return false;
    if (doc->fileKind == AlarmData)
        return column == 2 || column == 5;
    return column == 1;
}

bool CVantrelView::OnGridEndInplaceEdit(int row, int column, const QString& text)
{
    if (column == 0 || row < 0 || row >= model->rowCount())
        return false;
    CVantrelDoc* doc = getDocument();
    if (!doc)
        return false;
    const int key = model->keyAt(row);
    const auto record = doc->page.rows.find(key);
    if (record == doc->page.rows.end() || column > record->second.size())
        return false;
    const QString oldText = record->second[column - 1];
    if (text == oldText)
        return false;

    const bool timeColumn = isTimeColumn(column);
    const bool acceptable = !text.isEmpty() && (timeColumn ? isDateTimeText(text) : isNumberText(text));
    if (!acceptable) {
        showInfo(15);
        // The model never took the text, so the cell shows the old one.
        return false;
    }
    const QString columnName = model->columns().value(column);
    if (doc->store.updateCell(key, columnName, text, timeColumn) < 0) {
        // Nothing was written: the cell goes on showing what the file
        // holds, and the document is no more changed than before.
        showInfo(14);
        return false;
    }
    // The document's page follows the file, so the next edit compares
    // with what is really there: changing a cell back to the text it had
    // at load must write too.
    record->second[column - 1] = text;
    model->setCellText(row, column, text);
    doc->dataModified = true;
    doc->UpdateAllViews(nullptr, 0, nullptr);
    return true;
}

bool CVantrelView::isDateTimeText(const QString& text)
{
    static const std::regex seconds(
        R"([1-9]\d{3}-(0[1-9]|1[0-2])-(0[1-9]|[1-2][0-9]|3[0-1])\s+(20|21|22|23|[0-1]\d):[0-5]\d:[0-5]\d)");
    static const std::regex milliseconds(
        R"([1-9]\d{3}-(0[1-9]|1[0-2])-(0[1-9]|[1-2][0-9]|3[0-1])\s+(20|21|22|23|[0-1]\d):[0-5]\d:[0-5]\d.\d{1,3})");
    const std::string narrow = text.toStdString();
    return std::regex_match(narrow, seconds) || std::regex_match(narrow, milliseconds);
}

bool CVantrelView::isNumberText(const QString& text)
{
    QStringView body(text);
    if (body.startsWith(u'-'))
        body = body.mid(1);
    // A lone "-" is no number.
    if (body.isEmpty() || body.front() == u'.' || body.back() == u'.')
        return false;
    int points = 0;
    for (QChar c : body) {
        if (c == u'.')
            ++points;
        else if (c < u'0' || c > u'9')
            return false;
    }
    return points <= 1;
}

void CVantrelView::showInfo(int key)
{
    uilib::showMessage(window(), langText(langkeys::InfoDlg, key));
}
