// Building the invoice list.
#include "F_ZipXML.h"

void F_ZipXML::Cmd_ListNew_Click() {}

void F_ZipXML::Cmd_ListNew_MouseUp(int, int, int, int) {}
