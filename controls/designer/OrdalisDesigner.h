#pragma once
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

// One control of the library as a form designer offers it.
class OrdalisWidget : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
  public:
    OrdalisWidget(const QString& className, const QString& toolTip, const QString& domXml, QObject* parent);

    // The qualified class name: Designer compares it with the class of the widget
    // made, and uic writes it into the form's code.
    QString name() const override { return QStringLiteral("Ordalis::") + className_; }
    QString group() const override { return QStringLiteral("Ordalis"); }
    QString toolTip() const override { return toolTip_; }
    QString whatsThis() const override { return toolTip_; }
    QString includeFile() const override
    {
        return QStringLiteral("Ordalis/") + className_ + QStringLiteral(".h");
    }
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return initialized_; }
    // In Designer: the control's task menu with its property page. A form loader
    // (no core) gets nothing.
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override { return domXml_; }

  private:
    QString className_;
    QString toolTip_;
    QString domXml_;
    bool initialized_ = false;
};

// The collection Qt Designer and QUiLoader load: the text, check and date controls.
class OrdalisDesigner : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
  public:
    explicit OrdalisDesigner(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

  private:
    QList<QDesignerCustomWidgetInterface*> widgets_;
};
