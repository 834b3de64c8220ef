#pragma once
// All options of the process by key, in byte order of the keys. Catalogue records are static and only
// listed here; records created while running belong to the registry. Used on the UI thread only.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "options/Option.h"

class OptionRegistry {
public:
    // The process-wide registry, created by the first registration.
    static OptionRegistry& Instance();

    OptionRegistry() = default;
    OptionRegistry(const OptionRegistry&) = delete;
    OptionRegistry& operator=(const OptionRegistry&) = delete;

    void Register(Option* option);
    // The entry of a key; looking up an unknown key leaves an entry without record, as a map lookup does.
    Option*& Entry(const std::string& key) { return entries_[key]; }
    // The record of a key, or nullptr; adds nothing.
    Option* Find(const std::string& key) const;
    // The record of a key; a missing one is created empty (run time, plus transient when asked).
    Option& GetOrCreateOption(const std::string& key, bool transient);
    // A run-time record of the given kind, replacing what the key held.
    Option& CreateText(const std::string& key, const std::string& text);
    Option& CreateFloat(const std::string& key, float v);
    Option& CreatePair(const std::string& key, int x, int y);
    Option& CreateColor(const std::string& key, float r, float g, float b, float a);

    const std::map<std::string, Option*>& entries() const { return entries_; }

    // Every record back to what its registration set, run-time records removed.
    void ResetToDefaults();

    // Where config.json is read from and written to; set by LoadConfig.
    std::string configPath;
    // The last load met an unreadable file: it is kept aside before the next save replaces it.
    bool configUnreadable = false;

private:
    Option& AddRunTime(const std::string& key, uint32_t flags);

    std::map<std::string, Option*> entries_;
    std::vector<std::unique_ptr<Option>> owned_;
};

// Shorthand for the process-wide registry's GetOrCreateOption.
Option& GetOrCreateOption(const std::string& key, bool transient);
