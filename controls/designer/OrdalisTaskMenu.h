#pragma once
#include "controls/PropertyPages.h"

#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

#include <QObject>
#include <QPointer>

class QAction;
class QDesignerFormWindowInterface;

// The form designer as a page's host: the widget whose menu opened comes first, then
// the other selected widgets of its class; every write goes through the form window's
// cursor, so the property editor, undo and the modified mark all see it.
class DesignerPageHost : public QObject, public Ordalis::PageHost
{
    Q_OBJECT
  public:
    DesignerPageHost(QWidget* widget, QDesignerFormWindowInterface* form, QObject* parent = nullptr);

    QList<QObject*> selection() const override;
    bool setProperty(QObject* control, const QString& name, const QVariant& value, QString* why) override;
    void beginCommand(const QString& description) override;
    void endCommand() override;

  private:
    QPointer<QWidget> widget_;
    QPointer<QDesignerFormWindowInterface> form_;
};

// The task menu of one control on a form: its property page, also on a double-click.
class OrdalisTaskMenu : public QObject, public QDesignerTaskMenuExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)
  public:
    OrdalisTaskMenu(QWidget* widget, const QString& pageName, QObject* parent);

    QAction* preferredEditAction() const override { return action_; }
    QList<QAction*> taskActions() const override { return {action_}; }

  private:
    void openPage();

    QPointer<QWidget> widget_;
    QAction* action_;
};

// Makes the task menu for the widgets of one control class.
class OrdalisTaskMenuFactory : public QExtensionFactory
{
    Q_OBJECT
  public:
    OrdalisTaskMenuFactory(const QString& className, const QString& pageName, QExtensionManager* parent);

  protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;

  private:
    QString className_; // qualified, as the widget's meta-object names it
    QString pageName_;
};
