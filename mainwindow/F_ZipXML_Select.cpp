// Search, selection and list tools, adding and opening folders, the XML viewer.
#include "F_ZipXML.h"

void F_ZipXML::Cmd_Find_Click() {}
void F_ZipXML::Cmd_Find_MouseUp(int, int, int, int) {}
void F_ZipXML::Cmd_SelAll_Click() {}
void F_ZipXML::Cmd_SelAll_MouseUp(int, int, int, int) {}
void F_ZipXML::Cmd_SelInv_Click() {}
void F_ZipXML::Cmd_SelInv_MouseUp(int, int, int, int) {}
void F_ZipXML::Cmd_Litt_Click() {}
void F_ZipXML::Cmd_NewDir_Click() {}
void F_ZipXML::Cmd_NewDir_MouseUp(int, int, int, int) {}
void F_ZipXML::Cmd_OpenXml_Click() {}
void F_ZipXML::Cmd_Temp_Click()
{
    Cmd_DelDir_MouseUp(2, 0, 0, 0);
}
void F_ZipXML::Cmd_ViewXML_Click() {}
void F_ZipXML::Cmd_ViewXML_MouseUp(int, int, int, int) {}
