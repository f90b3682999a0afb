#pragma once
#include <QFont>

// The fixed-pitch face of the program's lists ("Lucida Console" where installed, else a
// fixed-pitch stand-in), so that the "|"-joined columns line up.
QFont listFont(double pointSize);
