#pragma once

#include <QString>

class CQuorvaneMain;

// Started by the hidden --demo-screenshots switch: makes a small project in a scratch folder
// through the program's own commands and dialogs, saves pictures of the window and of each
// dialog into shotDir, then leaves a ".ready" file there and waits until it is removed (so a
// script can take its own picture of the screen) before closing the window.
void StartDemoScreenshots(CQuorvaneMain& frame, const QString& shotDir);
