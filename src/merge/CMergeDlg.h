#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// The merge dialog: a file of the series (its folder is the series'), an
// output folder, and OK to merge. The two paths come only from the choosers,
// so the edits are read-only. The dialog stays open after OK: on success the
// output edit shows the new file's path, ready for another merge.
class CMergeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CMergeDlg(QWidget* parent = nullptr);

    void OnSelectSourceFile();
    void OnSelectOutputFolder();
    // Runs the merge and shows how it ended; never closes the dialog.
    void OnOK();

    QString sourceFolder;
    QString chosenFile;
    QString outputFolder;
    QString outputPath;

    QLabel* folderLabel = nullptr;
    QLabel* outputLabel = nullptr;
    QLineEdit* fileEdit = nullptr;
    QLineEdit* outputEdit = nullptr;
    QPushButton* sourceButton = nullptr;
    QPushButton* outputButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

private:
    void OnInitDialog();
    // Members into the edits.
    void showPaths();
};
