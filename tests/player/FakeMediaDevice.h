#pragma once

#include "platform/MediaDevice.h"

#include <QString>
#include <map>
#include <string>
#include <vector>

/// Records every device command in one log and answers with the codes a test chose.
class FakeMediaFactory final : public MediaDeviceFactory
{
public:
    std::vector<std::string> log;
    std::map<std::string, int> answers; // command name -> error number
    std::uint32_t mode = static_cast<std::uint32_t>(MediaMode::Stopped);
    std::uint32_t length = 0;
    std::uint32_t position = 0;
    MediaNotifyHandler lastNotify;
    std::vector<QString> reported;

    [[nodiscard]] std::unique_ptr<MediaDevice> createDevice() override;
    [[nodiscard]] std::optional<QString> errorText(int code) const override
    {
        if (code == MediaError::FileNotFound)
            return QStringLiteral("Cannot find the specified file");
        return std::nullopt;
    }
    void reportError(const QString& message) override { reported.push_back(message); }

    int answer(const std::string& command)
    {
        log.push_back(command);
        const auto found = answers.find(command);
        return found == answers.end() ? 0 : found->second;
    }
};

class FakeMediaDevice final : public MediaDevice
{
public:
    explicit FakeMediaDevice(FakeMediaFactory& factory) : m_factory(factory) {}

    int open(const QString&) override { return m_factory.answer("open"); }
    int close() override { return m_factory.answer("close"); }
    int play(MediaNotifyHandler onNotify) override
    {
        m_factory.lastNotify = std::move(onNotify);
        return m_factory.answer("play");
    }
    int stop() override { return m_factory.answer("stop"); }
    int pause() override { return m_factory.answer("pause"); }
    int resume() override { return m_factory.answer("resume"); }
    int setTimeFormat(int format) override
    {
        return m_factory.answer("timeformat " + std::to_string(format));
    }
    int statusLength(std::uint32_t& value) override
    {
        value = m_factory.length;
        return m_factory.answer("length");
    }
    int statusPosition(std::uint32_t& value) override
    {
        value = m_factory.position;
        return m_factory.answer("position");
    }
    int statusMode(std::uint32_t& value) override
    {
        value = m_factory.mode;
        return m_factory.answer("mode");
    }
    std::uint16_t deviceId() const override { return 7; }

private:
    FakeMediaFactory& m_factory;
};

inline std::unique_ptr<MediaDevice> FakeMediaFactory::createDevice()
{
    return std::make_unique<FakeMediaDevice>(*this);
}
