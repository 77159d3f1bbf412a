#include "platform/gstreamer/GStreamerInit.h"

#include "base/AppError.h"

#include <gst/gst.h>

void ensureGStreamerInitialised()
{
    static const bool ready = [] {
        GError* error = nullptr;
        if (gst_init_check(nullptr, nullptr, &error))
            return true;
        std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        throw AppError("Cannot start the sound system: " + message);
    }();
    (void)ready;
}
