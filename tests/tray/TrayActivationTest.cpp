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
        {QSystemTrayIcon::Trigger, P::XEmbed, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
        // No double click ever comes from a StatusNotifierItem host: the activation is one.
        {QSystemTrayIcon::Trigger,
         P::StatusNotifierItem,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}},
        {QSystemTrayIcon::DoubleClick, P::XEmbed, {WM_LBUTTONDBLCLK}},
        {QSystemTrayIcon::Context, P::XEmbed, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
        {QSystemTrayIcon::Context, P::StatusNotifierItem, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
        {QSystemTrayIcon::MiddleClick, P::StatusNotifierItem, {WM_MBUTTONDOWN, WM_MBUTTONUP}},
        {QSystemTrayIcon::Unknown, P::XEmbed, {}},
    };
    for (const auto& row : table)
        EXPECT_EQ(mouseMessagesFor(row.reason, row.protocol), row.expected)
            << row.reason << " " << static_cast<int>(row.protocol);
}
