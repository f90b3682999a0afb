#pragma once
#include "VbForm.h"

class QFrame;
class QLabel;

// The start-up window shown while the program connects to its archives.
class F_Splash final : public VbFormOf<F_Splash>
{
    Q_OBJECT
  public:
    F_Splash();

    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblWarning = nullptr;
    QLabel* lblCredit1 = nullptr;
    QLabel* lblCredit2 = nullptr;
    QLabel* imgLogo = nullptr;
    QFrame* Frame1 = nullptr;

  protected:
    void Form_Load() override;
};

// The program's small logo, drawn (no image files travel with the program).
class QPixmap;
QPixmap App_Logo(int size);
