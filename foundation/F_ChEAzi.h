#pragma once
#include "VbForm.h"

class QFrame;
class QListWidget;
class QPushButton;

// "Cambio Azienda Gestalo.": the ERP's companies with their databases and versions;
// a confirmed double click switches the current company and unloads the window.
class F_ChEAzi final : public VbFormOf<F_ChEAzi>
{
    Q_OBJECT
  public:
    F_ChEAzi();

    QListWidget* Lst_Azi = nullptr;
    QFrame* Frm_Bottom = nullptr;
    QPushButton* Cmd_UpgAzi = nullptr;
    QPushButton* Cmd_ActAzi = nullptr;

    // Fills the list; each row keeps its full company code as item data.
    void Sub_FindAzi();
    void Cmd_UpgAzi_Click() { Sub_FindAzi(); }
    void Cmd_ActAzi_Click() { Lst_Azi_DblClick(); }
    void Lst_Azi_DblClick();
    void Lst_Azi_MouseUp(int button);

  protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

  private:
    int baseBottomMargin_ = 0;
};
