#include "run_mode.h"

#include <atomic>

#include <stdlib.h>

namespace {
std::atomic<bool> g_privateRun{false};
} // namespace

void SetPrivateRun(bool privateRun) {
    g_privateRun.store(privateRun);
    // The OpenGL driver keeps the shaders it compiles on disk, in the user's
    // cache folder: not in a private run, for this process and the web
    // processes it starts. A user's own setting stays.
    if (privateRun)
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
}

bool IsPrivateRun() {
    return g_privateRun.load();
}
