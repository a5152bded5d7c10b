#pragma once
// Balloon help: fixed English tips on fourteen controls of the main window (and on one button of the
// options dialog), all in the one shared tooltip object.

namespace Tollerwick_Tooltip {

void Set_BalloonTip_Main();
void Del_BalloonTip_Main();
void Set_BalloonTip_Options();
void Del_BalloonTip_Options();

}  // namespace Tollerwick_Tooltip
