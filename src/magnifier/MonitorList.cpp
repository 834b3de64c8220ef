#include "magnifier/MonitorList.h"

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "platform/Backend.h"
#include "text/WideText.h"

namespace {

std::vector<MonitorEntry>& Entries() {
    static std::vector<MonitorEntry> entries;
    return entries;
}

std::vector<MonitorEntry> FromXServer() {
    std::vector<MonitorEntry> out;
    platform::CallFailure failure;
    const std::vector<platform::MonitorInfo> monitors = platform::Backend().Monitors(&failure);
    if (failure) LogFailure(LogTag::kMagnifier, failure);
    for (const platform::MonitorInfo& m : monitors) {
        out.push_back({m.handle, m.bounds, text::ToWide(m.deviceName)});
    }
    return out;
}

MonitorList::Provider& CurrentProvider() {
    static MonitorList::Provider provider = FromXServer;
    return provider;
}

}  // namespace

void MonitorList::EnsureMonitorList() {
    std::vector<MonitorEntry>& entries = Entries();
    if (!entries.empty()) return;
    entries = CurrentProvider()();
    if (entries.empty()) {
        // Every interactive desktop has a display; without one the geometry still needs a non-empty
        // rectangle to divide by.
        LogFailureMessage(LogTag::kMagnifier, "No monitor found");
        entries.push_back({0, {0, 0, 1, 1}, u""});
    }
}

size_t MonitorList::Count() {
    EnsureMonitorList();
    return Entries().size();
}

const MonitorEntry& MonitorList::At(size_t index) {
    EnsureMonitorList();
    return Entries().at(index);
}

const MonitorEntry& MonitorList::First() { return At(0); }

const MonitorEntry* MonitorList::FindHandle(uint64_t handle) {
    EnsureMonitorList();
    for (const MonitorEntry& e : Entries()) {
        if (e.handle == handle) return &e;
    }
    return nullptr;
}

const MonitorEntry* MonitorList::FromRect(const platform::PixelRect& r) {
    EnsureMonitorList();
    const MonitorEntry* best = nullptr;
    long long bestArea = 0;
    for (const MonitorEntry& e : Entries()) {
        const long long w = std::min(r.right, e.bounds.right) - std::max(r.left, e.bounds.left);
        const long long h = std::min(r.bottom, e.bounds.bottom) - std::max(r.top, e.bounds.top);
        if (w <= 0 || h <= 0) continue;
        if (w * h > bestArea) {
            bestArea = w * h;
            best = &e;
        }
    }
    return best;
}

void MonitorList::SetProvider(Provider provider) {
    CurrentProvider() = std::move(provider);
    Entries().clear();
}
