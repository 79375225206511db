#pragma once
// Between the sources of the window layer only.

class QMenuBar;
class TMainMenu;

// Fills a form's menu bar from its main menu (nullptr clears it).
void BuildMenuBar(TMainMenu* Menu, QMenuBar* Bar);
