#pragma once

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

}  // namespace tav
