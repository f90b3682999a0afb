#pragma once
#include "VbForm.h"

class QLabel;

// The small message window that long archive operations show while they work.
// The caller sets both captions, shows it without waiting, and hides or unloads it.
class F_MSG final : public VbFormOf<F_MSG>
{
    Q_OBJECT
  public:
    F_MSG();

    QLabel* Image1 = nullptr;
    QLabel* Lbl_Head = nullptr;
    QLabel* Lbl_Msg = nullptr;

  protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

  private:
    qint32 minHeight_ = 0;
    qint32 minWidth_ = 0;
};
