#include "MainWnd/ToolbarIcons.h"

#include "uilib/CommandIds.h"

#include <QPainter>
#include <functional>
#include <QPainterPath>
#include <QPixmap>
#include <QStandardPaths>

namespace toolbaricons {
namespace {

const QColor ink(0x2e, 0x34, 0x36);
const QColor paper(0xfa, 0xfa, 0xfa);
const QColor blue(0x35, 0x84, 0xe4);
const QColor red(0xe0, 0x1b, 0x24);
const QColor green(0x2e, 0xc2, 0x7e);
const QColor grey(0x9a, 0x99, 0x96);

// Drawn at 4x of a 20-unit box, so the icon stays sharp on scaled screens.
QIcon drawn(const std::function<void(QPainter&)>& paint)
{
    QIcon result;
    for (int size : {20, 24, 40, 48, 80}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 20.0, size / 20.0);
        paint(painter);
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(ink, 0.9));
    p.setBrush(paper);
    p.drawRoundedRect(r, 1.2, 1.2);
}

void grid(QPainter& p)
{
    const QRectF r(2.5, 3.5, 15, 13);
    sheet(p, r);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRect(QRectF(3, 4, 14, 3));
    p.setPen(QPen(grey, 0.7));
    for (double y : {10.0, 13.0})
        p.drawLine(QPointF(3, y), QPointF(17, y));
    for (double x : {7.5, 12.5})
        p.drawLine(QPointF(x, 7), QPointF(x, 16));
}

void curves(QPainter& p, const QRectF& area)
{
    p.setPen(QPen(ink, 1.0));
    p.drawLine(area.bottomLeft(), area.topLeft());
    p.drawLine(area.bottomLeft(), area.bottomRight());
    const double w = area.width();
    const double h = area.height();
    auto at = [&](double x, double y) { return QPointF(area.left() + x * w, area.bottom() - y * h); };
    QPainterPath first(at(0.05, 0.2));
    first.cubicTo(at(0.3, 0.9), at(0.5, 0.1), at(0.95, 0.75));
    QPainterPath second(at(0.05, 0.55));
    second.cubicTo(at(0.35, 0.3), at(0.6, 0.8), at(0.95, 0.35));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(red, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(first);
    p.setPen(QPen(blue, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(second);
}

void sliders(QPainter& p, const QRectF& area)
{
    p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap));
    const double rows[] = {area.top() + 1, area.center().y(), area.bottom() - 1};
    const double knobs[] = {0.3, 0.7, 0.45};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(area.left(), rows[i]), QPointF(area.right(), rows[i]));
        p.setPen(QPen(ink, 0.8));
        p.setBrush(i == 1 ? red : blue);
        p.drawEllipse(QPointF(area.left() + knobs[i] * area.width(), rows[i]), 1.6, 1.6);
    }
}

void printer(QPainter& p)
{
    p.setPen(QPen(ink, 0.9));
    p.setBrush(paper);
    p.drawRect(QRectF(5.5, 2.5, 9, 6));
    p.setBrush(grey);
    p.drawRoundedRect(QRectF(2.5, 8, 15, 6.5), 1.5, 1.5);
    p.setBrush(paper);
    p.drawRect(QRectF(5.5, 12.5, 9, 5.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(red, 1.1, Qt::SolidLine, Qt::RoundCap));
    QPainterPath line(QPointF(6.5, 16.8));
    line.cubicTo(QPointF(8.5, 12.5), QPointF(10.5, 18), QPointF(13.5, 13.8));
    p.drawPath(line);
}

void rowsPerPage(QPainter& p)
{
    sheet(p, QRectF(2.5, 2.5, 11, 15));
    p.setPen(QPen(grey, 1.1, Qt::SolidLine, Qt::RoundCap));
    for (double y : {6.0, 9.0, 12.0, 15.0})
        p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
    p.setPen(QPen(blue, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(16.5, 4), QPointF(16.5, 16));
    p.drawPolyline(QPolygonF({QPointF(14.8, 6), QPointF(16.5, 4), QPointF(18.2, 6)}));
    p.drawPolyline(QPolygonF({QPointF(14.8, 14), QPointF(16.5, 16), QPointF(18.2, 14)}));
}

void merge(QPainter& p)
{
    sheet(p, QRectF(1.5, 1.5, 6, 7.5));
    sheet(p, QRectF(1.5, 11, 6, 7.5));
    sheet(p, QRectF(12, 5, 6.5, 10));
    p.setPen(QPen(green, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(8, 5.2), QPointF(9.5, 5.2), QPointF(9.5, 10), QPointF(11, 10)}));
    p.drawPolyline(QPolygonF({QPointF(8, 14.8), QPointF(9.5, 14.8), QPointF(9.5, 10)}));
    p.drawPolyline(QPolygonF({QPointF(10, 8.5), QPointF(11.4, 10), QPointF(10, 11.5)}));
}

// A glyph on a round badge, for the standard commands when the theme has
// no icon for them.
QIcon badge(const QString& glyph, const QColor& colour)
{
    return drawn([glyph, colour](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QRectF(2, 2, 16, 16));
        QFont font;
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 16, 16), Qt::AlignCenter, glyph);
    });
}

QIcon themed(const char* name, const QString& glyph, const QColor& colour)
{
    const QIcon fromTheme = QIcon::fromTheme(QString::fromLatin1(name));
    return fromTheme.isNull() ? badge(glyph, colour) : fromTheme;
}

} // namespace

void prepareIconTheme()
{
    // Platforms without a desktop theme (offscreen, a bare X server) search
    // only Qt's resources; the icon folders of the XDG data paths hold the
    // themes a desktop would use.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                   QStandardPaths::LocateDirectory)) {
        if (!paths.contains(folder))
            paths.append(folder);
    }
    QIcon::setThemeSearchPaths(paths);
    const QString name = QIcon::themeName();
    if (name.isEmpty() || name == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    if (QIcon::fallbackThemeName().isEmpty())
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QIcon icon(int command)
{
    switch (command) {
    case cmd::FileOpen:
        return themed("document-open", QStringLiteral("O"), blue);
    case cmd::ShowReport:
        return drawn(grid);
    case cmd::DrawCurves:
        return drawn([](QPainter& p) { curves(p, QRectF(2.5, 3, 15, 14)); });
    case cmd::CurveSettings:
        return drawn([](QPainter& p) {
            curves(p, QRectF(2, 2, 11, 9));
            sliders(p, QRectF(5, 12, 13, 6));
        });
    case cmd::AddRecord:
        return themed("list-add", QStringLiteral("+"), green);
    case cmd::DeleteRecord:
        return themed("list-remove", QStringLiteral("\u2212"), red);
    case cmd::FilePrint:
        return themed("document-print", QStringLiteral("P"), ink);
    case cmd::PrintCurves:
        return drawn(printer);
    case cmd::AppAbout:
        return themed("help-about", QStringLiteral("?"), blue);
    case cmd::FirstPage:
        return themed("go-first", QStringLiteral("\u00ab"), blue);
    case cmd::PreviousPage:
        return themed("go-previous", QStringLiteral("\u2039"), blue);
    case cmd::NextPage:
        return themed("go-next", QStringLiteral("\u203a"), blue);
    case cmd::LastPage:
        return themed("go-last", QStringLiteral("\u00bb"), blue);
    case cmd::RowsPerPage:
        return drawn(rowsPerPage);
    case cmd::MergeFiles:
        return drawn(merge);
    case cmd::LanguageLabelBefore:
        return themed("preferences-desktop-locale", QStringLiteral("A"), grey);
    default:
        return QIcon();
    }
}

QIcon applicationIcon()
{
    return drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawRoundedRect(QRectF(1, 1, 18, 18), 3.5, 3.5);
        p.setBrush(paper);
        p.drawRoundedRect(QRectF(3.5, 3.5, 13, 13), 1.5, 1.5);
        curves(p, QRectF(5, 5, 10, 9.5));
    });
}

} // namespace toolbaricons
