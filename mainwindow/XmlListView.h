#pragma once
#include <QListView>

// The view of the main invoice list. It behaves as the list box the window was written
// for: a selection change the user makes with the mouse or the keys raises one
// userSelectionChanged after the event that made it (changes made by code raise
// nothing), and the right button never touches the selection or the current row, so a
// right click (the list's second action) cannot drop a selection of many rows.
class XmlListView final : public QListView
{
    Q_OBJECT
  public:
    explicit XmlListView(QWidget* parent = nullptr);

  signals:
    void userSelectionChanged();

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

  private:
    // Runs the view's own handling of one user event and reports a selection it changed.
    template <class Fn> void byUser(Fn&& handle);

    int userDepth_ = 0;
    bool changed_ = false;
};
