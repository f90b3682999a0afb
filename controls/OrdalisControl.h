#pragma once
#include "OrdalisGlobal.h"

#include <QWidget>

namespace Ordalis
{

class PropertyBag;

// What the library's controls share: one inner standard widget that fills the
// control and holds the focus, the container's change notification, the
// container's focus events, and the refusal of an invalid put.
class ORDALIS_EXPORT OrdalisControl : public QWidget
{
    Q_OBJECT
  public:
    explicit OrdalisControl(QWidget* parent = nullptr);
    ~OrdalisControl() override;

    QWidget* inner() const { return inner_; }

    virtual void initProperties() = 0;
    virtual void readProperties(const PropertyBag& bag) = 0;
    virtual void writeProperties(PropertyBag& bag) const = 0;

    // Why the last put was refused; empty when it went through.
    QString lastError() const { return lastError_; }
    void clearError() { lastError_.clear(); }
    void setError(const QString& why) { lastError_ = why; }

    // 15 twips to the pixel.
    static int toPixels(qint64 twips);
    static qint32 toTwips(int pixels) { return pixels * 15; }

    // VB's key code of a key (vbKeyA = 65, vbKeyF1 = 112, ...), 0 for keys VB has no code for.
    static int vbKeyCode(int qtKey, Qt::KeyboardModifiers mods);
    // VB's Shift argument: 1 Shift, 2 Ctrl, 4 Alt.
    static int vbShift(Qt::KeyboardModifiers mods);
    // VB's Button argument: 1 left, 2 right, 4 middle.
    static int vbButton(Qt::MouseButtons buttons);

    // Objects of the library alive now.
    static int liveObjects();
    static void addLive(int delta);

  Q_SIGNALS:
    // The container's change notification: a designer marks its form as modified.
    void PropertyChanged(const QString& name);
    // The container's focus events; they follow the control's own entry and exit steps.
    void GotFocus();
    void LostFocus();

  protected:
    void setInner(QWidget* w);
    // The message VB gives for a value a property does not take.
    bool refuse(const QString& why = {});
    void notify(const QString& name) { Q_EMIT PropertyChanged(name); }
    bool inFocus() const { return inside_; }
    // Enabled and Font live on the control itself and its inner widget follows
    // them, so uic's setters, QUiLoader's properties and a host's own QWidget
    // calls all reach one state. A put that does not take (a disabled container
    // keeps the field off) is refused.
    void putEnabled(bool v);
    // A font that sets only some attributes (a form's "16 pt") keeps the others.
    void putFont(const QFont& f);

    virtual void focusEntry() = 0;
    virtual void focusExit() = 0;
    virtual void innerResized() {}
    // Key and mouse events of the inner widget; true swallows the event.
    virtual bool innerEvent(QEvent* e);

    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    QWidget* inner_ = nullptr;
    QString lastError_;
    bool inside_ = false;
};

} // namespace Ordalis
