#pragma once
#include <QComboBox>

// The toolbar's combo boxes (page selector, alarm-text language selector)
// with their keyboard filter: typed characters pass only when they are
// digits or backspace, Ctrl+S passes so the save key keeps working, and
// everything else typed is swallowed. Enter reads the number the text
// starts with and reports it, for a typed page number.
class CSelectorComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CSelectorComboBox(QWidget* parent = nullptr);

    // Whether Enter reports a page number. The language selector shows
    // "LanguageN", which never starts with one: Enter there would only
    // report page 0 and log a page error for a key the user pressed to
    // confirm a language.
    void setEnterGoesToPage(bool on) { enterGoesToPage = on; }
    void setEditable(bool editable);

    // The number at the start of `text` as _wtoi reads it: blanks, an
    // optional sign, digits; 0 when there is none, clamped to int.
    static int leadingNumber(const QString& text);

signals:
    void pageNumberEntered(int page);
    void focusEntered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // True when the key is handled here and must go no further.
    bool filterKey(QKeyEvent* event);

    bool enterGoesToPage = true;
};
