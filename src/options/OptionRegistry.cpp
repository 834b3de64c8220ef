#include "options/OptionRegistry.h"

#include <algorithm>

OptionRegistry& OptionRegistry::Instance() {
    static OptionRegistry registry;
    return registry;
}

void OptionRegistry::Register(Option* option) { entries_[option->key] = option; }

Option* OptionRegistry::Find(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : it->second;
}

Option& OptionRegistry::AddRunTime(const std::string& key, uint32_t flags) {
    owned_.push_back(std::unique_ptr<Option>(new Option(key, flags)));
    Option* o = owned_.back().get();
    entries_[key] = o;
    return *o;
}

Option& OptionRegistry::GetOrCreateOption(const std::string& key, bool transient) {
    if (Option* o = Find(key)) {
        // A member of that name read from the file must not make a never-saved option saved.
        if (transient && (o->flags & Option::kRunTime)) o->flags |= Option::kTransient;
        return *o;
    }
    return AddRunTime(key, Option::kRunTime | (transient ? Option::kTransient : 0u));
}

Option& OptionRegistry::CreateText(const std::string& key, const std::string& text) {
    Option& o = AddRunTime(key, Option::kRunTime);
    o.SetText(text);
    return o;
}

Option& OptionRegistry::CreateFloat(const std::string& key, float v) {
    Option& o = AddRunTime(key, Option::kRunTime);
    o.SetText(options::FloatText(v));
    return o;
}

Option& OptionRegistry::CreatePair(const std::string& key, int x, int y) {
    Option& o = AddRunTime(key, Option::kRunTime);
    o.SetPair(x, y);
    return o;
}

Option& OptionRegistry::CreateColor(const std::string& key, float r, float g, float b, float a) {
    Option& o = AddRunTime(key, Option::kRunTime);
    o.SetColor(r, g, b, a);
    return o;
}

void OptionRegistry::ResetToDefaults() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        Option* o = it->second;
        if (o == nullptr || (o->flags & Option::kRunTime)) {
            it = entries_.erase(it);
            continue;
        }
        o->value = o->defaultValue;
        o->pending.clear();
        o->flags &= ~static_cast<uint32_t>(Option::kPending);
        ++it;
    }
    owned_.clear();
    configPath.clear();
    configUnreadable = false;
}

Option& GetOrCreateOption(const std::string& key, bool transient) {
    return OptionRegistry::Instance().GetOrCreateOption(key, transient);
}
