#include "merge/CMergeDlg.h"

#include "MainWnd/CVantrelApp.h"
#include "merge/MergeFiles.h"
#include "uilib/FileDialogSeam.h"
#include "uilib/MessageSeam.h"
#include "uilib/ProgressRunner.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString text(int key)
{
    return langText(langkeys::MergeDlg, key);
}

QLineEdit* makePathEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    // Read-only rather than disabled: a long path can still be scrolled
    // and copied, but only the choosers set it.
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setMinimumWidth(360);
    return edit;
}

} // namespace

CMergeDlg::CMergeDlg(QWidget* parent) : QDialog(parent)
{
    folderLabel = new QLabel(this);
    outputLabel = new QLabel(this);
    fileEdit = makePathEdit(this);
    fileEdit->setObjectName(QStringLiteral("chosenFile"));
    outputEdit = makePathEdit(this);
    outputEdit->setObjectName(QStringLiteral("outputPath"));
    sourceButton = new QPushButton(this);
    outputButton = new QPushButton(this);
    okButton = new QPushButton(this);
    okButton->setDefault(true);
    cancelButton = new QPushButton(this);
    connect(sourceButton, &QPushButton::clicked, this, &CMergeDlg::OnSelectSourceFile);
    connect(outputButton, &QPushButton::clicked, this, &CMergeDlg::OnSelectOutputFolder);
    connect(okButton, &QPushButton::clicked, this, &CMergeDlg::OnOK);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(folderLabel, 0, 0);
    fields->addWidget(fileEdit, 0, 1);
    fields->addWidget(sourceButton, 0, 2);
    fields->addWidget(outputLabel, 1, 0);
    fields->addWidget(outputEdit, 1, 1);
    fields->addWidget(outputButton, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    OnInitDialog();
}

void CMergeDlg::OnInitDialog()
{
    setWindowTitle(text(1));
    folderLabel->setText(text(2));
    outputLabel->setText(text(3));
    sourceButton->setText(text(4));
    outputButton->setText(text(4));
    okButton->setText(text(5));
    cancelButton->setText(text(6));
}

void CMergeDlg::showPaths()
{
    fileEdit->setText(chosenFile);
    outputEdit->setText(outputPath);
}

void CMergeDlg::OnSelectSourceFile()
{
    const QString path = uilib::getOpenFileName(this, QString(), sourceFolder,
                                                QStringLiteral("DB data File (*.db)"));
    if (path.isEmpty())
        return;
    chosenFile = path;
    const QString folder = sourceFolderOf(path);
    if (!folder.isEmpty())
        sourceFolder = folder;
    showPaths();
}

void CMergeDlg::OnSelectOutputFolder()
{
    const QString folder = uilib::getExistingDirectory(this, QString(), outputFolder);
    if (folder.isEmpty())
        return;
    outputFolder = folder;
    outputPath = folder;
    showPaths();
}

void CMergeDlg::OnOK()
{
    MergePaths paths{sourceFolder, chosenFile, outputFolder, outputPath};
    ProgressRunner progress(this, text(1), text(6));
    const MergeOutcome outcome =
        runMerge(paths, [&progress](int done, int total) { return progress.report(done, total); });
    if (outcome.cancelled)
        return; // the merge removed the file it had begun
    if (outcome.messageKey != 0) {
        if (outcome.succeeded()) {
            outputPath = outcome.outputPath;
            showPaths();
        }
        uilib::showMessage(this, text(outcome.messageKey));
        return;
    }
    // The access layer's words, and the file they are about: with a
    // series of many files "file is not a database" alone names none.
    QString message = outcome.text;
    if (!outcome.failedPath.isEmpty())
        message += QStringLiteral("\n\n") + outcome.failedPath;
    uilib::showMessage(this, message);
}
