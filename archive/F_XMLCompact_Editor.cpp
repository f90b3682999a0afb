// The code-table record editor.
#include "F_XMLCompact.h"

void F_XMLCompact::Fnd_Tab(const QString&) {}
void F_XMLCompact::AccendiSave() {}
void F_XMLCompact::SpegniSave() {}
bool F_XMLCompact::ControllaSave() const
{
    return false;
}
void F_XMLCompact::SetSave(bool) {}
void F_XMLCompact::PulisciMaschera() {}
void F_XMLCompact::SalvaSeModificato() {}
void F_XMLCompact::NuovoRecord() {}
void F_XMLCompact::RecPrec() {}
void F_XMLCompact::RecSucc() {}
void F_XMLCompact::MostraRecord(ado::Recordset*) {}
void F_XMLCompact::CercaCodice(const QString&) {}
void F_XMLCompact::EliminaRecord() {}
void F_XMLCompact::RipristinaRecord() {}
void F_XMLCompact::Toolbar2_ButtonClick(QAction*) {}
void F_XMLCompact::Txt_Cod_Change() {}
void F_XMLCompact::Txt_Des_Change() {}
void F_XMLCompact::Txt_Cod_GotFocus() {}
void F_XMLCompact::Txt_Des_GotFocus() {}
void F_XMLCompact::Txt_Cod_LostFocus() {}
void F_XMLCompact::Txt_Des_LostFocus() {}
void F_XMLCompact::Txt_Cod_KeyDown(int, int) {}
void F_XMLCompact::M_New_Click() {}
void F_XMLCompact::M_SaveNew_Click() {}
void F_XMLCompact::M_Save_Click() {}
void F_XMLCompact::M_Del_Click() {}
void F_XMLCompact::M_Ripr_Click() {}
void F_XMLCompact::M_Elim_Click() {}
void F_XMLCompact::M_RecPrec_Click() {}
void F_XMLCompact::M_RecSucc_Click() {}
void F_XMLCompact::M_Prt_Click() {}
