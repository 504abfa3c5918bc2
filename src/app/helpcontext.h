#pragma once

// The help topic of a window: windows name themselves by a number (their objectName), and
// groups of them share a topic.
constexpr int kMainWindowHelpContext = 131200;

int HelpContextForWindowID(int id);
