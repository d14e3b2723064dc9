#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// The about box: caption, product line, description and an OK button,
// all from the language texts.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* upperLabel = nullptr;
    QLabel* lowerLabel = nullptr;
    QPushButton* okButton = nullptr;
};
