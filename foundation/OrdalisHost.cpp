#include "OrdalisHost.h"

#include "controls/Ordalis.h"

#include <QWidget>

QWidget* OrdCtl::make(const QString& progId, const QString& name, QWidget* parent)
{
    QWidget* w = Ordalis::createControl(progId, parent);
    if (w) w->setObjectName(name);
    return w;
}

QVariant OrdCtl::get(const QString& member) const
{
    return w_ ? Ordalis::dispGet(w_, member) : QVariant();
}

bool OrdCtl::put(const QString& member, const QVariant& value) const
{
    return w_ && Ordalis::dispPut(w_, member, value);
}

QVariant OrdCtl::invoke(const QString& member, const QVariantList& args) const
{
    return w_ ? Ordalis::dispInvoke(w_, member, args) : QVariant();
}

bool OrdCtl::on(const QString& event, QObject* context,
                std::function<void(const QVariantList&)> handler) const
{
    return w_ && Ordalis::dispConnect(w_, event, context, std::move(handler));
}

bool OrdCtl::Visible() const
{
    // The visibility the window gave it, whether or not the window is on screen now.
    return w_ && !w_->isHidden();
}

void OrdCtl::setVisible(bool on) const
{
    if (w_) w_->setVisible(on);
}

TxtCtl TxtCtl::create(const QString& name, QWidget* parent, const QString& prompt, bool allowLoCase)
{
    TxtCtl t(make(QStringLiteral("Ordalis.Txt_"), name, parent));
    t.setPrompt(prompt);
    t.put(QStringLiteral("AllowLoCase"), allowLoCase);
    return t;
}

ChkCtl ChkCtl::create(const QString& name, QWidget* parent, const QString& caption, const QString& prompt)
{
    ChkCtl c(make(QStringLiteral("Ordalis.Chk_"), name, parent));
    c.put(QStringLiteral("Caption"), caption);
    if (!prompt.isEmpty()) c.setPrompt(prompt);
    return c;
}
