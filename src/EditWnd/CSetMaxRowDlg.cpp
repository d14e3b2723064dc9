#include "EditWnd/CSetMaxRowDlg.h"

#include "MainWnd/CVantrelApp.h"
#include "uilib/MessageSeam.h"
#include "winbaselib/src/i18n/LangFormat.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString text(int key)
{
    return langText(langkeys::SetMaxRowsDlg, key);
}

} // namespace

CSetMaxRowDlg::CSetMaxRowDlg(int initialValue, QWidget* parent)
    : QDialog(parent), value(initialValue)
{
    label = new QLabel(this);
    edit = new QLineEdit(this);
    edit->setAlignment(Qt::AlignCenter);
    // Paste and drop would go round the key filter.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setAcceptDrops(false);
    edit->installEventFilter(this);
    okButton = new QPushButton(this);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &CSetMaxRowDlg::OnOK);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    OnInitDialog();
}

void CSetMaxRowDlg::OnInitDialog()
{
    edit->setText(QString::number(value));
    edit->setMaxLength(6);
    setWindowTitle(text(3));
    okButton->setText(text(2));
    label->setText(text(4));
    edit->selectAll();
}

void CSetMaxRowDlg::OnOK()
{
    bool isNumber = false;
    const int entered = edit->text().toInt(&isNumber);
    // An empty box is the only non-number the filter lets through; it gets
    // the same message as a number out of range, which names the limits.
    if (!isNumber || entered < 1 || entered > maxRows) {
        uilib::showMessage(this, formatLangText(text(langkeys::RowsOutOfRange), {maxRows}));
        edit->setFocus();
        edit->selectAll();
        return;
    }
    value = entered;
    accept();
}

bool CSetMaxRowDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != edit)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep Ctrl+V and the like from reaching the line edit as editing
        // shortcuts: the box takes digits only.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) {
            const QString t = key->text();
            if (!t.isEmpty() && t.front().unicode() != 19) {
                event->accept();
                return true;
            }
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString t = key->text();
    if (t.isEmpty() || key->key() == Qt::Key_Backspace)
        return false; // arrows, Delete, Home, End: not typed characters
    const QChar c = t.front();
    if ((c >= u'0' && c <= u'9') || c == u'\b' || c.unicode() == 19)
        return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape
        || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false; // dialog keys: OK, cancel, focus
    return true;
}
