// The main window's list view: filling, colouring, tooltips and column layout.
#include "app/ColumnLayout.h"
#include "app/Dorvane1.h"

#include <QStyle>
#include <QTreeView>

void TForm1::FillEventView()
{
    std::vector<EventRows::Row> rows;
    rows.reserve(EventList.size());
    for (const Events& event : EventList)
        rows.push_back(EventRows::rowFor(event));
    Rows->resetRows(std::move(rows));
}

QColor TForm1::ListView1CustomDrawItem(int row) const
{
    // Both tests run, in this order: with equal status words a matching row is red.
    QColor colour;
    const QString& status = Rows->cell(row, EventRows::ColStatus);
    if (status == Strings.StringActive)
        colour = QColor(0, 128, 0);
    if (status == Strings.StringDone)
        colour = QColor(255, 0, 0);
    return colour;
}

QString TForm1::ListView1InfoTip(int row) const
{
    QStringList lines;
    for (int c = 0; c < EventRows::ColumnCount; ++c)
        lines << Rows->headerText(c) + QStringLiteral(": ") +
                     Rows->cell(row, static_cast<EventRows::Column>(c));
    return lines.join(QLatin1Char('\r'));
}

void TForm1::FormCanResize(int listWidth)
{
    setColumnWidths(ColumnLayout::forListWidth(listWidth));
}

void TForm1::setColumnWidths(const ColumnLayout::Widths& widths)
{
    // The date and time columns were sized for a narrow 8-point face; in a wider one they still
    // show a whole "dd.MM.yyyy" and "HH:mm:ss". A negative width shows as an empty column.
    const QFontMetrics metrics(ListView1->font());
    const int margins = 2 * (ListView1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 2;
    const int minimum[] = {metrics.horizontalAdvance(QStringLiteral("00.00.0000")) + margins,
                           metrics.horizontalAdvance(QStringLiteral("00:00:00")) + margins, 0, 0,
                           0};
    for (int c = 0; c < EventRows::ColumnCount; ++c)
        ListView1->setColumnWidth(c,
                                  std::max({0, minimum[c], widths[static_cast<std::size_t>(c)]}));
}
