#pragma once
#include "VbForm.h"

class QLabel;

// The about window. Any click on it closes it; the two links open their address first.
class F_CpRt final : public VbFormOf<F_CpRt>
{
    Q_OBJECT
  public:
    F_CpRt();

    static QString MakerWebAddress();
    static QString PartnerDefaultAddress();
    // The title's year text: the year, or "2019/" and the year after 2019.
    static QString YearText(int year);

    QLabel* Lbl_Web = nullptr;
    QLabel* Lbl_Parner = nullptr;
    QLabel* Lbl_IndirIP = nullptr;
    QLabel* Lbl_IP = nullptr;
    QLabel* Lbl_Cod = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;

    // The two public operations: both only close the window.
    void Chiudi() { Unload(); }
    void Esci() { Unload(); }

    void Form_Click() { Unload(); }
    void Lbl_Web_Click();
    void Lbl_Parner_Click();

  protected:
    void Form_Load() override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};
