#include "MainWnd/CAboutDlg.h"

#include "MainWnd/CVantrelApp.h"
#include "MainWnd/ToolbarIcons.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    const auto text = [](int key) { return langText(langkeys::AboutDlg, key); };

    setWindowTitle(text(1));
    auto* icon = new QLabel(this);
    icon->setPixmap(toolbaricons::applicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    upperLabel = new QLabel(text(3), this);
    QFont bold = upperLabel->font();
    bold.setBold(true);
    upperLabel->setFont(bold);
    const QString version = QCoreApplication::applicationVersion();
    lowerLabel = new QLabel(text(4), this);
    lowerLabel->setWordWrap(true);
    auto* versionLabel = new QLabel(version.isEmpty() ? QString() : QStringLiteral("Version %1").arg(version), this);
    versionLabel->setVisible(!version.isEmpty());

    auto* buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton(text(2), QDialogButtonBox::AcceptRole);
    okButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(upperLabel);
    texts->addWidget(versionLabel);
    texts->addWidget(lowerLabel);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}
