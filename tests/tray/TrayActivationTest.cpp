#include "tray/TrayActivation.h"

#include <gtest/gtest.h>

TEST(TrayActivation, OnlyAStatusNotifierItemsTriggerAlsoCountsAsADoubleClick)
{
    using enum QSystemTrayIcon::ActivationReason;
    using P = TrayProtocol;
    const struct
    {
        QSystemTrayIcon::ActivationReason reason;
        TrayProtocol protocol;
        QList<QSystemTrayIcon::ActivationReason> expected;
    } table[] = {
        {Trigger, P::XEmbed, {Trigger}},
        // No double click ever comes from a StatusNotifierItem host: the activation is one.
        {Trigger, P::StatusNotifierItem, {Trigger, DoubleClick}},
        {DoubleClick, P::XEmbed, {DoubleClick}},
        {Context, P::XEmbed, {Context}},
        {Context, P::StatusNotifierItem, {Context}},
        {MiddleClick, P::StatusNotifierItem, {MiddleClick}},
    };
    for (const auto& row : table)
        EXPECT_EQ(activationsFor(row.reason, row.protocol), row.expected)
            << row.reason << " " << static_cast<int>(row.protocol);
}
