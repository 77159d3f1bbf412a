#include "tray/TrayActivation.h"

#include <gtest/gtest.h>

TEST(TrayActivation, EachReasonBecomesTheMouseMessagesOfThatAction)
{
    using enum MouseMessage;
    using P = TrayProtocol;
    const struct
    {
        QSystemTrayIcon::ActivationReason reason;
        TrayProtocol protocol;
        QList<MouseMessage> expected;
    } table[] = {
        {QSystemTrayIcon::Trigger, P::XEmbed, {LeftPressed, LeftReleased}},
        // No double click ever comes from a StatusNotifierItem host: the activation is one.
        {QSystemTrayIcon::Trigger,
         P::StatusNotifierItem,
         {LeftPressed, LeftReleased, LeftDoubleClicked}},
        {QSystemTrayIcon::DoubleClick, P::XEmbed, {LeftDoubleClicked}},
        {QSystemTrayIcon::Context, P::XEmbed, {RightPressed, RightReleased}},
        {QSystemTrayIcon::Context, P::StatusNotifierItem, {RightPressed, RightReleased}},
        {QSystemTrayIcon::MiddleClick, P::StatusNotifierItem, {MiddlePressed, MiddleReleased}},
        {QSystemTrayIcon::Unknown, P::XEmbed, {}},
    };
    for (const auto& row : table)
        EXPECT_EQ(mouseMessagesFor(row.reason, row.protocol), row.expected)
            << row.reason << " " << static_cast<int>(row.protocol);
}
