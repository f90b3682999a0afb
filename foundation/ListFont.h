#pragma once
#include <QFont>

// The fixed-pitch face of the program's lists ("Lucida Console" where installed, else the
// desktop's fixed font), so that the "|"-joined columns line up.
QFont listFont(double pointSize);
