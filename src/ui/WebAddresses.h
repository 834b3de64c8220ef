#pragma once
// The maker's web addresses that the configuration window opens, in one place. The two of the sibling
// product Reticula and its store page carry the campaign keys utm_source=lorx and utm_medium=app, in
// that order.

#include <string>

namespace web {

inline constexpr const char* kReticulaSite = "https://reticula.lorx.app/?utm_source=lorx&utm_medium=app";
inline constexpr const char* kReticulaSiteRussian =
    "https://reticula.lorx.app/ru/?utm_source=lorx&utm_medium=app";
inline constexpr const char* kReticulaStore =
    "https://store.steampowered.com/search/?term=Reticula&utm_source=lorx&utm_medium=app";
// The users' community, offered by the first-start wizard.
inline constexpr const char* kCommunity = "https://discord.gg/lorx";

// The web site in the language of the window: the Russian pages for exactly "ru-RU".
inline std::string ReticulaSiteFor(const std::string& language) {
    return language == "ru-RU" ? kReticulaSiteRussian : kReticulaSite;
}

}  // namespace web
