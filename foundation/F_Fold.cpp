#include "F_Fold.h"

#include "M_MV.h"
#include "PosFinestre.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace
{
const QString kIni = QStringLiteral("QOR_PLCR.INI");
constexpr int kNarrowPx = 4900 / 15;
constexpr int kWidePx = 9800 / 15;
} // namespace

F_Fold::F_Fold()
{
    setObjectName(QStringLiteral("F_Fold"));
    setWindowTitle(QStringLiteral("Folders"));
    setWindowFlags(Qt::Dialog);

    auto* outer = new QVBoxLayout(this);
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->addItems(DriveEntries());
    outer->addWidget(Drive1);

    auto* lists = new QHBoxLayout;
    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setVisible(false);
    lists->addWidget(Dir1, 1);
    lists->addWidget(File1, 1);
    outer->addLayout(lists, 1);

    auto* buttons = new QHBoxLayout;
    Cmd_OK = new QPushButton(QStringLiteral("OK"), this);
    Cmd_OK->setObjectName(QStringLiteral("Cmd_OK"));
    Cmd_Quit = new QPushButton(QStringLiteral("Abbandona"), this);
    Cmd_Quit->setObjectName(QStringLiteral("Cmd_Quit"));
    Cmd_NewDir = new QPushButton(QStringLiteral("Nuova Cartella"), this);
    Cmd_NewDir->setObjectName(QStringLiteral("Cmd_NewDir"));
    Cmd_View = new QPushButton(QStringLiteral("-->"), this);
    Cmd_View->setObjectName(QStringLiteral("Cmd_View"));
    buttons->addWidget(Cmd_OK);
    buttons->addWidget(Cmd_Quit);
    buttons->addWidget(Cmd_NewDir);
    buttons->addStretch(1);
    buttons->addWidget(Cmd_View);
    outer->addLayout(buttons);
    resize(kNarrowPx, 4200 / 15);

    connect(Drive1, &QComboBox::activated, this,
            [this] { Guard(QStringLiteral("Drive1_Change"), [this] { Drive1_Change(); }); });
    connect(Dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
        const QString path = it->data(Qt::UserRole).toString();
        Guard(QStringLiteral("Dir1_Change"), [this, path] { setDirPath(path); });
    });
    connect(Cmd_OK, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_OK_Click"), [this] { Cmd_OK_Click(); }); });
    connect(Cmd_Quit, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_Quit_Click"), [this] { Cmd_Quit_Click(); }); });
    connect(Cmd_NewDir, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_NewDir_Click"), [this] { Cmd_NewDir_Click(); }); });
    connect(Cmd_View, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_View_Click"), [this] { Cmd_View_Click(); }); });
}

bool F_Fold::Choose(const QString& callerKey, VbForm* opener)
{
    F_Fold& f = instance();
    f.Tag = callerKey;
    return f.ShowModal(opener) == Accepted;
}

QStringList F_Fold::DriveEntries()
{
    QStringList roots;
    QMap<QString, QString> labels;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady()) continue;
        const QString root = s.rootPath();
        if (roots.contains(root)) continue;
        roots << root;
        labels.insert(root, s.name());
    }
    if (!roots.contains(QStringLiteral("/"))) roots << QStringLiteral("/");
    std::sort(roots.begin(), roots.end());
    QStringList out;
    for (const QString& r : std::as_const(roots)) {
        const QString label = labels.value(r);
        out << (label.isEmpty() ? r : r + QStringLiteral(" [") + label + QLatin1Char(']'));
    }
    return out;
}

QString F_Fold::DrivePart(const QString& entry)
{
    const qsizetype at = entry.indexOf(QStringLiteral(" ["));
    return (at >= 0 ? entry.left(at) : entry).trimmed();
}

void F_Fold::takeKey()
{
    key_ = Tag.isEmpty() ? QStringLiteral("CL_FOLD") : Tag;
}

void F_Fold::Form_Load()
{
    takeKey();
    startDir_ = QDir::currentPath();
    Cmd_View->setToolTip(QStringLiteral("Click per vedere i Files"));
    PosFinestre_Load(this, minHeight_, minWidth_);
}

void F_Fold::Form_Activate()
{
    takeKey();
    setDrive(Qor().IniRead(QStringLiteral("Fold_Drive"), key_, QStringLiteral("/"), kIni));
    setDirPath(Qor().IniRead(QStringLiteral("Fold_Folders"), key_, QStringLiteral("/"), kIni));
    QCoreApplication::processEvents();
}

void F_Fold::setDrive(const QString& drive)
{
    const QString want = DrivePart(drive);
    int index = -1;
    for (int i = 0; i < Drive1->count(); ++i)
        if (DrivePart(Drive1->itemText(i)) == want) index = i;
    if (index < 0) {
        // A drive that is no longer mounted: the mount root that holds the path.
        const QString root = QStorageInfo(want.isEmpty() ? QStringLiteral("/") : want).rootPath();
        for (int i = 0; i < Drive1->count(); ++i)
            if (DrivePart(Drive1->itemText(i)) == root) index = i;
    }
    if (index < 0) index = 0;
    if (index != Drive1->currentIndex() || dirPath_.isEmpty()) {
        Drive1->setCurrentIndex(index);
        Drive1_Change();
    }
}

void F_Fold::setDirPath(const QString& path)
{
    // A stored folder that is not a path of this machine (an old drive-letter entry) starts at the root.
    QString p = QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QStringLiteral("/");
    // A folder that has gone: its nearest existing parent.
    while (!QFileInfo(p).isDir() && p != QStringLiteral("/") && !p.isEmpty())
        p = QFileInfo(p).absolutePath();
    if (!QFileInfo(p).isDir()) p = QStringLiteral("/");
    if (p == dirPath_) {
        refreshDirs();
        return;
    }
    dirPath_ = p;
    refreshDirs();
    Dir1_Change();
}

void F_Fold::Drive1_Change()
{
    const QString drive = DrivePart(Drive1->currentText());
    Qor().WriteLog(QStringLiteral("Cambio Drive : ") + drive, 0, QString(), true);
    if (!QFileInfo(drive).isReadable()) {
        MsgBox(QStringLiteral("Unità non leggibile : ") + drive, vb::OKOnly | vb::Critical, windowTitle());
        return;
    }
    QDir::setCurrent(drive);
    setDirPath(drive);
}

void F_Fold::Dir1_Change()
{
    Beep();
    QDir::setCurrent(dirPath_);
    refreshFiles();
}

void F_Fold::refreshDirs()
{
    Dir1->clear();
    // As a folder list shows it: the chain of parents, the open folder, then its sub-folders.
    QStringList chain;
    for (QString p = dirPath_; !p.isEmpty();) {
        chain.prepend(p);
        if (p == QStringLiteral("/")) break;
        p = QFileInfo(p).absolutePath();
    }
    int depth = 0;
    for (const QString& p : std::as_const(chain)) {
        const QString name = p == QStringLiteral("/") ? p : QFileInfo(p).fileName();
        auto* it = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, Dir1);
        it->setData(Qt::UserRole, p);
        ++depth;
    }
    Dir1->setCurrentRow(Dir1->count() - 1);
    const QStringList subs =
        QDir(dirPath_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& s : subs) {
        auto* it = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + s, Dir1);
        it->setData(Qt::UserRole, QDir(dirPath_).filePath(s));
    }
}

void F_Fold::refreshFiles()
{
    File1->clear();
    File1->addItems(QDir(dirPath_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void F_Fold::Cmd_View_Click()
{
    if (Cmd_View->text() == QStringLiteral("-->")) {
        File1->setVisible(true);
        resize(kWidePx, height());
        Cmd_View->setText(QStringLiteral("<--"));
        Cmd_View->setToolTip(QStringLiteral("Click per nascondere i Files"));
    } else {
        File1->setVisible(false);
        resize(kNarrowPx, height());
        Cmd_View->setText(QStringLiteral("-->"));
        Cmd_View->setToolTip(QStringLiteral("Click per vedere i Files"));
    }
}

void F_Fold::Cmd_NewDir_Click()
{
    const QString answer = dialogs().inputBox(QStringLiteral("Nuova Sottocartella :"), dirPath_, QString());
    if (answer.isEmpty()) {
        Beep();
        return;
    }
    const QString path = QDir(dirPath_).filePath(answer);
    if (QFileInfo::exists(path)) {
        MsgBox(QStringLiteral("Cartella o file già esistente !"), vb::OKOnly | vb::Critical, windowTitle());
        Beep();
        refreshDirs();
        return;
    }
    if (!QDir().mkdir(path)) {
        MsgBox(QStringLiteral("Impossibile creare la cartella :\r\n") + path, vb::OKOnly | vb::Critical,
               windowTitle());
        Beep();
    }
    refreshDirs();
}

void F_Fold::Cmd_OK_Click()
{
    const QListWidgetItem* file = File1->currentItem();
    const QString fileName = file ? file->text() : QString();
    fdDriv_ = Drive1->currentText();
    fdFold_ = dirPath_;
    fdFile_ = Qor().PathSlash(dirPath_) + fileName;
    // Linux paths are case-sensitive and may hold blanks: the mount root is stored as it is.
    Qor().IniWrite(QStringLiteral("Fold_Drive"), key_, DrivePart(fdDriv_), kIni);
    Qor().IniWrite(QStringLiteral("Fold_Folders"), key_, fdFold_, kIni);
    Qor().IniWrite(QStringLiteral("Fold_File"), key_, fdFile_, kIni);
    setModalResult(Accepted);
    Unload();
}

void F_Fold::Cmd_Quit_Click()
{
    setModalResult(Cancelled);
    Unload();
}

void F_Fold::Form_Unload(int&)
{
    if (!startDir_.isEmpty()) QDir::setCurrent(startDir_);
    PosFinestre_Save(this);
}
