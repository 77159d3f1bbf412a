#pragma once

/// Runs Dorvane: the single-instance check, the main window with the real desktop services,
/// and the message loop. Returns 0, or 1 when there is no graphical session to show windows in.
int runDorvane(int argc, char** argv);
