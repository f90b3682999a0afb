// Reception and send dates of the archived files.
#include "F_XMLCompact.h"

void F_XMLCompact::Check_DatRicMDB() {}
void F_XMLCompact::Cmd_OldDat_Click() {}
void F_XMLCompact::Cmd_OldDat_MouseUp(int, int, int, int) {}
