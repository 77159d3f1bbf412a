#pragma once

/// Initialises GStreamer on first use, so start-up does not pay for the plugin scan.
/// Safe to call from the GUI thread any number of times. Throws AppError when it cannot start.
void ensureGStreamerInitialised();
