#pragma once
#include "foundation/VbForm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Stampe su Disco": finds a print-to-disk file by folder and extension, prints it
// again through the line printer, shows it in the viewer program and chooses that
// program. Everything it shows comes from and goes back to [Stampe su Disco] of
// "QOR_PLCR.INI".
class F_DbP final : public VbFormOf<F_DbP>
{
    Q_OBJECT
  public:
    F_DbP();

    QLabel* Label1 = nullptr;
    QComboBox* Cmb_Ext = nullptr;
    QPushButton* Cmd_Fil = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Cmd_Edit = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Txt_Dir = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Txt_FIL = nullptr;
    QLineEdit* Txt_Ext = nullptr;
    QPushButton* Cmd_RePrint = nullptr;
    QPushButton* Cmd_View = nullptr;

    QString viewer() const { return viewer_; }

    void Cmd_Fil_Click();
    void Cmd_RePrint_Click();
    void Cmd_View_Click();
    void Cmd_Edit_Click();
    void Cmd_View_MouseUp(int button, int shift, int x, int y);

    // The folder a file dialog opens in for a folder text: the nearest existing folder,
    // or the current folder for a text that is no absolute path ("C:\").
    static QString dialogFolder(const QString& text);

  protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyDown(int keyCode, int shift) override;

  private:
    // The viewer dialog; "" when cancelled or refused.
    QString chooseViewer(const QString& folder);
    void setViewerTip(QPushButton* b) const;

    QString viewer_;
    qint32 defHeight_ = 0;
    qint32 defWidth_ = 0;
};
