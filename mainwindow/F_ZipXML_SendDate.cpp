// Send-date assignment.
#include "F_ZipXML.h"

void F_ZipXML::Cmd_DoDateSend_Click() {}
void F_ZipXML::Lbl_Hed_MouseUp(int, int, int, int) {}
void F_ZipXML::Lbl_LastDo_MouseUp(int, int, int, int) {}
