// Duplicate removal: the linked folders' copies of archived invoices.
#include "F_XMLCompact.h"

void F_XMLCompact::Cmd_Compact_Click() {}
