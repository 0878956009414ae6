#include "run_mode.h"

#include <atomic>

namespace {
std::atomic<bool> g_privateRun{false};
} // namespace

void SetPrivateRun(bool privateRun) {
    g_privateRun.store(privateRun);
}

bool IsPrivateRun() {
    return g_privateRun.load();
}
