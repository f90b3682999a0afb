// The refresh of one base folder and the runs over every base folder.
#include "F_XMLCompact.h"

void F_XMLCompact::Cmd_UpdFiles_Click() {}
void F_XMLCompact::Cmd_AllMDB_Click() {}
void F_XMLCompact::Cmd_AllFold_Click() {}
