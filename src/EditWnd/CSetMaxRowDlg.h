#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The rows-per-page dialog: one edit box taking digits only (at most six),
// accepted with OK when it holds 1 to 100000; closing the box or Esc
// cancels.
class CSetMaxRowDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int maxRows = 100000;

    // Puts `initialValue` into the edit box and the language texts on the
    // dialog.
    explicit CSetMaxRowDlg(int initialValue, QWidget* parent = nullptr);

    // The OK button: checks the box and closes with Accepted, or tells the
    // user the limits and stays open.
    void OnOK();

    int value = 0;
    QLineEdit* edit = nullptr;
    QLabel* label = nullptr;
    QPushButton* okButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
};
