#pragma once
// config.json: one flat JSON object of option keys and their texts, keys in ascending byte order,
// one tab per indentation level, CR LF line ends, UTF-8 unescaped.

#include <string>

class OptionRegistry;

// Reads path into the registry (the process-wide one by default) and remembers path for SaveConfig.
// A missing file leaves the defaults; the first error ends the walk and keeps what was read before it.
void LoadConfig(const std::string& path, OptionRegistry* registry = nullptr);
// Writes every saved option to the remembered path, replacing the file atomically. False on failure.
bool SaveConfig(OptionRegistry* registry = nullptr);

// Takes the members of a config.json text into the registry, in key order; false at the first error,
// with the members before it taken.
bool ReadConfigText(const std::string& content, OptionRegistry& registry);
// The text SaveConfig writes.
std::string ConfigText(OptionRegistry& registry);
