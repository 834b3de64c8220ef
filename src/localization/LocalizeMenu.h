#pragma once
class QMenu;

// Replaces the text of every item (submenus included) by the text of the string id it holds. The id is
// kept with the item, so the menu can be localized again after a language change.
void LocalizeMenu(QMenu* menu);
