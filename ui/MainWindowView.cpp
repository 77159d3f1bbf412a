// The main window's list view: colouring, tooltips and column layout.
#include "ui/ColumnLayout.h"
#include "ui/MainWindow.h"

#include <QStyle>
#include <QTreeView>

QColor MainWindow::rowColour(int row) const
{
    // Both tests run, in this order: with equal status words a matching row is red.
    QColor colour;
    const QString& status = m_model->cell(row, EventTableModel::StatusColumn);
    if (status == m_strings.active)
        colour = QColor(0, 128, 0);
    if (status == m_strings.done)
        colour = QColor(255, 0, 0);
    return colour;
}

QString MainWindow::rowTip(int row) const
{
    QStringList lines;
    for (int c = 0; c < EventTableModel::ColumnCount; ++c)
        lines << m_model->headerText(c) + QStringLiteral(": ") +
                     m_model->cell(row, static_cast<EventTableModel::Column>(c));
    return lines.join(QLatin1Char('\r'));
}

void MainWindow::layoutColumns(int listWidth)
{
    setColumnWidths(ColumnLayout::forListWidth(listWidth));
}

void MainWindow::setColumnWidths(const ColumnLayout::Widths& widths)
{
    // The date and time columns were sized for a narrow 8-point face; in a wider one they still
    // show a whole "dd.MM.yyyy" and "HH:mm:ss". A negative width shows as an empty column.
    const QFontMetrics metrics(m_listView->font());
    const int margins =
        2 * (m_listView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 2;
    const int status = std::max(metrics.horizontalAdvance(m_strings.active),
                                metrics.horizontalAdvance(m_strings.done));
    const int minimum[] = {metrics.horizontalAdvance(QStringLiteral("00.00.0000")) + margins,
                           metrics.horizontalAdvance(QStringLiteral("00:00:00")) + margins, 0, 0,
                           status + margins};
    // What the other columns grow by, the description gives up, as it does for the scroll bar:
    // a wider face or a longer status word must not push the list into scrolling sideways.
    ColumnLayout::Widths fitted = widths;
    int grown = 0;
    for (int c = 0; c < EventTableModel::ColumnCount; ++c) {
        auto& width = fitted[static_cast<std::size_t>(c)];
        if (c != EventTableModel::MessageColumn && minimum[c] > width) {
            grown += minimum[c] - std::max(0, width);
            width = minimum[c];
        }
    }
    auto& description = fitted[EventTableModel::MessageColumn];
    description = std::max(0, description - grown);
    for (int c = 0; c < EventTableModel::ColumnCount; ++c)
        m_listView->setColumnWidth(c, std::max(0, fitted[static_cast<std::size_t>(c)]));
}
