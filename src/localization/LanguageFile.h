#pragma once
// The language file format: UTF-8 lines "ID text". An id ends at the first byte of 32 or below; blanks
// before the text are skipped; in the text (after its first byte) bytes below 32 are dropped and "\\",
// "\n", "\r", "\t" are escapes. "//" starts a comment, a text in double quotes loses its quotes, and a
// later line of the same id wins.

#include <map>
#include <string>
#include <string_view>

struct LanguageEntry {
    std::string utf8;      // as read
    std::u16string utf16;  // for display; empty when longer than 4096 code units
};

using LanguageTable = std::map<std::string, LanguageEntry>;

// Fills table from the bytes of one file (a leading byte-order mark is skipped).
void ParseLanguageFile(std::string_view bytes, LanguageTable& table);
