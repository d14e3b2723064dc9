#include "MainWnd/CMainToolBar.h"

#include <QAction>

CMainToolBar::CMainToolBar(QWidget* parent) : QToolBar(parent)
{
    setIconSize(QSize(20, 20));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

QString CMainToolBar::toolTipFor(int, const QString& libraryTip, const QString& text)
{
    const qsizetype open = libraryTip.indexOf(u'(');
    const QString suffix = open > 0 ? libraryTip.mid(open) : QString();
    return text + suffix;
}

QString CMainToolBar::libraryToolTip(const QAction* action)
{
    const QKeySequence keys = action->shortcut();
    if (keys.isEmpty())
        return QString();
    return QStringLiteral(" (%1)").arg(keys.toString(QKeySequence::NativeText));
}
