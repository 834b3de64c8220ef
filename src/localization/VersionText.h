#pragma once
#include <string>

// Formats a version text taken from a language file with the build number. The text is never handed
// to printf: its first integer conversion (%d, %i, %u, %x, %X, %o with flags and width) takes the
// build number, "%%" gives "%", and everything else, other conversions included, stands as written.
// The result holds at most 4096 code units.
std::u16string FormatVersionText(const std::u16string& format, unsigned build);

// The program's version for the log and the Help page, from "CURRENT.VERSION" less its last five
// characters.
std::u16string AppVersionText();

constexpr unsigned kBuildNumber = 2047;
