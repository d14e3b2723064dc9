#pragma once
#include <QToolBar>

// The main toolbar. Its tooltips are the language text of the command
// followed by the shortcut part of the standard tooltip, "Open(Ctrl+O)".
class CMainToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit CMainToolBar(QWidget* parent = nullptr);

    // The tooltip of `command` from the standard tooltip `libraryTip`:
    // `text` (empty for commands outside the command text table) followed
    // by the part of libraryTip from its first '(' on. A libraryTip that
    // has no '(' or starts with one gives no suffix.
    static QString toolTipFor(int command, const QString& libraryTip, const QString& text);
    // The standard tooltip: " (shortcut)" for a command with a shortcut.
    static QString libraryToolTip(const QAction* action);
};
