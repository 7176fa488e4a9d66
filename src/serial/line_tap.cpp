#include "serial/line_tap.h"

#include <atomic>

namespace {
std::atomic<LineTap*> g_tap{nullptr};
} // namespace

void LineTap::Install(LineTap* tap) {
    g_tap.store(tap);
}

LineTap* LineTap::Current() {
    return g_tap.load();
}
