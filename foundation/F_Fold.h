#pragma once
#include "VbForm.h"

class QComboBox;
class QListWidget;
class QPushButton;

// The folder chooser "Folders": a drive (one of the machine's mount roots), a
// folder of it and, with the file list opened, a file of that folder. The caller
// sets Tag to its key and shows it modally; ShowModal answers Accepted only after
// "OK", and only then are the settings and the properties changed.
class F_Fold final : public VbFormOf<F_Fold>
{
    Q_OBJECT
  public:
    F_Fold();

    QString Fd_Driv() const { return fdDriv_; }
    void setFd_Driv(const QString& T_Driv) { fdDriv_ = T_Driv; }
    QString Fd_Fold() const { return fdFold_; }
    void setFd_Fold(const QString& T_Fold) { fdFold_ = T_Fold; }
    QString Fd_File() const { return fdFile_; }
    void setFd_File(const QString& T_File) { fdFile_ = T_File; }

    // Shows the chooser for a caller key; true when the user confirmed a folder.
    static bool Choose(const QString& callerKey, VbForm* opener = nullptr);

    // The drive list entries: each mount root, with its volume label in brackets when it has one.
    static QStringList DriveEntries();
    // The drive part of an entry (before the label in brackets).
    static QString DrivePart(const QString& entry);

    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QPushButton* Cmd_OK = nullptr;
    QPushButton* Cmd_Quit = nullptr;
    QPushButton* Cmd_NewDir = nullptr;
    QPushButton* Cmd_View = nullptr;

    QString callerKey() const { return key_; }
    QString dirPath() const { return dirPath_; }
    // As the list controls do when their drive or path is set: the change handler runs when it changes.
    void setDrive(const QString& drive);
    void setDirPath(const QString& path);

    void Drive1_Change();
    void Dir1_Change();
    void Cmd_View_Click();
    void Cmd_NewDir_Click();
    void Cmd_OK_Click();
    void Cmd_Quit_Click();

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;

  private:
    void takeKey();
    void refreshDirs();
    void refreshFiles();

    QString fdDriv_, fdFold_, fdFile_;
    QString key_;
    QString startDir_;
    QString dirPath_;
    qint32 minHeight_ = 0;
    qint32 minWidth_ = 0;
};
