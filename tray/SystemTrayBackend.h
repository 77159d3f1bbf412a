#pragma once

#include "tray/TrayActivation.h"
#include "tray/TrayBackend.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

/// The notification area through QSystemTrayIcon: an XEmbed panel icon on X11 without a
/// StatusNotifierItem host, a D-Bus StatusNotifierItem otherwise.
class SystemTrayBackend final : public QObject, public TrayBackend
{
    Q_OBJECT
public:
    explicit SystemTrayBackend(QObject* parent = nullptr);
    ~SystemTrayBackend() override;

    [[nodiscard]] bool isAvailable() const override;
    [[nodiscard]] bool showIcon() override;
    [[nodiscard]] bool hideIcon() override;
    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& text) override;
    [[nodiscard]] QIcon applicationIcon() const override;
    [[nodiscard]] QPoint cursorPos() const override;
    [[nodiscard]] Qt::KeyboardModifiers keyboardModifiers() const override;
    void setHandlers(TrayActivationHandler onActivation,
                     std::function<void()> onSessionEnd) override;

    /// The protocol Qt picks for an icon created now.
    [[nodiscard]] static TrayProtocol detectProtocol();

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void dropIcon();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    TrayProtocol m_protocol = TrayProtocol::XEmbed;
    QIcon m_image;
    QString m_toolTip;
    TrayActivationHandler m_onActivation;
    std::function<void()> m_onSessionEnd;
};
