#pragma once
#include "foundation/VbForm.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QPointer>
#include <QStringList>

class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

// Shared with the callers of the list window and with the recordset loader.
extern QString G_NomeLista; // name of the shown list: key of its layout and search text
extern QString G_RigaLista; // the chosen row ("" after Cancel)
extern QString G_ItemLista; // the chosen row's item value, "0" when none
extern bool B_Rs2List;      // true while the recordset loader fills and shows the window

// The rows of the list window as its list box keeps them: in the order added (never
// sorted), at most one selected row, a whole-number item value per row.
class ListaRows final : public QAbstractListModel
{
    Q_OBJECT
  public:
    explicit ListaRows(QObject* parent = nullptr);

    // Adds a row at the end; NewIndex() then answers its index.
    int AddItem(const QString& row, qint64 item = 0);
    int NewIndex() const { return newIndex_; }
    void Clear();
    int ListCount() const { return static_cast<int>(rows_.size()); }
    QString List(int index) const { return rows_.value(index); }
    qint64 ItemData(int index) const { return items_.value(index); }
    void RemoveItem(int index);
    void RemoveRange(int first, int count);
    // Removes the rows whose flag is set, in one change (the selection is dropped).
    void RemoveFlagged(const QList<bool>& drop);

    // The selected row (also the current one), -1 when none.
    int ListIndex() const;
    void setListIndex(int index);
    QItemSelectionModel* selection() { return &selection_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    QStringList rows_;
    QList<qint64> items_;
    int newIndex_ = -1;
    QItemSelectionModel selection_;
};

// The program's one list window: shows "|"-joined rows, finds and narrows them, cuts the
// rows before or after the selected one, changes the list font, saves the rows, writes
// them to a print file for the viewer and shows one row field by field.
class F_List final : public VbFormOf<F_List>
{
    Q_OBJECT
  public:
    F_List();

    // Load switch: when not empty, loading restores the layout saved under G_NomeLista.
    static QString aHelp_INI() { return s_aHelpIni; }
    static void setAHelp_INI(const QString& v) { s_aHelpIni = v; }
    // Prefix of the row to select at each activation.
    static QString aHelp_ROW() { return s_aHelpRow; }
    static void setAHelp_ROW(const QString& v) { s_aHelpRow = v; }

    QLabel* Lbl_Head = nullptr;
    ListaRows* Lst_Lista = nullptr;
    QListView* Lst_ListaView = nullptr; // object name "Lst_Lista"
    QFrame* Frm_But = nullptr;
    QLabel* Lbl_Qta = nullptr;
    QPushButton* Cmd_Big = nullptr;
    QPushButton* Cmd_Litt = nullptr;
    QLineEdit* Txt_Cerca = nullptr;
    QPushButton* Cmd_Cerca = nullptr;
    QPushButton* Cmd_Lascia = nullptr;
    QPushButton* Cmd_View = nullptr;
    QPushButton* Cmd_OK = nullptr;
    QPushButton* Cmd_Cancel = nullptr;
    QPushButton* Cmd_Before = nullptr;
    QPushButton* Cmd_After = nullptr;

    qint32 N_MinHeight() const { return s_minHeight; }
    qint32 N_MinWidth() const { return s_minWidth; }
    int FrameAllowance() const { return s_frame; }
    bool searchBoxFlag() const { return searchFlag_; }

    // --- handlers ---
    void ContaRighe();
    void Layout();
    void Cmd_Cerca_Click();
    void Cmd_Cerca_MouseUp(int button, int shift, int x, int y);
    void Cmd_Lascia_Click();
    void Cmd_After_Click();
    void Cmd_Before_Click();
    void Cmd_Big_Click();
    void Cmd_Litt_Click();
    void Cmd_Big_MouseMove();
    void Cmd_Litt_MouseMove();
    void Cmd_View_Click();
    void Cmd_View_MouseUp(int button, int shift, int x, int y);
    void Lbl_Qta_MouseUp(int button, int shift, int x, int y);
    void Lst_Lista_MouseUp(int button, int shift, int x, int y);
    void Lst_Lista_DblClick();
    void Cmd_OK_Click();
    void Cmd_Cancel_Click();
    void Txt_Cerca_GotFocus();
    void Txt_Cerca_LostFocus();

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyDown(int keyCode, int shift) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    double fontSize() const;
    void setListFontSize(double size);
    // Writes lines (CR LF each) to path; false (after the message) when it cannot.
    bool writeLines(const QString& path, const QStringList& lines, bool finalBreak = true);
    void startViewer(const QString& viewer, const QString& file);

    bool searchFlag_ = false;
    bool busy_ = false;
    const QEvent* lastKeyEvent_ = nullptr;
    int lastKey_ = 0;
    QPointer<QWidget> lastKeyTarget_;

    // Kept across unloads: the instance is created anew each time it is loaded.
    static inline QString s_aHelpIni = QStringLiteral("QOR_PLCR.INI");
    static inline QString s_aHelpRow;
    static inline qint32 s_minHeight = 0;
    static inline qint32 s_minWidth = 0;
    static inline int s_frame = 0;
};
