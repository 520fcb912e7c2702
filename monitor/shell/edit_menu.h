// The standard context menu of the command window's and the button editor's
// text fields, with its entries titled in the monitor's language.
#pragma once

class QMenu;

// Retitles the entries of a standard text field menu (Undo, Redo, Cut, Copy,
// Paste, Delete, Select All); a menu of 8 entries or fewer is left alone.
void RetitleEditMenu(QMenu* pMenu);
