#include "base/Logging.h"

Q_LOGGING_CATEGORY(lcAlarm, "dorvane.alarm")
Q_LOGGING_CATEGORY(lcFiles, "dorvane.files")
Q_LOGGING_CATEGORY(lcMedia, "dorvane.media")
Q_LOGGING_CATEGORY(lcDesktop, "dorvane.desktop")
