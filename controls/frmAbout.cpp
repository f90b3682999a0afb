#include "frmAbout.h"

#include "OrdalisControl.h"

#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "platform/registry/Registry.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace Ordalis
{

namespace
{
frmAbout* g_form = nullptr;
std::function<void(frmAbout*)> g_hook;

constexpr int kMajor = 1;
constexpr int kMinor = 1;
constexpr int kRevision = 0;
} // namespace

QString frmAbout::libraryTitle()
{
    return QStringLiteral("Ordalis");
}

QString frmAbout::libraryVersion()
{
    return QStringLiteral("%1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision);
}

frmAbout* frmAbout::instance()
{
    if (!g_form) g_form = new frmAbout;
    return g_form;
}

bool frmAbout::isLoaded()
{
    return g_form != nullptr;
}

void frmAbout::setShowHook(std::function<void(frmAbout*)> hook)
{
    g_hook = std::move(hook);
}

void frmAbout::showModal()
{
    frmAbout* f = instance();
    if (g_hook) {
        g_hook(f);
        return;
    }
    f->exec();
}

frmAbout::frmAbout() : QDialog(QApplication::activeWindow())
{
    OrdalisControl::addLive(1);
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setWindowTitle(QStringLiteral("About MyApp"));
    picIcon = new QLabel(this);
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    lblTitle = new QLabel(QStringLiteral("Application Title"), this);
    QFont big = lblTitle->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblTitle->setFont(big);
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblDescription = new QLabel(QStringLiteral("Controlli di input: testo, data e casella di spunta"), this);
    lblDisclaimer = new QLabel(
        QStringLiteral("Warning: questo programma è protetto dalle leggi sul diritto d'autore."), this);
    lblDisclaimer->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addWidget(lblDescription);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(bottom);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    Form_Load();
}

frmAbout::~frmAbout()
{
    if (g_form == this) g_form = nullptr;
    OrdalisControl::addLive(-1);
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("Informazioni : ") + libraryTitle());
    lblTitle->setText(libraryTitle());
    lblVersion->setText(QStringLiteral("Version ") + libraryVersion());
}

void frmAbout::cmdOK_Click()
{
    // Unload: the next About makes a new box.
    if (g_form == this) g_form = nullptr;
    QDialog::done(QDialog::Accepted);
    deleteLater();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    const QString unavailable = QStringLiteral("System Information Is Unavailable At This Time");
    QString path;
    QString value;
    if (GetKeyValue(Registry::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), value)) {
        // Registered with its full path: started as it is.
        path = value;
    } else if (GetKeyValue(Registry::HKEY_LOCAL_MACHINE,
                           QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                           QStringLiteral("MSINFO"), value) &&
               Qor().FileExists(value + QStringLiteral("/MSINFO32.EXE"))) {
        path = value + QStringLiteral("/MSINFO32.EXE");
    } else {
        MsgBox(unavailable, vb::OKOnly, libraryTitle());
        return;
    }
    if (path.isEmpty() || !launcher().startDetached(path, {}))
        MsgBox(unavailable, vb::OKOnly, libraryTitle());
}

bool frmAbout::GetKeyValue(qint32 keyRoot, const QString& keyName, const QString& subKeyRef, QString& keyVal)
{
    const qint32 key = Registry::openKey(keyRoot, keyName);
    if (!key) {
        keyVal.clear();
        return false;
    }
    const std::optional<Registry::Value> v = Registry::queryValue(key, subKeyRef);
    if (!v) {
        keyVal.clear();
        Registry::closeKey(key);
        return false;
    }
    if (v->type == Registry::REG_SZ) {
        QString text = v->text;
        if (text.endsWith(QChar(0))) text.chop(1);
        keyVal = text;
    } else if (v->type == Registry::REG_DWORD) {
        keyVal = QString::number(v->dword);
    }
    Registry::closeKey(key);
    return true;
}

} // namespace Ordalis
