#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QEvent;

// A window of the program with the lifecycle its code is written for:
// Load when it is first reached, Activate when it is shown and when a modal
// window it opened closes, Unload when it is closed (the instance is then
// destroyed and the next reach loads a new one).
class VbForm : public QWidget
{
    Q_OBJECT
  public:
    enum ModalResult { Cancelled = 0, Accepted = 1 };

    explicit VbForm(QWidget* parent = nullptr);
    ~VbForm() override;

    // What callers hand over before showing the window (VB's Tag).
    QString Tag;

    // Shows the window without waiting and activates it.
    void Show();
    // Shows the window modally; returns when it is hidden or unloaded, with the
    // result the window set (Cancelled unless it said otherwise). An opener that
    // is still shown is activated again afterwards.
    int ShowModal(VbForm* opener = nullptr);
    // Runs Form_Unload; unless it cancels, the window is hidden and destroyed.
    // Returns false when the unload was cancelled.
    bool Unload();
    // Runs Form_Activate (with the handler's error guard). The program window that was
    // active before, when another one, runs its Form_Deactivate first.
    void Activate();
    // Runs Form_Deactivate (with the handler's error guard).
    void Deactivate();

    bool isUnloaded() const { return unloaded_; }
    int modalResult() const { return modalResult_; }
    void setModalResult(int r) { modalResult_ = r; }

    // Runs one event handler so that no exception reaches the event loop: the
    // failure is written to the debug log and told to the user.
    static void Guard(const QString& handlerName, const std::function<void()>& body);

    // VB's mouse-button and shift codes of a Qt mouse event.
    static int vbButton(Qt::MouseButton b);
    static int vbShift(Qt::KeyboardModifiers m);
    // VB key code of a Qt key (letters and digits as their upper-case ASCII code).
    static int vbKeyCode(int qtKey);

    // Calls action(Button, Shift, X, Y) when a mouse button is released over w
    // (right-button second actions are read from here).
    static void onMouseUp(QWidget* w, std::function<void(int, int, int, int)> action);
    // Calls action() on a left click (press and release) of a widget without a click signal.
    static void onClick(QWidget* w, std::function<void()> action);
    static void onDblClick(QWidget* w, std::function<void()> action);

  signals:
    void hidden();
    void unloadedSignal(int modalResult);

  protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    // Another window of the program was activated. Only Activate raises it: the program's
    // own message boxes and dialogs, which Qt sees as windows too, never do.
    virtual void Form_Deactivate() {}
    virtual void Form_Unload(int& cancel) { Q_UNUSED(cancel); }
    // Form-level keys (KeyPreview): seen before the focused control gets them.
    virtual void Form_KeyDown(int keyCode, int shift)
    {
        Q_UNUSED(keyCode);
        Q_UNUSED(shift);
    }
    virtual void Form_KeyPress(int keyAscii) { Q_UNUSED(keyAscii); }
    // The accessor forgets this instance (called once, at unload).
    virtual void releaseInstance() = 0;

    void setKeyPreview(bool on);
    void runLoad();

    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool unloaded_ = false;
    bool unloading_ = false;
    bool keyPreview_ = false;
    // The key event last seen, so that its passing up to the parents is not seen again.
    const QEvent* lastKey_ = nullptr;
    int lastKeyCode_ = 0;
    int lastKeyMods_ = 0;
    QPointer<QWidget> lastKeyTarget_;
    int modalResult_ = Cancelled;
};

// The single global instance of a window class, created (and loaded) on first reach.
template <class T> class VbFormOf : public VbForm
{
  public:
    static T& instance()
    {
        if (!s_) {
            s_ = new T;
            s_->runLoad();
        }
        return *s_;
    }
    static bool isLoaded() { return s_ != nullptr; }
    // Unloads the instance when there is one.
    static void unloadInstance()
    {
        if (s_) s_->Unload();
    }

  protected:
    using VbForm::VbForm;
    void releaseInstance() override
    {
        if (s_ == this) s_ = nullptr;
    }

  private:
    static inline T* s_ = nullptr;
};

// How a window is shown modally. The default one runs a local event loop until
// the window is hidden or unloaded; tests install their own, which drives the
// window and returns.
using ModalRunner = std::function<void(VbForm& form)>;
void setModalRunner(ModalRunner runner); // an empty runner puts back the real one
void runModalForReal(VbForm& form);
