#pragma once

class QLineEdit;

// The windows' text fields turn light yellow while they have the focus, white again
// when they lose it.
void FocusColour_Install(QLineEdit* field);
