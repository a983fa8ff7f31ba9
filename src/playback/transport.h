#pragma once

#include <string>

#include "player/player.h"

namespace tav {

void OnPlay(Player& player);
void OnRandomPlay(Player& player);
void OnStop(Player& player);
void OnPrevious(Player& player);
void OnNext(Player& player);
void OnListDoubleClick(Player& player);
void OnListSelChange(Player& player);
void SelectNextEntry(Player& player);
void SelectPreviousEntry(Player& player);
void EnsureCatalogue(Player& player);
// Lists the pieces under `folder` afresh; the random pool follows the new list.
void ListRootFolder(Player& player, const std::string& folder);
// Lets the user pick the root folder and lists it.
void ChooseFolder(Player& player);

}  // namespace tav
