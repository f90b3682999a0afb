#include "FocusColour.h"

#include <QColor>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>

namespace
{

class FocusColour final : public QObject
{
  public:
    explicit FocusColour(QLineEdit* e) : QObject(e) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            auto* e = static_cast<QLineEdit*>(watched);
            QPalette p = e->palette();
            p.setColor(QPalette::Base,
                       event->type() == QEvent::FocusIn ? QColor(0xFF, 0xFF, 0x80) : QColor(Qt::white));
            e->setPalette(p);
        }
        return false;
    }
};

} // namespace

void FocusColour_Install(QLineEdit* field)
{
    field->installEventFilter(new FocusColour(field));
}
