#pragma once

#include <QByteArray>
#include <chrono>

/// Whether the D-Bus daemon at a unix socket address ("unix:path=..." or "unix:abstract=...";
/// of a ';' list, the first that takes the connection) answers the start of a connection within
/// the limit. Qt and libdbus wait for that answer without a useful limit, on the GUI thread.
/// Addresses of other kinds are taken as answering.
[[nodiscard]] bool sessionBusAnswers(const QByteArray& address, std::chrono::milliseconds limit);

/// Before the application object exists: a session bus that does not answer within the limit
/// is replaced for this process by one that fails at once, so nothing waits for it (Qt's own
/// accessibility bridge and tray included); said once on the standard error stream.
void avoidSilentSessionBus(std::chrono::milliseconds limit);
