#pragma once
#include <QLineEdit>

#include <functional>

namespace Ordalis
{

// A text box of a page with its entry and exit steps. They run after the box's own
// focus handling, so an entry step's selection is the one that stays.
class PageLineEdit : public QLineEdit
{
    Q_OBJECT
  public:
    explicit PageLineEdit(QWidget* parent);
    std::function<void()> onEntry;
    std::function<void()> onExit;

  protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

} // namespace Ordalis
