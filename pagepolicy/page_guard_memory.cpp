// The web processes' memory limit, and a private run's session that keeps
// nothing on disk.

#include "page_guard.h"
#include "page_guard_internal.h"
#include "run_mode.h"

#include <cstring>

namespace {

GObject* (*g_contextConstructor)(GType, guint, GObjectConstructParam*) = nullptr;

// The limit and the store of website data are construct-only settings of the
// web context, and the views use the default context, which WebKit makes on
// first use without settings: the settings are put into that construction.
// A private run's store keeps cookies, caches, local storage and HSTS in
// memory only.
GObject* ConstructContextWithLimit(GType type, guint count, GObjectConstructParam* properties) {
    for (guint i = 0; i < count; ++i) {
        const char* name = properties[i].pspec->name;
        if (std::strcmp(name, "website-data-manager") == 0 && IsPrivateRun() &&
            g_value_get_object(properties[i].value) == nullptr)
            g_value_take_object(properties[i].value, webkit_website_data_manager_new_ephemeral());
        if (std::strcmp(name, "memory-pressure-settings") != 0 ||
            g_value_get_boxed(properties[i].value) != nullptr)
            continue;
        WebKitMemoryPressureSettings* settings = webkit_memory_pressure_settings_new();
        webkit_memory_pressure_settings_set_memory_limit(settings, WebProcessMemoryLimitMiB);
        webkit_memory_pressure_settings_set_strict_threshold(settings, 0.75);
        webkit_memory_pressure_settings_set_conservative_threshold(settings, 0.5);
        webkit_memory_pressure_settings_set_kill_threshold(settings, 1.0);
        webkit_memory_pressure_settings_set_poll_interval(settings, 2.0);
        g_value_take_boxed(properties[i].value, settings);
    }
    return g_contextConstructor(type, count, properties);
}

} // namespace

void LimitWebProcessMemory() {
    if (g_contextConstructor != nullptr)
        return;
    auto* contextClass = static_cast<GObjectClass*>(g_type_class_ref(WEBKIT_TYPE_WEB_CONTEXT));
    g_contextConstructor = contextClass->constructor;
    contextClass->constructor = ConstructContextWithLimit;
    // Every view's downloads come through the one default context.
    WatchDownloads(webkit_web_context_get_default());
}
