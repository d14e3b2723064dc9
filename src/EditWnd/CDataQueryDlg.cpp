#include "EditWnd/CDataQueryDlg.h"

#include "MainWnd/CVantrelApp.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

QDateTime CDataQueryDlg::lastStart;
QDateTime CDataQueryDlg::lastEnd;

namespace {

QString text(int key)
{
    return langText(langkeys::QueryDlg, key);
}

// The pickers show seconds only; milliseconds left in the value would make
// an "equal" range of one second exclude its own end.
QDateTime toSeconds(const QDateTime& time)
{
    const QTime t = time.time();
    return QDateTime(time.date(), QTime(t.hour(), t.minute(), t.second()));
}

QDateTimeEdit* makePicker(QWidget* parent)
{
    auto* picker = new QDateTimeEdit(parent);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    picker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    picker->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    picker->setTimeSpec(Qt::LocalTime);
    return picker;
}

} // namespace

CDataQueryDlg::CDataQueryDlg(QWidget* parent) : QDialog(parent)
{
    startLabel = new QLabel(this);
    endLabel = new QLabel(this);
    startPicker = makePicker(this);
    startPicker->setObjectName(QStringLiteral("startPicker"));
    endPicker = makePicker(this);
    endPicker->setObjectName(QStringLiteral("endPicker"));
    okButton = new QPushButton(this);
    okButton->setDefault(true);
    cancelButton = new QPushButton(this);
    connect(okButton, &QPushButton::clicked, this, &CDataQueryDlg::OnOK);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(startLabel, 0, 0);
    fields->addWidget(startPicker, 0, 1);
    fields->addWidget(endLabel, 1, 0);
    fields->addWidget(endPicker, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    OnInitDialog();
}

void CDataQueryDlg::OnInitDialog()
{
    setWindowTitle(text(1));
    okButton->setText(text(2));
    cancelButton->setText(text(3));
    startLabel->setText(text(7));
    endLabel->setText(text(8));
    const QDateTime now = toSeconds(QDateTime::currentDateTime());
    startPicker->setDateTime(lastStart.isValid() ? lastStart : now);
    endPicker->setDateTime(lastEnd.isValid() ? lastEnd : now);
}

void CDataQueryDlg::OnOK()
{
    lastStart = toSeconds(startPicker->dateTime());
    lastEnd = toSeconds(endPicker->dateTime());
    startTime = lastStart;
    endTime = lastEnd;
    accept();
}
