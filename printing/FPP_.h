#pragma once
#include "foundation/VbForm.h"

#include <QString>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

// The destination a printing routine asks for: the proposed file name going in; coming
// back, empty when the user abandoned, "printer" for the printer, otherwise the file name.
extern QString G_DestStampa;

// "Stampa": a printing routine's user chooses the current printer or a file, confirms or
// abandons, may view the file, open the printer set-up or the print-to-disk files, and
// ticks whether the file is to be viewed when printing ends. The choice and the tick are
// kept in [Stampa] of "QOR_PLCR.INI" whichever way the window closes.
//
// A caller sets G_DestStampa to the proposed file name, shows the window modally and
// reads G_DestStampa when it returns.
class FPP_ final : public VbFormOf<FPP_>
{
    Q_OBJECT
  public:
    FPP_();

    QFrame* Frm_Bottom = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* Opt_PRT[2] = {nullptr, nullptr};
    QLineEdit* Txt_PRT = nullptr;
    QLineEdit* Txt_FIL = nullptr;
    QPushButton* Cmd_PRT = nullptr;
    QPushButton* Cmd_View = nullptr;
    QCheckBox* Chk_View = nullptr;
    QPushButton* Chk_Quit = nullptr;
    QStatusBar* St_Status = nullptr;
    QLabel* Pan_Msg = nullptr;
    QLabel* Pan_Num = nullptr;
    QLabel* Pan_Caps = nullptr;
    QLabel* Pan_Ins = nullptr;
    QLabel* Pan_Time = nullptr;
    QLabel* Pan_Date = nullptr;

    // The file name taken from G_DestStampa when the window loaded.
    QString fileName() const { return fileName_; }

    // Longest file name that can be typed (a longer proposed one is kept whole).
    static constexpr int MaxTyped = 35;

    // The save-state members a window hosting the input controls offers; this one has
    // nothing to save.
    void AccendiSave();
    void SpegniSave();
    void SetSave(bool on);

    void Opt_PRT_Click(int index);
    void Cmd_PRT_Click();
    void Chk_Quit_Click();
    void Cmd_View_Click();
    void Cmd_View_MouseUp(int button, int shift, int x, int y);
    void Txt_PRT_DblClick();
    // The key typed in Txt_FIL: a-z become A-Z, everything else passes.
    static int Txt_FIL_KeyPress(int keyAscii);

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyDown(int keyCode, int shift) override;

  private:
    bool ControllaSave();

    QString fileName_;
};
