#pragma once
// config.json: one flat JSON object of option keys and their texts, keys in ascending byte order,
// one tab per indentation level, CR LF line ends, UTF-8 unescaped.

#include <string>

class OptionRegistry;

// Reads path into the registry (the process-wide one by default) and remembers path for SaveConfig.
// A missing file leaves the defaults. A member that cannot be read is skipped (logged) and the others
// are taken; a file that does not parse, or is no regular file, gives nothing. Either way the file is
// kept aside at the next save. Temporary files of saves stopped half-way are removed first.
void LoadConfig(const std::string& path, OptionRegistry* registry = nullptr);
// Writes every saved option to the remembered path, replacing the file atomically (through a link, to
// the file it points to). An unreadable file is first kept as config.json.corrupt-<UTC time>, never
// over an earlier copy. False on failure.
bool SaveConfig(OptionRegistry* registry = nullptr);

// Takes the members of a config.json text into the registry, in key order; false when the text does not
// parse or a member could not be read (the others are taken).
bool ReadConfigText(const std::string& content, OptionRegistry& registry);
// The text SaveConfig writes.
std::string ConfigText(OptionRegistry& registry);
