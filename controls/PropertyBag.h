#pragma once
#include "OrdalisGlobal.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace Ordalis
{

// The container's store of a control's design-time properties. A value equal to
// its default is not stored, so reading it back with the same default gives the
// same value. Names compare case-insensitively; the order of writing is kept.
class ORDALIS_EXPORT PropertyBag
{
  public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = {});

    bool contains(const QString& name) const;
    QStringList names() const; // in the order written
    void clear() { entries_.clear(); }
    bool isEmpty() const { return entries_.isEmpty(); }

  private:
    int find(const QString& name) const;
    QList<QPair<QString, QVariant>> entries_;
};

} // namespace Ordalis
