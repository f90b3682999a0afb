#include "CodeGen.h"

#include "qor/Cl_QOR.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace Ordalis
{

namespace
{

const QString Q = QStringLiteral("\"");

// Collects the lines; every one is closed with CR LF.
class Lines
{
  public:
    Lines& operator<<(const QString& line)
    {
        text_ += line;
        text_ += QStringLiteral("\r\n");
        return *this;
    }
    QString text() const { return text_; }

  private:
    QString text_;
};

QString dashes(int n)
{
    return QStringLiteral("' ") + QString(n, QLatin1Char('-'));
}

QString L(const char* s)
{
    return QString::fromUtf8(s);
}

} // namespace

double fieldNumber(const QString& text)
{
    // Only the leading part counts: blanks, a sign, digits and one decimal mark.
    QString t = text.trimmed();
    QString num;
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) num += t[i++];
    bool mark = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            num += c;
        else if (!mark && (c == QLatin1Char(',') || c == QLatin1Char('.'))) {
            mark = true;
            num += QLatin1Char('.');
        } else
            break;
    }
    bool ok = false;
    const double v = num.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

QString plainNumber(double v)
{
    if (!std::isfinite(v)) return QStringLiteral("0");
    // The fewest digits that read back as the same number (12,7, not 12,699999999999999),
    // never with an exponent.
    QString t = QString::number(v, 'f', QLocale::FloatingPointShortest);
    if (t == QLatin1String("-0")) t = QStringLiteral("0");
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    return t;
}

bool NomeErrato(const QString& name, const QString& barePrefix)
{
    return name.toUpper() == barePrefix.toUpper();
}

QString GenTxtCode(const QString& name, const QString& table, const QString& field, const QString& maxChars,
                   int kind, bool isKey, bool zeros, bool ignoreToolbar, bool ignoreStatusBar)
{
    const QString tb = ignoreToolbar ? QStringLiteral("' ") : QString();
    const QString sb = ignoreStatusBar ? QStringLiteral("' ") : QString();
    const QString bare = name.mid(4);
    const QString desc = QStringLiteral("Lbl_Des") + bare;
    const QString utable = table.toUpper();
    const int us = table.indexOf(QLatin1Char('_'));
    const QString stable = (us >= 0 && us < table.size() - 1) ? table.mid(us + 1) : table;
    const bool star = table.startsWith(QLatin1Char('*'));
    const QString mark = star ? L("     '      <<--=  *") : QString();
    const QString prefixnote = star ? L("' ==--->   \" & Proc_Prefix & \"  ") + table.mid(1) + Q : QString();
    const QString zerosText = plainNumber(fieldNumber(maxChars));
    // An empty fill pads with blanks, which keeps the header line a comment.
    const QString pad = Qor().PadLeft(QStringLiteral("<<<<<<<<<<<<<<<<<<"), 40, QString());

    Lines o;
    o << dashes(50);
    o << QStringLiteral("' ") + name + pad;
    if (!prefixnote.isEmpty()) o << QStringLiteral("' ") + prefixnote;
    o << QStringLiteral("Private Sub ") + name + QStringLiteral("_Change()");
    o << L("  'If F_Load Then Exit Sub");
    o << QStringLiteral("  ") + tb + QStringLiteral("AccendiSave");
    o << L("End Sub");
    o << QString();
    o << dashes(30);
    o << QStringLiteral("Private Sub ") + name + QStringLiteral("_GotFocus()");
    o << QStringLiteral("  With ") + name;
    o << QStringLiteral("    ") + tb + QStringLiteral(".MskModified = ControllaSave");
    o << QStringLiteral("    ") + sb + QStringLiteral("St_Bar.Panels(1).Text = .Prompt   '  & ") + Q +
             QStringLiteral(" (") + Q + QStringLiteral(" & FP_Help & ") + Q + QStringLiteral("=Lista)") + Q;
    o << L("  End With");
    o << L("End Sub");
    o << QString();

    if (isKey) {
        o << dashes(30);
        o << QStringLiteral("Private Sub ") + name +
                 QStringLiteral("_KeyDown(KeyCode As Integer, Shift As Integer)");
        if (kind == 1) {
            o << QStringLiteral("  ' === Per Lbl_Codxxx : '  ") + name +
                     QStringLiteral("_KeyDown vbKeyF6, 0 ' ===   FK_Help  vbKeyF4");
            o << L("  Dim Rs_Tab As New Recordset");
            o << L("  Dim T_Cod As String");
            o << L("  ");
            o << L("  If KeyCode = vbKeyF6 Then   '  FK_Help");
            o << QStringLiteral("    T_Cod = mv_Help(") + Q + table + Q + QStringLiteral(", ") + name +
                     QStringLiteral(".Text, Cn_eAzi)") + mark;
            o << L("    If T_Cod = \"\" Then Exit Sub");
            o << L("    ");
            o << QStringLiteral("    ") + name + QStringLiteral(" = T_Cod");
            o << QStringLiteral("    ") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(T_Cod, Cn_eAZI)");
            o << L("    'With Rs_Tab");
            o << QStringLiteral("    '  .Open ") + Q + QStringLiteral("SELECT * FROM ") + table +
                     QStringLiteral(" WHERE ") + field + QStringLiteral("='") + Q +
                     QStringLiteral(" & T_Cod & ") + Q + QStringLiteral("'") + Q +
                     QStringLiteral(",Cn_eAzi, adOpenForwardOnly, adLockReadOnly") + mark;
            o << L("    '  If .BOF And .EOF Then");
            o << L("    '    .Close");
            o << L("    '    Exit Sub");
            o << L("    '  End If");
            o << L("    '  ' FillTab Rs_Tab      ' <<-----==");
            o << QStringLiteral("    '  ") + desc + QStringLiteral(" = .Fields(") + Q + field + Q +
                     QStringLiteral(").value");
            o << L("    '  .Close");
            o << L("    'End With");
            o << L("  ");
            o << L("  End If");
        } else if (kind == 2) {
            o << QStringLiteral("  ' === Per Lbl_Codxxx : '  ") + name +
                     QStringLiteral("_KeyDown FK_Help, 0 ' === vbKeyF4 vbKeyF6");
            o << L("  ' Dim Cn_Tmp As New Connection");
            o << L("  Dim Rs_Tab As New Recordset");
            o << L("  Dim T_Cod As String");
            o << L("  ");
            o << L("  If KeyCode = FK_Help Then   '   vbKeyF6  vbKeyF4");
            o << L("    'With Cn_Tmp");
            o << L("    '  .ConnectionString = Conn_Proc          '  In M_Proc : Restituisce la "
                   "stringa con DBFile ... ");
            o << L("    '  .Open");
            o << L("    'End With");
            o << L("    B_Help = True    '   =====  Per evitare Reazioni con xxx_LostFocus  =====");
            o << QStringLiteral("    T_Cod = Trim(") + name + QStringLiteral(".Text)");
            o << QStringLiteral("    T_Cod = Cn_Help(") + Q + stable + Q +
                     QStringLiteral(", T_Cod, Cn_MDB)") + mark;
            o << L("    B_Help = False");
            o << L("    If T_Cod = \"\" Then");
            o << L("    '  Cn_Tmp.Close");
            o << L("      Exit Sub");
            o << L("    End If");
            o << L("    ");
            o << QStringLiteral("    ") + name + QStringLiteral(" = T_Cod");
            o << QStringLiteral("    ' ") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(Cn_Tmp, T_Cod)");
            o << QStringLiteral("    ") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(T_Cod, Cn_MDB)");
            o << L("    'With Rs_Tab");
            o << QStringLiteral("    '  .Open ") + Q + QStringLiteral("SELECT * FROM ") + table +
                     QStringLiteral(" WHERE ") + field + QStringLiteral("='") + Q +
                     QStringLiteral(" & T_Cod & ") + Q + QStringLiteral("'") + Q +
                     QStringLiteral(",Cn_Tmp, adOpenStatic, adLockReadOnly") + mark;
            o << L("    '  If Not (.BOF And .EOF) Then");
            o << L("    '  '  Fill_Tab Rs_Tab      ' <<-----==");
            o << QStringLiteral("    '    ") + desc + QStringLiteral(" = .Fields(") + Q + field + Q +
                     QStringLiteral(") & ") + Q;
            o << L("    '  End If");
            o << L("    '  .Close");
            o << L("    'End With");
            o << L("    'Cn_Tmp.Close");
            o << L("  ");
            o << L("  End If");
        } else if (kind == 0) {
            o << QStringLiteral("  ' === Per Lbl_Codxxx : '  ") + name +
                     QStringLiteral("_KeyDown vbKeyF4, 0 ' ===   FK_Help  vbKeyF6");
            o << L("  ");
            o << L("  If KeyCode = vbKeyF4 Then   '  FK_Help ");
            o << QStringLiteral("    t_cod = Ternio_Help(") + Q + utable + Q + QStringLiteral(", ") + name +
                     QStringLiteral(".Text, hDlg)") + mark;
            o << QStringLiteral("    ") + desc + QStringLiteral(" = ") + Q + Q;
            o << L("    If T_Cod = \"\" Then");
            o << L("      Exit Sub");
            o << L("    End If");
            o << L("    ");
            o << QStringLiteral("    ") + name + QStringLiteral(" = T_Cod");
            o << QStringLiteral("    ") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(hDlg, Rec") + bare + QStringLiteral(", ") + name + QStringLiteral(")") +
                     mark;
            o << L("    ");
            o << QStringLiteral("    ") + name + QStringLiteral(".SetFocus");
            o << QStringLiteral("    ") + name + QStringLiteral("_GotFocus");
            o << L("  ");
            o << L("  End If");
        }
        o << L("End Sub");
        o << L("  ");
    }

    o << dashes(30);
    o << QStringLiteral("Private Sub ") + name + QStringLiteral("_LostFocus()");
    if (isKey) {
        o << L("  ' Dim Cn_Tmp As New Connection   '  Già messi sotto");
        o << L("  ' Dim Rs_Tab As New Recordset    '  Già messi sotto");
        o << L("  Dim T_Cod As String");
        o << L("  ");
        o << L("  'If B_Help Then Exit Sub");
        o << L("  'If F_Load Then Exit Sub");
        o << L("  ");
    }
    if (zeros) {
        o << L("  Dim B_Save As Boolean");
        o << QString();
    }
    if (isKey && kind == 1) o << L("  Dim Rs_Tab As New Recordset");
    o << QStringLiteral("  ") + tb + QStringLiteral("SetSave ") + name + QStringLiteral(".MskModified");
    o << QStringLiteral("  ") + sb + QStringLiteral("St_Bar.Panels(1).Text = ") + Q + Q;
    if (isKey) o << QStringLiteral("  T_Cod = Trim(") + name + QStringLiteral(")");
    if (zeros) {
        o << L("  If IsNumeric(T_Cod) Then");
        o << QStringLiteral("    T_Cod = MettiADes(T_Cod, ") + zerosText + QStringLiteral(", ") + Q +
                 QStringLiteral("0") + Q + QStringLiteral(")");
        o << QStringLiteral("    ") + tb + QStringLiteral("B_Save = ControllaSave");
        o << QStringLiteral("    ") + name + QStringLiteral(" = T_Cod");
        o << QStringLiteral("    ") + tb + QStringLiteral("SetSave B_Save");
        o << L("  End If");
    }
    if (isKey) {
        o << L("  ");
        o << QStringLiteral("  ") + desc + QStringLiteral(" = ") + Q + Q;
        o << L("  If T_Cod > \"\" Then");
        if (kind == 1) {
            o << QStringLiteral("    ") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(T_Cod, Cn_eAZI)");
            o << L("    'With Rs_Tab");
            o << QStringLiteral("    '  .Open ") + Q + QStringLiteral("SELECT * FROM ") + table +
                     QStringLiteral(" WHERE ") + field + QStringLiteral("='") + Q +
                     QStringLiteral(" & Trim(") + name + QStringLiteral(".Text) &") + Q +
                     QStringLiteral("'") + Q + QStringLiteral(",Cn_eAzi, adOpenForwardOnly, adLockReadOnly") +
                     mark;
            o << L("    '  If .BOF And .EOF Then");
            o << L("    '    .Close");
            o << L("    '    Exit Sub");
            o << L("    '  End If");
            o << QStringLiteral("    '  ") + desc + QStringLiteral(" = .Fields(") + Q + field + Q +
                     QStringLiteral(")");
            o << L("    '  .Close");
            o << QStringLiteral("    '  ") + tb + QStringLiteral("SpegniSave");
            o << L("    '  ");
            o << L("    'End With");
        } else if (kind == 2) {
            o << L("    'Dim Cn_Tmp As New Connection");
            o << L("  ");
            o << L("    'With Cn_Tmp");
            o << L("    '  .ConnectionString = Conn_Proc          '  In M_Proc : Restituisce la "
                   "stringa con DBFile ... ");
            o << L("    '  .Open");
            o << L("    'End With");
            o << QStringLiteral("    '") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(Cn_Tmp, T_Cod)");
            o << QStringLiteral("    ") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(T_Cod, Cn_MDB)");
            o << L("    'With Rs_Tab");
            o << QStringLiteral("    '  .Open ") + Q + QStringLiteral("SELECT * FROM ") + table +
                     QStringLiteral(" WHERE ") + field + QStringLiteral("='") + Q +
                     QStringLiteral(" & Trim(") + name + QStringLiteral(".Text) &") + Q +
                     QStringLiteral("'") + Q + QStringLiteral(",Cn_Tmp, adOpenStatic, adLockReadOnly") + mark;
            o << L("    '  If Not (.BOF And .EOF) Then");
            o << QStringLiteral("    '    ") + desc + QStringLiteral(" = .Fields(") + Q + field + Q +
                     QStringLiteral(")");
            o << L("    '  ' Fill_Tab Rs_Tab");
            o << L("    '  End If");
            o << L("    '  .Close");
            o << QStringLiteral("    '  ") + tb + QStringLiteral("SpegniSave");
            o << L("    '  ");
            o << L("    'End With");
            o << L("    'Cn_Tmp.Close");
        } else if (kind == 0) {
            o << QStringLiteral("    ") + desc + QStringLiteral(" = GetDes") + bare +
                     QStringLiteral("(hDlg, Rec") + bare + QStringLiteral(",") + name + QStringLiteral(")") +
                     mark;
        }
        o << L("  End If");
        o << L("  ");
    }
    o << L("End Sub");
    o << L("  ");
    return o.text();
}

namespace
{

// Lines 1 and 2 of the check and date handlers.
void chkHeader(Lines& o, const QString& name)
{
    o << QStringLiteral("' ") + name + QStringLiteral("  <<<<<<<<<<<<<<<<<<");
    o << dashes(65);
}

// The focus entry and exit handlers shared by the check and date controls.
void focusHandlers(Lines& o, const QString& name, const QString& tb, const QString& sb)
{
    o << QStringLiteral("Private Sub ") + name + QStringLiteral("_GotFocus()");
    o << QStringLiteral("  ") + tb + name + QStringLiteral(".MskModified = ControllaSave");
    o << QStringLiteral("  ") + sb + QStringLiteral("St_Bar.Panels(1).Text = ") + name +
             QStringLiteral(".Prompt");
    o << L("End Sub");
    o << QString();
    o << QStringLiteral("Private Sub ") + name + QStringLiteral("_LostFocus()");
    o << QStringLiteral("  ") + tb + QStringLiteral("SetSave ") + name + QStringLiteral(".MskModified");
    o << QStringLiteral("  ") + sb + QStringLiteral("St_Bar.Panels(1).Text = ") + Q + Q;
    o << L("End Sub");
    o << QString();
}

} // namespace

QString GenChkCode(const QString& name, const QString& caption, bool triState, bool ignoreToolbar,
                   bool ignoreStatusBar)
{
    const QString tb = ignoreToolbar ? QStringLiteral("' ") : QString();
    const QString sb = ignoreStatusBar ? QStringLiteral("' ") : QString();
    const QString var = QStringLiteral("V_") + Qor().TrChars(name, QStringLiteral("_"), QString());

    Lines o;
    chkHeader(o, name);
    o << QStringLiteral("Private Sub ") + name + QStringLiteral("_Click()");
    if (triState) {
        o << QStringLiteral("  '  Spostare in Testata Modulo  :  Dim ") + var + QStringLiteral(" AS Integer");
        o << QStringLiteral("  '  ") + QString(54, QLatin1Char('='));
    }
    o << L("  'If F_Load Then Exit Sub");
    o << QStringLiteral("  ") + tb + QStringLiteral("AccendiSave");
    if (triState) {
        o << QStringLiteral("  With ") + name;
        o << L("    Select Case .Value");
        o << L("    Case vbUnchecked");
        o << L("      .Value = vbChecked");
        o << L("      .Caption = \"Caption Checked\"");
        o << QStringLiteral("      ") + var + QStringLiteral(" = .Value");
        o << L("    Case vbChecked");
        o << L("      .Value = vbGrayed");
        o << L("      .Caption = \"Caption Grayed\"");
        o << QStringLiteral("      ") + var + QStringLiteral(" = .Value");
        o << L("    Case vbGrayed");
        o << L("      .Value = vbUnchecked");
        o << QStringLiteral("      .Caption = ") + Q + caption + Q + QStringLiteral("   ' ") + Q +
                 QStringLiteral("Caption UnChecked") + Q;
        o << QStringLiteral("      ") + var + QStringLiteral(" = .Value");
        o << L("      ");
        o << L("    End Select");
        o << QString();
        o << L("  End With");
    }
    o << L("End Sub");
    o << QString();
    focusHandlers(o, name, tb, sb);
    return o.text();
}

QString GenDatCode(const QString& name, bool ignoreToolbar, bool ignoreStatusBar)
{
    const QString tb = ignoreToolbar ? QStringLiteral("' ") : QString();
    const QString sb = ignoreStatusBar ? QStringLiteral("' ") : QString();

    Lines o;
    chkHeader(o, name);
    o << QStringLiteral("Private Sub ") + name + QStringLiteral("_Change()");
    o << L("  'If F_Load Then Exit Sub");
    o << QStringLiteral("  ") + tb + QStringLiteral("AccendiSave");
    o << L("End Sub");
    o << QString();
    focusHandlers(o, name, tb, sb);
    return o.text();
}

} // namespace Ordalis
