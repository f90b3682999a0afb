#pragma once
#include "OrdalisGlobal.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace Ordalis
{

// The library's about box: names the library and its version and can start the
// system information program. One instance, made on first use; OK unloads it.
class ORDALIS_EXPORT frmAbout : public QDialog
{
    Q_OBJECT
  public:
    // The instance (loaded when needed).
    static frmAbout* instance();
    static bool isLoaded();
    // Shows the box modally (through the hook when one is set).
    static void showModal();
    // Tests take the modal show over; the hook gets the loaded box.
    static void setShowHook(std::function<void(frmAbout*)> hook);

    // The library's title and version as the box shows them.
    static QString libraryTitle();
    static QString libraryVersion(); // major.minor.revision

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* picIcon = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    void cmdOK_Click();
    // Closing the box from its title bar unloads it too.
    void reject() override { cmdOK_Click(); }
    void cmdSysInfo_Click();

  private:
    frmAbout();
    ~frmAbout() override;
    void Form_Load();
    void StartSysInfo();
    // One value of the machine's registry: a text, or a double word written in decimal.
    bool GetKeyValue(qint32 keyRoot, const QString& keyName, const QString& subKeyRef, QString& keyVal);
};

} // namespace Ordalis
