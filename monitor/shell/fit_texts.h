// Texts fitted to the widgets that show them: tables whose columns are as
// wide as their cells, each header with room around its text in the language
// in use and the last column taking the width left over; path fields that
// show a path from its start.
#pragma once

class QLineEdit;
class QString;
class QTableView;

// Sizes the columns to their contents and headers, then lets the last one
// stretch. Called after rows or header texts change.
void FitTableColumns(QTableView* pTable);

// Puts a path into a field, showing it from its start (its end follows as
// the field has room), the whole path in the field's tool tip.
void ShowPathText(QLineEdit* pEdit, const QString& sPath);
