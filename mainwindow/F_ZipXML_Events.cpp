// List events, attachment extraction and the folder buttons.
#include "F_ZipXML.h"

#include "F_Mail.h"

#include "qor/Cl_QOR.h"

namespace
{
// The e-invoicing hub's portal.
const QString kAgyoPortal = QStringLiteral("https://portale.agyo.example");
} // namespace

void F_ZipXML::Lst_XML_Click() {}
void F_ZipXML::Lst_XML_DblClick() {}
void F_ZipXML::Lst_XML_MouseUp(int, int, int, int) {}
void F_ZipXML::Lbl_FodZIP_DblClick() {}

void F_ZipXML::Cmd_Agyo_Click()
{
    Qor().OpenURL(kAgyoPortal);
}

void F_ZipXML::Cmd_Big_Click() {}
void F_ZipXML::Cmd_CfgMail_Click()
{
    F_Mail::instance().ShowModal(this);
}
void F_ZipXML::Cmd_CfgMail_MouseUp(int, int, int, int) {}
void F_ZipXML::Cmd_DelDir_Click() {}
void F_ZipXML::Cmd_DelDir_MouseUp(int, int, int, int) {}
void F_ZipXML::Cmd_DirZIP_Click() {}
void F_ZipXML::Cmd_DirZIP_MouseUp(int, int, int, int) {}
