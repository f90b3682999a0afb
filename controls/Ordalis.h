#pragma once
#include "OrdalisGlobal.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>

// The control library as its hosts see it: controls are made by ProgID (or class
// identifier) and reached only by member name or dispatch identifier, as a
// late-bound COM host reaches them. Hosts never include the control classes.
namespace Ordalis
{

class PropertyBag;

// --- factory ---
// "Ordalis.Txt_", "Ordalis.Chk_" (ProgIDs compare case-insensitively, as the
// registry does), the class identifier "{...}", or a compatibility alias of the
// control's interface ("Ordalis.Txt____v0", "Chk____v1" or its identifier);
// nullptr when unknown.
ORDALIS_EXPORT QWidget* createControl(const QString& progId, QWidget* parent = nullptr);
// ProgID of a control of this library, empty for any other object.
ORDALIS_EXPORT QString progIdOf(const QObject* control);
// True when no object of the library is alive (controls and the about box).
ORDALIS_EXPORT bool canUnloadNow();

// --- late binding ---
// A member is named case-insensitively (as COM dispatch names are) or by its
// dispatch identifier written as a number ("0", "-512", "0x680300DD", "&H680300DD").
// An empty name is the default member. Besides the control's own members the
// container's ones are there too: Visible, Left, Top, Width, Height (twips), SetFocus.
// Members the control keeps for the library itself are never reachable.
ORDALIS_EXPORT QVariant dispGet(QObject* control, const QString& name); // invalid when unknown
ORDALIS_EXPORT bool dispPut(QObject* control, const QString& name,
                            const QVariant& value); // false when unknown/refused
ORDALIS_EXPORT QVariant dispInvoke(QObject* control, const QString& name, const QVariantList& args = {});
ORDALIS_EXPORT QVariant dispGet(QObject* control, qint32 dispId);
ORDALIS_EXPORT bool dispPut(QObject* control, qint32 dispId, const QVariant& value);
// Why the last refused put or invoke on this control failed (Italian text), empty after a success.
ORDALIS_EXPORT QString dispError(QObject* control);
// Dispatch identifier of a member; false when the name is unknown.
ORDALIS_EXPORT bool dispIdOf(const QObject* control, const QString& name, qint32* dispId);
// Members of the control's default interface in interface order (the container's are not listed).
ORDALIS_EXPORT QStringList dispMembers(const QObject* control);

// --- events ---
// Connects a handler to a control event by its name ("Change", "Click", "GotFocus",
// "LostFocus", "KeyDown" (KeyCode, Shift), "KeyPress" (KeyAscii), "MouseUp" (Button,
// Shift, X, Y)) or its event number; false when the event is unknown. The handler
// runs while the control raises the event and is dropped when context goes away.
ORDALIS_EXPORT bool dispConnect(QObject* control, const QString& eventName, QObject* context,
                                std::function<void(const QVariantList& args)> handler);
// The same, for a handler that changes the event's arguments (all are by reference:
// a KeyPress handler may set KeyAscii to 0 to drop the key).
ORDALIS_EXPORT bool dispConnectRef(QObject* control, const QString& eventName, QObject* context,
                                   std::function<void(QVariantList& args)> handler);
// Event names of the control (its event interface, then the container's GotFocus, LostFocus).
ORDALIS_EXPORT QStringList dispEvents(const QObject* control);
ORDALIS_EXPORT int eventNumber(const QObject* control, const QString& eventName); // 0 when none

// --- the host-window save convention ---
// What a window that hosts the controls offers them. A window with nothing to save
// gives routines that do nothing and a ControllaSave that answers false.
struct SaveHost {
    std::function<bool()> ControllaSave;            // unsaved changes right now
    std::function<void()> AccendiSave;              // switch the save command on
    std::function<void(bool)> SetSave;              // switch it on or off
    std::function<void(const QString&)> showPrompt; // panel 1 of St_Bar; "" clears it
};
// Wires one control to its window: on focus the control takes the window's save
// state into MskModified and the window shows its Prompt; a changed value (Txt_
// Change, Chk_ Click) switches saving on; on leaving the window takes MskModified
// back through SetSave and clears the prompt. The control's own focus steps run
// first. False for an object that is no control of the library.
ORDALIS_EXPORT bool bindSaveConvention(QObject* control, QObject* context, const SaveHost& host);

// --- interfaces ---
// True when the control answers for this interface, given by IID "{...}" or by name:
// the current default interface and every compatibility alias of it.
ORDALIS_EXPORT bool queryInterface(const QObject* control, const QString& iidOrName);
// True when the control's events reach a sink built for this event interface (current or older).
ORDALIS_EXPORT bool acceptsEventInterface(const QObject* control, const QString& iid);

// --- persistence (the container's property bag) ---
ORDALIS_EXPORT void initProperties(QObject* control);
ORDALIS_EXPORT void readProperties(QObject* control, const PropertyBag& bag);
ORDALIS_EXPORT void writeProperties(QObject* control, PropertyBag& bag);

// --- colours ---
// A readable fore colour for this back colour: &HFFFFFF on dark colours, 0 otherwise.
ORDALIS_EXPORT qint32 ColoreContrasto(qint32 backColor);

// --- the type library ---
struct ClassEntry {
    QString name;          // "Txt_"
    QString progId;        // "Ordalis.Txt_", empty for a property page
    QString classId;       // "{...}", fixed: hosts store it in their designs
    QString interfaceName; // "_Txt_"
    QString interfaceId;
    QString eventInterface; // "__Txt_", empty for a property page
    QString eventInterfaceId;
    QString version;     // "1.1"
    QStringList aliases; // compatibility aliases of the default interface, oldest first
    QStringList aliasIds;
    QStringList aliasVersions;
    QStringList olderEventInterfaceIds;
    bool creatable = false; // made by createControl now
};
ORDALIS_EXPORT QList<ClassEntry> libraryClasses();
ORDALIS_EXPORT QString typeLibraryName();    // "Ordalis"
ORDALIS_EXPORT QString typeLibraryId();      // "{...}"
ORDALIS_EXPORT QString typeLibraryVersion(); // "19.5"
ORDALIS_EXPORT int typeLibraryLocale();      // 1033
ORDALIS_EXPORT QString typeLibraryHelp();    // "VANTRE - TxtBox/ChkBox/DatBox Avanzati"

// Shows the library's about box modally.
ORDALIS_EXPORT void About();

} // namespace Ordalis
