#pragma once

#include <string>

#include "player/player.h"

namespace tav {

void OnPlay(Player& player);
void OnRandomPlay(Player& player);
void OnStop(Player& player);
// Media keys and the desktop's controls pause the file at the heard position and resume it;
// the window's own buttons still play from the start and stop.
void OnPause(Player& player);
void OnResume(Player& player);
// Whether a play would find something without asking the user for a folder.
bool CanStartPlay(Player& player);
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
