// The main window's list view: filling, colouring, tooltips and column layout.
#include "app/ColumnLayout.h"
#include "app/Dorvane1.h"

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
    const ColumnLayout::Widths widths = ColumnLayout::forListWidth(listWidth);
    for (int c = 0; c < EventRows::ColumnCount; ++c)
        ListView1->setColumnWidth(c, std::max(0, widths[static_cast<std::size_t>(c)]));
}
