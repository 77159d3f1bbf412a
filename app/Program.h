#pragma once

/// Runs Dorvane: the single-instance check, the main window with the real desktop services,
/// and the message loop. Always returns 0.
int runDorvane(int argc, char** argv);
