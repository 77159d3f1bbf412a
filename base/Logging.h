#pragma once

#include <QLoggingCategory>

// Diagnostics nobody has to answer; what the user must know is shown in a box instead.
// Switch them on or off with QT_LOGGING_RULES, e.g. "dorvane.media.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcAlarm)   // "dorvane.alarm": ticks, alarms, passed events
Q_DECLARE_LOGGING_CATEGORY(lcFiles)   // "dorvane.files": events, settings, autostart entry
Q_DECLARE_LOGGING_CATEGORY(lcMedia)   // "dorvane.media": sounds and the player
Q_DECLARE_LOGGING_CATEGORY(lcDesktop) // "dorvane.desktop": instance, tray, signals
