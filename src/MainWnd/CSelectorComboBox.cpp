#include "MainWnd/CSelectorComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <climits>

CSelectorComboBox::CSelectorComboBox(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void CSelectorComboBox::setEditable(bool editable)
{
    QComboBox::setEditable(editable);
    if (QLineEdit* edit = lineEdit()) {
        // Completion would turn "1" into "10" while the user types.
        setCompleter(nullptr);
        edit->installEventFilter(this);
        edit->setContextMenuPolicy(Qt::NoContextMenu);
    }
}

int CSelectorComboBox::leadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return int(negative ? -value : value);
}

bool CSelectorComboBox::filterKey(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!enterGoesToPage)
            return false;
        emit pageNumberEntered(leadingNumber(currentText()));
        // The page is open now; letting the combo box match the text as
        // well would open it a second time.
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return false; // arrows, Home, End, Delete: not typed characters
    const QChar c = text.front();
    if ((c >= u'0' && c <= u'9') || c == u'\b' || event->key() == Qt::Key_Backspace)
        return false;
    if (c.unicode() == 19)
        return false; // Ctrl+S
    return true;
}

bool CSelectorComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress)
        return filterKey(static_cast<QKeyEvent*>(event));
    return QComboBox::eventFilter(watched, event);
}

void CSelectorComboBox::keyPressEvent(QKeyEvent* event)
{
    if (filterKey(event)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CSelectorComboBox::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    emit focusEntered();
}
