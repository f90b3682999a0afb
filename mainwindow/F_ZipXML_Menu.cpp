// Menus, the about box, the issued/received option and the reference fields.
#include "F_ZipXML.h"

#include "archive/M_Files.h"
#include "foundation/F_CpRt.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "qor/Cl_QOR.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPixmap>

namespace
{
const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");
const QString kPartnerName = QStringLiteral("Studio Partner");
const QString kPartnerWeb = QStringLiteral("https://www.partner.example");
} // namespace

void F_ZipXML::M_Agyo_Click()
{
    Cmd_Agyo_Click();
}

void F_ZipXML::MXML_FattPass_Click()
{
    const QString program = G_DirApp + QStringLiteral("XMLGESTALO");
    if (!Qor().FileExists(program)) return;
    if (!launcher().startDetached(program, {}))
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\n") + program, vb::OKOnly | vb::Critical,
               Caption());
}

void F_ZipXML::M_Close_Click()
{
    Unload();
    EndProcess(0);
}

void F_ZipXML::M_News_Click()
{
    const QString readme = G_DirApp + QStringLiteral("U_Readme.txt");
    if (!launcher().startDetached(G_PgmVisualizzatore, {readme}))
        MsgBox(QStringLiteral("Impossibile avviare il visualizzatore :\r\n") + G_PgmVisualizzatore,
               vb::OKOnly | vb::Critical, Caption());
}

void F_ZipXML::M_Info_Click()
{
    Form_Resize();
    QCoreApplication::processEvents();

    // The window's icon travels to the about box through a temporary file.
    const QString icoPath = G_DirApp + QStringLiteral("qq.ico");
    const bool iconSaved = windowIcon().pixmap(32, 32).save(icoPath, "ICO");
    if (!iconSaved)
        MsgBox(QStringLiteral("Impossibile scrivere il file temporaneo :\r\n") + icoPath,
               vb::OKOnly | vb::Exclamation, Caption());

    F_CpRt& about = F_CpRt::instance();
    if (iconSaved) {
        const QPixmap pm(icoPath);
        about.Image1->setPixmap(pm);
        about.setWindowIcon(QIcon(pm));
    }
    about.Tag = kIni;
    about.Lbl_Parner->setText(kPartnerName);
    about.Lbl_Parner->setToolTip(kPartnerWeb);
    about.Lbl_Cod->setText(QStringLiteral("Piccola e Madia Impresa"));
    auto* shown = static_cast<F_CpRt*>(Qor().DecorateForm(&about));
    shown->ShowModal(this);
    QFile::remove(icoPath);
}

void F_ZipXML::Opt_AttPas_Click(int index)
{
    const QString key = QString::number(MDB_FolderKey(Cmb_FoldXML->currentText()));
    Qor().IniWriteInt(kSec, QStringLiteral("AttPass_") + key, index, kIni);
    Qor().IniWriteLng(kSec, QStringLiteral("AttPass_") + key, index, kIni);
}

void F_ZipXML::Txt_GotFocus(const TxtCtl& field)
{
    setStatus(field.Prompt());
}

void F_ZipXML::Txt_DirZIP_LostFocus()
{
    setStatus(QString());
}

void F_ZipXML::Txt_Find_LostFocus()
{
    setStatus(QString());
}

QString F_ZipXML::CleanRif(const QString& text)
{
    const QString drop = QStringLiteral(" |/\\!.,;:'^") + QChar(0x00B0) + QLatin1Char('"');
    return Qor().TrChars(text.trimmed(), drop, QString()).trimmed();
}

void F_ZipXML::Txt_Rif_LostFocus()
{
    setStatus(QString());
    const QString key = QString::number(MDB_FolderKey(Cmb_FoldXML->currentText()));
    const QString clean = CleanRif(Txt_Rif.Text());
    if (clean.isEmpty()) return; // the folder keeps the reference it had
    if (clean != Txt_Rif.Text()) {
        Txt_Rif.setText(clean);
        QCoreApplication::processEvents();
    }
    Qor().IniWrite(kSec, QStringLiteral("Rif_") + key, clean, kIni);
    Qor().IniWriteVar(kSec, QStringLiteral("Rif_") + key, clean, kIni);
}
