#include "PropertyBag.h"

namespace Ordalis
{

int PropertyBag::find(const QString& name) const
{
    for (int i = 0; i < entries_.size(); ++i)
        if (entries_[i].first.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const int i = find(name);
    return i < 0 ? defaultValue : entries_[i].second;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const int i = find(name);
    const bool isDefault = defaultValue.isValid() && value == defaultValue;
    if (isDefault) {
        if (i >= 0) entries_.removeAt(i);
        return;
    }
    if (i >= 0)
        entries_[i].second = value;
    else
        entries_.append({name, value});
}

bool PropertyBag::contains(const QString& name) const
{
    return find(name) >= 0;
}

QStringList PropertyBag::names() const
{
    QStringList out;
    for (const auto& e : entries_)
        out << e.first;
    return out;
}

} // namespace Ordalis
