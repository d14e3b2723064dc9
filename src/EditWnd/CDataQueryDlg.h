#pragma once
#include <QDateTime>
#include <QDialog>

class QDateTimeEdit;
class QLabel;
class QPushButton;

// The query dialog: the start and end time of the records to extract, to
// the second. The range accepted last is remembered for the rest of the
// run and shown the next time; the first time both pickers show now.
class CDataQueryDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CDataQueryDlg(QWidget* parent = nullptr);

    // Reads both pickers into the remembered range and into startTime and
    // endTime, then closes with Accepted.
    void OnOK();

    // The remembered range; invalid until the first query is accepted.
    static QDateTime lastStart;
    static QDateTime lastEnd;

    QDateTime startTime;
    QDateTime endTime;
    QDateTimeEdit* startPicker = nullptr;
    QDateTimeEdit* endPicker = nullptr;
    QLabel* startLabel = nullptr;
    QLabel* endLabel = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

private:
    void OnInitDialog();
};
