#include "options/Option.h"

#include "options/OptionRegistry.h"

Option::Option(std::string k, uint32_t f) : flags(f), key(std::move(k)) {}

Option::Option(const char* k, int def, uint32_t f, OptionRegistry* registry) : flags(f), key(k) {
    SetInt(def);
    Register(registry);
}

Option::Option(const char* k, const char* def, uint32_t f, OptionRegistry* registry) : flags(f), key(k) {
    SetText(def);
    Register(registry);
}

Option::Option(const char* k, int x, int y, uint32_t f, OptionRegistry* registry) : flags(f), key(k) {
    SetPair(x, y);
    Register(registry);
}

Option::Option(const char* k, float r, float g, float b, float a, uint32_t f, OptionRegistry* registry)
    : flags(f), key(k) {
    SetColor(r, g, b, a);
    Register(registry);
}

void Option::Register(OptionRegistry* registry) {
    Commit();
    defaultValue = value;
    (registry != nullptr ? *registry : OptionRegistry::Instance()).Register(this);
}

void Option::SetText(std::string_view text) {
    if (flags & kDeferred) {
        pending.assign(text);
        flags |= kPending;
    } else {
        value.assign(text);
    }
}

void Option::SetInt(int v) { SetText(options::IntText(v)); }
void Option::SetBool(bool v) { SetText(options::BoolText(v)); }
void Option::SetPair(int x, int y) { SetText(options::PairText(x, y)); }
void Option::SetColor(float r, float g, float b, float a) { SetText(options::ColorText(r, g, b, a)); }

void Option::Commit() {
    if ((flags & kDeferred) && (flags & kPending)) {
        value = pending;
        flags &= ~static_cast<uint32_t>(kPending);
    }
}
