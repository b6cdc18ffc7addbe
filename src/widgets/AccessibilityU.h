#pragma once

class QWidget;

// What Qt's own accessibility leaves unsaid on this desktop: a combo box is named by its label
// (Qt names it by its current text), and a plain top-level widget is announced as a window.
// Installed once, after the application object exists and before any window is queried.
void InstallAccessibleInterfaces();

// The edit of each editable combo box under root takes the combo box's name, so that typing
// into it is not announced as a nameless text.
void NameComboEdits(QWidget* root);
