#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cmath>
#include <cstdio>

/// A 440 Hz tone as 22.05 kHz mono 16-bit PCM WAV data.
inline QByteArray toneWave(int milliseconds)
{
    constexpr quint32 rate = 22050;
    const auto samples = static_cast<quint32>(static_cast<qint64>(rate) * milliseconds / 1000);
    QByteArray wav;
    auto put = [&wav](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wav.append(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    wav.append("RIFF");
    put(36 + 2 * samples, 4);
    wav.append("WAVEfmt ");
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(rate, 4);
    put(rate * 2, 4);
    put(2, 2);
    put(16, 2);
    wav.append("data");
    put(2 * samples, 4);
    for (quint32 i = 0; i < samples; ++i)
        put(static_cast<quint16>(static_cast<qint16>(6000 * std::sin(2 * M_PI * 440 * i / rate))),
            2);
    return wav;
}

/// Writes content to a file named as the file system spells it, in any encoding (QFile takes
/// names as text); false when it cannot.
inline bool writeFileBytes(const QByteArray& path, const QByteArray& content)
{
    std::FILE* file = std::fopen(path.constData(), "wb");
    if (!file)
        return false;
    const bool written =
        std::fwrite(content.constData(), 1, static_cast<std::size_t>(content.size()), file) ==
        static_cast<std::size_t>(content.size());
    return std::fclose(file) == 0 && written;
}

/// Writes toneWave(milliseconds) to path; false when it cannot.
inline bool writeToneWave(const QString& path, int milliseconds)
{
    return writeFileBytes(QFile::encodeName(path), toneWave(milliseconds));
}
