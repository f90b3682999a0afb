#pragma once
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

class QObject;
class QWidget;

// The windows' side of the input controls: each control is made by its ProgID and
// reached only by member name, as a late-bound host reaches it. These handles
// only give the members the windows use a typed spelling.
class OrdCtl
{
  public:
    OrdCtl() = default;
    explicit OrdCtl(QWidget* w) : w_(w) {}

    // A control of the library named like the window's member; nullptr-safe handles otherwise.
    static QWidget* make(const QString& progId, const QString& name, QWidget* parent);

    QWidget* widget() const { return w_; }
    explicit operator bool() const { return w_ != nullptr; }

    QVariant get(const QString& member) const;
    bool put(const QString& member, const QVariant& value) const;
    QVariant invoke(const QString& member, const QVariantList& args = {}) const;
    // Runs handler when the control raises the event (see Ordalis::dispConnect).
    bool on(const QString& event, QObject* context, std::function<void(const QVariantList&)> handler) const;

    QString Prompt() const { return get(QStringLiteral("Prompt")).toString(); }
    void setPrompt(const QString& t) const { put(QStringLiteral("Prompt"), t); }
    bool Enabled() const { return get(QStringLiteral("Enabled")).toBool(); }
    void setEnabled(bool on) const { put(QStringLiteral("Enabled"), on); }
    bool Visible() const;
    void setVisible(bool on) const;
    QString ToolTipText() const { return get(QStringLiteral("ToolTipText")).toString(); }
    void setToolTipText(const QString& t) const { put(QStringLiteral("ToolTipText"), t); }
    void SetFocus() const { invoke(QStringLiteral("SetFocus")); }

  protected:
    QWidget* w_ = nullptr;
};

// Text field "Ordalis.Txt_".
class TxtCtl : public OrdCtl
{
  public:
    using OrdCtl::OrdCtl;
    static TxtCtl create(const QString& name, QWidget* parent, const QString& prompt, bool allowLoCase);
    QString Text() const { return get(QStringLiteral("Text")).toString(); }
    void setText(const QString& t) const { put(QStringLiteral("Text"), t); }
    bool MskModified() const { return get(QStringLiteral("MskModified")).toBool(); }
    void setMskModified(bool on) const { put(QStringLiteral("MskModified"), on); }
    QString PasswordChar() const { return get(QStringLiteral("PasswordChar")).toString(); }
    void setPasswordChar(const QString& c) const { put(QStringLiteral("PasswordChar"), c); }
};

// Check box "Ordalis.Chk_": Value 0 clear, 1 ticked, 2 greyed; only 1 counts as ticked.
class ChkCtl : public OrdCtl
{
  public:
    using OrdCtl::OrdCtl;
    static ChkCtl create(const QString& name, QWidget* parent, const QString& caption,
                         const QString& prompt = {});
    int Value() const { return get(QStringLiteral("Value")).toInt(); }
    void setValue(int v) const { put(QStringLiteral("Value"), v); }
    bool ticked() const { return Value() == 1; }
    QString Caption() const { return get(QStringLiteral("Caption")).toString(); }
};
