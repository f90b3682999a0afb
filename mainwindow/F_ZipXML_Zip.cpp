// ZIP creation.
#include "F_ZipXML.h"

void F_ZipXML::Cmd_ZipSel_Click() {}
void F_ZipXML::Cmd_ZipSel_MouseUp(int, int, int, int) {}
void F_ZipXML::ShellAndWait(const QString&, int, const QString&) {}
