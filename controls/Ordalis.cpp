// The library frame: the type library's classes, the ProgID factory and late
// binding by name or dispatch identifier.
#include "Ordalis.h"

#include "Chk_.h"
#include "Dat_.h"
#include "OrdalisControl.h"
#include "PropertyBag.h"
#include "Txt_.h"
#include "frmAbout.h"

#include <QHash>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPointer>

namespace Ordalis
{

// ---------------------------------------------------------------- type library

namespace
{

const QString kIUnknown = QStringLiteral("{00000000-0000-0000-C000-000000000046}");
const QString kIDispatch = QStringLiteral("{00020400-0000-0000-C000-000000000046}");

QList<ClassEntry> makeClasses()
{
    QList<ClassEntry> c;
    auto page = [](const char* name, const char* iface, const char* clsid, const char* iid) {
        ClassEntry e;
        e.name = QString::fromUtf8(name);
        e.interfaceName = QString::fromUtf8(iface);
        e.classId = QString::fromLatin1(clsid);
        e.interfaceId = QString::fromLatin1(iid);
        e.version = QStringLiteral("1.0");
        e.creatable = false;
        return e;
    };
    ClassEntry t;
    t.name = QStringLiteral("Txt_");
    t.progId = QStringLiteral("Ordalis.Txt_");
    t.classId = QStringLiteral("{86CF881F-E5D1-4C86-BE31-6F92ED61DE35}");
    t.interfaceName = QStringLiteral("_Txt_");
    t.interfaceId = QStringLiteral("{04C8C4B9-5382-426D-8C3B-E4803272B736}");
    t.eventInterface = QStringLiteral("__Txt_");
    t.eventInterfaceId = QStringLiteral("{42A7038C-0509-4D50-B420-BCE9C96D980B}");
    t.version = QStringLiteral("1.1");
    t.aliases = {QStringLiteral("Txt____v0")};
    t.aliasIds = {QStringLiteral("{95695B5C-E5AB-43EF-8E08-930C775D918A}")};
    t.aliasVersions = {QStringLiteral("1.0")};
    t.olderEventInterfaceIds = {QStringLiteral("{BCACAD34-66F3-4004-BD47-D45C354F554C}")};
    t.creatable = true;
    c << t;

    ClassEntry d;
    d.name = QStringLiteral("Dat_");
    d.progId = QStringLiteral("Ordalis.Dat_");
    d.classId = QStringLiteral("{B4EA2F53-9182-4F39-A843-FEC18DCB011C}");
    d.interfaceName = QStringLiteral("_Dat_");
    d.interfaceId = QStringLiteral("{0E27DE0D-F00E-4596-BB17-31BA08B2A79E}");
    d.eventInterface = QStringLiteral("__Dat_");
    d.eventInterfaceId = QStringLiteral("{DDCE3F85-CC28-4A69-AD0F-039C0157294C}");
    d.version = QStringLiteral("1.4");
    d.aliases = {QStringLiteral("Dat____v0"), QStringLiteral("Dat____v1"), QStringLiteral("Dat____v2"),
                 QStringLiteral("Dat____v3")};
    d.aliasIds = {QStringLiteral("{E9E5BD6F-1DD5-4F11-9AFA-86E79BAE4B19}"),
                  QStringLiteral("{6643F5E9-9F40-4B47-866C-56912C04D39E}"),
                  QStringLiteral("{009B70C1-F83B-47EA-9D04-F5C82FF1AF3F}"),
                  QStringLiteral("{304A9B84-CEC2-4325-BD1C-7E9EECCA7BB3}")};
    d.aliasVersions = {QStringLiteral("1.0"), QStringLiteral("1.1"), QStringLiteral("1.2"),
                       QStringLiteral("1.3")};
    d.olderEventInterfaceIds = {QStringLiteral("{7778DF9B-E5AB-4287-B36A-163090CED714}"),
                                QStringLiteral("{A867FBC6-70E2-4546-BF08-B1EDB3179B3F}"),
                                QStringLiteral("{CD6975BF-BF48-462C-A555-DA401358ED9E}"),
                                QStringLiteral("{1499C862-2016-4CFF-B5C7-60C8440FAAA1}")};
    d.creatable = true;
    c << d;

    ClassEntry k;
    k.name = QStringLiteral("Chk_");
    k.progId = QStringLiteral("Ordalis.Chk_");
    k.classId = QStringLiteral("{9CAA560E-98C8-42CD-A7B6-230FF8C3B93C}");
    k.interfaceName = QStringLiteral("_Chk_");
    k.interfaceId = QStringLiteral("{FB8067B7-0035-4584-B0F9-8B235E3DA284}");
    k.eventInterface = QStringLiteral("__Chk_");
    k.eventInterfaceId = QStringLiteral("{94237FC9-9CBD-476C-B639-4DE90590A5FA}");
    k.version = QStringLiteral("1.2");
    k.aliases = {QStringLiteral("Chk____v0"), QStringLiteral("Chk____v1")};
    k.aliasIds = {QStringLiteral("{30F0DAF6-589A-48A7-9F88-41D2F09D90ED}"),
                  QStringLiteral("{671F7359-0810-482E-B9D5-BFD64C8107DC}")};
    k.aliasVersions = {QStringLiteral("1.0"), QStringLiteral("1.1")};
    k.olderEventInterfaceIds = {QStringLiteral("{D2565896-2857-4C00-A954-D8E9327A3BDD}"),
                                QStringLiteral("{EB70EE8B-FF7F-452C-801C-C9654F4BE720}")};
    k.creatable = true;
    c << k;

    c << page("ProprietàTxt", "_ProprietàTxt", "{51C45DC0-5DA2-45CB-99DE-CCEFA15DB979}",
              "{34A323E7-32E2-4DD0-86F0-C87D75EB4E2F}");
    c << page("ProprietàChk", "_ProprietàChk", "{AA859D4F-DE07-4187-8056-1ACD5AD89BFA}",
              "{64E15DFB-9D61-4334-AB20-F720D5471932}");
    c << page("ProprietàDat", "_ProprietàDat", "{498BF6C8-0FEA-4F89-8491-1D88F4B47E65}",
              "{F86E4505-6241-4132-9E56-69B5A9AC5CBD}");
    return c;
}

const QList<ClassEntry>& classes()
{
    static const QList<ClassEntry> c = makeClasses();
    return c;
}

QString bareGuid(QString g)
{
    g = g.trimmed();
    if (g.startsWith(QLatin1Char('{')) && g.endsWith(QLatin1Char('}'))) g = g.mid(1, g.size() - 2);
    return g.toUpper();
}

bool sameGuid(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && bareGuid(a) == bareGuid(b);
}

const ClassEntry* entryOf(const QObject* control)
{
    if (!control) return nullptr;
    const QString name =
        QString::fromLatin1(control->metaObject()->className()).section(QStringLiteral("::"), -1);
    for (const ClassEntry& e : classes())
        if (e.name == name && e.creatable) return &e;
    return nullptr;
}

} // namespace

QList<ClassEntry> libraryClasses()
{
    return classes();
}

QString typeLibraryName()
{
    return QStringLiteral("Ordalis");
}

QString typeLibraryId()
{
    return QStringLiteral("{E33D30E0-54AF-4A66-9D52-B25CAE7CB850}");
}

QString typeLibraryVersion()
{
    return QStringLiteral("19.5");
}

int typeLibraryLocale()
{
    return 1033;
}

QString typeLibraryHelp()
{
    return QStringLiteral("VANTRE - TxtBox/ChkBox/DatBox Avanzati");
}

// ---------------------------------------------------------------- factory

QWidget* createControl(const QString& progId, QWidget* parent)
{
    const QString id = progId.trimmed();
    // A host built against an older interface names the control by that
    // interface's alias ("Ordalis.Txt____v0") or its identifier.
    auto names = [&id](const ClassEntry& e) {
        if (id.compare(e.progId, Qt::CaseInsensitive) == 0 || sameGuid(id, e.classId)) return true;
        for (int i = 0; i < e.aliases.size(); ++i)
            if (id.compare(e.aliases[i], Qt::CaseInsensitive) == 0 ||
                id.compare(QStringLiteral("Ordalis.") + e.aliases[i], Qt::CaseInsensitive) == 0 ||
                sameGuid(id, e.aliasIds[i]))
                return true;
        return false;
    };
    for (const ClassEntry& e : classes()) {
        if (!e.creatable || !names(e)) continue;
        if (e.name == QLatin1String("Txt_")) return new Txt_(parent);
        if (e.name == QLatin1String("Chk_")) return new Chk_(parent);
        if (e.name == QLatin1String("Dat_")) return new Dat_(parent);
    }
    return nullptr;
}

QString progIdOf(const QObject* control)
{
    const ClassEntry* e = entryOf(control);
    return e ? e->progId : QString();
}

bool canUnloadNow()
{
    return OrdalisControl::liveObjects() == 0;
}

bool queryInterface(const QObject* control, const QString& iidOrName)
{
    const ClassEntry* e = entryOf(control);
    if (!e) return false;
    const QString q = iidOrName.trimmed();
    if (sameGuid(q, kIUnknown) || sameGuid(q, kIDispatch)) return true;
    if (q == e->interfaceName || sameGuid(q, e->interfaceId)) return true;
    for (int i = 0; i < e->aliases.size(); ++i)
        if (q == e->aliases[i] || sameGuid(q, e->aliasIds[i])) return true;
    return false;
}

bool acceptsEventInterface(const QObject* control, const QString& iid)
{
    const ClassEntry* e = entryOf(control);
    if (!e) return false;
    if (iid.trimmed() == e->eventInterface || sameGuid(iid, e->eventInterfaceId)) return true;
    for (const QString& old : e->olderEventInterfaceIds)
        if (sameGuid(iid, old)) return true;
    return false;
}

// ---------------------------------------------------------------- members

namespace
{

struct Member {
    QString name;
    qint32 dispId = 0;
    int property = -1;  // index in the meta-object, or
    QList<int> methods; // the overloads a method has (default arguments give more than one)
};

struct ClassMembers {
    QList<Member> members;
    QString defaultMember;
    QList<QPair<QString, int>> events; // name, number
};

const ClassMembers* membersOf(const QObject* control)
{
    if (!control || !entryOf(control)) return nullptr;
    static QHash<const QMetaObject*, ClassMembers> cache;
    const QMetaObject* mo = control->metaObject();
    auto it = cache.find(mo);
    if (it != cache.end()) return &it.value();
    ClassMembers cm;
    for (int i = mo->classInfoOffset(); i < mo->classInfoCount(); ++i) {
        const QMetaClassInfo ci = mo->classInfo(i);
        const QString key = QString::fromLatin1(ci.name());
        const QString value = QString::fromUtf8(ci.value());
        if (key.startsWith(QLatin1String("DispId:"))) {
            Member m;
            m.name = key.mid(7);
            bool ok = false;
            m.dispId = value.startsWith(QLatin1String("0x")) ? qint32(value.mid(2).toUInt(&ok, 16))
                                                             : value.toInt(&ok);
            const QByteArray n = m.name.toLatin1();
            m.property = mo->indexOfProperty(n.constData());
            if (m.property < 0)
                for (int j = mo->methodOffset(); j < mo->methodCount(); ++j) {
                    const QMetaMethod mm = mo->method(j);
                    if (mm.name() == n && mm.methodType() != QMetaMethod::Signal &&
                        mm.access() == QMetaMethod::Public)
                        m.methods << j;
                }
            cm.members << m;
        } else if (key == QLatin1String("DefaultMember")) {
            cm.defaultMember = value;
        } else if (key.startsWith(QLatin1String("Event:"))) {
            cm.events.append({key.mid(6), value.toInt()});
        }
    }
    return &cache.insert(mo, cm).value();
}

// A member named by a number: decimal, "0x" or VB's "&H" hexadecimal.
bool parseDispId(const QString& text, qint32* id)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        v = qint64(t.mid(2).toUInt(&ok, 16)), v = qint32(quint32(v));
    else
        v = t.toInt(&ok);
    if (ok) *id = qint32(v);
    return ok;
}

const Member* findMember(const QObject* control, const QString& name)
{
    const ClassMembers* cm = membersOf(control);
    if (!cm) return nullptr;
    QString n = name.trimmed();
    if (n.isEmpty()) n = cm->defaultMember;
    qint32 id = 0;
    if (parseDispId(n, &id)) {
        for (const Member& m : cm->members)
            if (m.dispId == id) return &m;
        return nullptr;
    }
    for (const Member& m : cm->members)
        if (m.name.compare(n, Qt::CaseInsensitive) == 0) return &m;
    return nullptr;
}

// The container's own members of a placed control.
enum class Extender { None, Visible, Left, Top, Width, Height, SetFocus };

Extender findExtender(const QString& name)
{
    static const QList<QPair<QString, Extender>> names = {
        {QStringLiteral("Visible"), Extender::Visible}, {QStringLiteral("Left"), Extender::Left},
        {QStringLiteral("Top"), Extender::Top},         {QStringLiteral("Width"), Extender::Width},
        {QStringLiteral("Height"), Extender::Height},   {QStringLiteral("SetFocus"), Extender::SetFocus},
    };
    for (const auto& p : names)
        if (p.first.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return p.second;
    return Extender::None;
}

void setError(QObject* control, const QString& why)
{
    if (auto* c = qobject_cast<OrdalisControl*>(control)) {
        c->clearError();
        if (!why.isEmpty()) c->setError(why);
    }
}

const QString kUnknownMember = QStringLiteral("Proprietà o metodo non supportati dall'oggetto");
const QString kReadOnly = QStringLiteral("Impossibile impostare una proprietà di sola lettura");
const QString kTypeMismatch = QStringLiteral("Tipo non corrispondente");
const QString kOverflow = QStringLiteral("Overflow");

// The value in the property's own type, as VB coerces it; false when it does not fit.
bool coerce(const QVariant& in, QMetaType target, QVariant& out, QString& why)
{
    switch (target.id()) {
    case QMetaType::Int: {
        bool ok = false;
        qint64 v = in.toLongLong(&ok);
        if (!ok) {
            const double d = in.toDouble(&ok);
            if (ok) v = qint64(std::nearbyint(d));
        }
        if (!ok) {
            why = kTypeMismatch;
            return false;
        }
        // &H80000005 written as an unsigned number is the same Long.
        if (v > 0x7FFFFFFFLL && v <= 0xFFFFFFFFLL) v = qint32(quint32(v));
        if (v < INT_MIN || v > INT_MAX) {
            why = kOverflow;
            return false;
        }
        out = QVariant(int(v));
        return true;
    }
    case QMetaType::Bool:
        if (in.typeId() == QMetaType::QString) {
            const QString s = in.toString().trimmed();
            if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                s.compare(QLatin1String("vero"), Qt::CaseInsensitive) == 0) {
                out = true;
                return true;
            }
            if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
                s.compare(QLatin1String("falso"), Qt::CaseInsensitive) == 0) {
                out = false;
                return true;
            }
        }
        if (!in.canConvert<double>()) {
            why = kTypeMismatch;
            return false;
        } else {
            bool ok = false;
            const double d = in.toDouble(&ok);
            if (!ok) {
                why = kTypeMismatch;
                return false;
            }
            out = d != 0;
            return true;
        }
    case QMetaType::Float: {
        bool ok = false;
        const float f = in.toFloat(&ok);
        if (!ok) {
            why = kTypeMismatch;
            return false;
        }
        out = f;
        return true;
    }
    case QMetaType::QString:
        if (!in.canConvert<QString>()) {
            why = kTypeMismatch;
            return false;
        }
        out = in.toString();
        return true;
    default:
        out = in;
        if (in.metaType() == target) return true;
        if (!out.convert(target)) {
            why = kTypeMismatch;
            return false;
        }
        return true;
    }
}

} // namespace

bool dispIdOf(const QObject* control, const QString& name, qint32* dispId)
{
    const Member* m = findMember(control, name);
    if (m && dispId) *dispId = m->dispId;
    return m != nullptr;
}

QStringList dispMembers(const QObject* control)
{
    QStringList out;
    if (const ClassMembers* cm = membersOf(control))
        for (const Member& m : cm->members)
            out << m.name;
    return out;
}

QString dispError(QObject* control)
{
    auto* c = qobject_cast<OrdalisControl*>(control);
    return c ? c->lastError() : kUnknownMember;
}

QVariant dispGet(QObject* control, const QString& name)
{
    auto* w = qobject_cast<OrdalisControl*>(control);
    if (!w) return {};
    setError(control, {});
    if (const Member* m = findMember(control, name)) {
        if (m->property < 0) {
            setError(control, kUnknownMember);
            return {};
        }
        return control->metaObject()->property(m->property).read(control);
    }
    switch (findExtender(name)) {
    case Extender::Visible:
        return !w->isHidden();
    case Extender::Left:
        return OrdalisControl::toTwips(w->x());
    case Extender::Top:
        return OrdalisControl::toTwips(w->y());
    case Extender::Width:
        return OrdalisControl::toTwips(w->width());
    case Extender::Height:
        return OrdalisControl::toTwips(w->height());
    default:
        break;
    }
    setError(control, kUnknownMember);
    return {};
}

QVariant dispGet(QObject* control, qint32 dispId)
{
    return dispGet(control, QString::number(dispId));
}

bool dispPut(QObject* control, const QString& name, const QVariant& value)
{
    auto* w = qobject_cast<OrdalisControl*>(control);
    if (!w) return false;
    setError(control, {});
    if (const Member* m = findMember(control, name)) {
        if (m->property < 0) {
            setError(control, kUnknownMember);
            return false;
        }
        const QMetaProperty p = control->metaObject()->property(m->property);
        if (!p.isWritable()) {
            setError(control, kReadOnly);
            return false;
        }
        QVariant v;
        QString why;
        if (!coerce(value, p.metaType(), v, why)) {
            setError(control, why);
            return false;
        }
        p.write(control, v);
        return w->lastError().isEmpty();
    }
    const Extender x = findExtender(name);
    if (x != Extender::None && x != Extender::SetFocus) {
        QVariant v;
        QString why;
        if (!coerce(value, x == Extender::Visible ? QMetaType::fromType<bool>() : QMetaType::fromType<int>(),
                    v, why)) {
            setError(control, why);
            return false;
        }
        switch (x) {
        case Extender::Visible:
            w->setVisible(v.toBool());
            break;
        case Extender::Left:
            w->move(OrdalisControl::toPixels(v.toInt()), w->y());
            break;
        case Extender::Top:
            w->move(w->x(), OrdalisControl::toPixels(v.toInt()));
            break;
        case Extender::Width:
            w->resize(OrdalisControl::toPixels(v.toInt()), w->height());
            break;
        case Extender::Height:
            w->resize(w->width(), OrdalisControl::toPixels(v.toInt()));
            break;
        default:
            break;
        }
        return true;
    }
    setError(control, kUnknownMember);
    return false;
}

bool dispPut(QObject* control, qint32 dispId, const QVariant& value)
{
    return dispPut(control, QString::number(dispId), value);
}

QVariant dispInvoke(QObject* control, const QString& name, const QVariantList& args)
{
    auto* w = qobject_cast<OrdalisControl*>(control);
    if (!w) return {};
    setError(control, {});
    const Member* m = findMember(control, name);
    if (!m) {
        if (findExtender(name) == Extender::SetFocus && args.isEmpty()) {
            w->setFocus(Qt::OtherFocusReason);
            return {};
        }
        if (args.isEmpty() && findExtender(name) != Extender::None) return dispGet(control, name);
        setError(control, kUnknownMember);
        return {};
    }
    if (m->property >= 0) {
        if (args.isEmpty()) return dispGet(control, name);
        setError(control, kUnknownMember);
        return {};
    }
    // The overload that takes this many arguments (optional ones may be left out).
    const QMetaObject* mo = control->metaObject();
    QMetaMethod method;
    for (int idx : m->methods)
        if (mo->method(idx).parameterCount() == args.size()) method = mo->method(idx);
    if (!method.isValid() || args.size() > 10) {
        setError(control,
                 QStringLiteral("Numero di argomenti errato o assegnazione di proprietà non valida"));
        return {};
    }
    QVariantList conv;
    conv.reserve(args.size());
    for (int i = 0; i < args.size(); ++i) {
        const QMetaType t = method.parameterMetaType(i);
        if (t.id() == QMetaType::QVariant) {
            conv << args[i];
            continue;
        }
        QVariant v;
        QString why;
        if (!coerce(args[i], t, v, why)) {
            setError(control, why);
            return {};
        }
        conv << v;
    }
    QGenericArgument a[10];
    for (int i = 0; i < conv.size(); ++i) {
        const QMetaType t = method.parameterMetaType(i);
        a[i] = QGenericArgument(t.name(), t.id() == QMetaType::QVariant ? static_cast<const void*>(&conv[i])
                                                                        : conv[i].constData());
    }
    QVariant ret;
    if (method.returnMetaType().isValid() && method.returnMetaType().id() != QMetaType::Void)
        ret = QVariant(method.returnMetaType(), nullptr);
    const QGenericReturnArgument r =
        ret.isValid() ? QGenericReturnArgument(method.typeName(), ret.data()) : QGenericReturnArgument();
    if (!method.invoke(control, Qt::DirectConnection, r, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8],
                       a[9])) {
        setError(control, kUnknownMember);
        return {};
    }
    return ret;
}

// ---------------------------------------------------------------- events

namespace
{

// Takes a control's event with its arguments by reference, hands them to the
// host's handler as a list and copies the handler's changes back.
class EventRelay : public QObject
{
    Q_OBJECT
  public:
    EventRelay(QObject* parent, std::function<void(QVariantList&)> h) : QObject(parent), handler(std::move(h))
    {
    }
    std::function<void(QVariantList&)> handler;

  public Q_SLOTS:
    void on0()
    {
        QVariantList a;
        handler(a);
    }
    void onI(int& i)
    {
        QVariantList a{i};
        handler(a);
        i = a.value(0).toInt();
    }
    void onII(int& i, int& j)
    {
        QVariantList a{i, j};
        handler(a);
        i = a.value(0).toInt();
        j = a.value(1).toInt();
    }
    void onIIFF(int& b, int& s, float& x, float& y)
    {
        QVariantList a{b, s, x, y};
        handler(a);
        b = a.value(0).toInt();
        s = a.value(1).toInt();
        x = a.value(2).toFloat();
        y = a.value(3).toFloat();
    }
    void onBag(Ordalis::PropertyBag* bag)
    {
        QVariantList a{QVariant::fromValue(static_cast<void*>(bag))};
        handler(a);
    }
};

// The signal that raises this event; invalid when the control has no such event.
QMetaMethod findEvent(const QObject* control, const QString& eventName)
{
    const ClassMembers* cm = membersOf(control);
    if (!cm) return {};
    QString name;
    const QString n = eventName.trimmed();
    bool isNumber = false;
    const int number = n.toInt(&isNumber);
    for (const auto& e : cm->events)
        if ((isNumber && e.second == number) || (!isNumber && e.first.compare(n, Qt::CaseInsensitive) == 0))
            name = e.first;
    if (name.isEmpty() && !isNumber)
        for (const char* c : {"GotFocus", "LostFocus"})
            if (n.compare(QLatin1String(c), Qt::CaseInsensitive) == 0) name = QLatin1String(c);
    if (name.isEmpty()) return {};
    const QMetaObject* mo = control->metaObject();
    const QByteArray bn = name.toLatin1();
    for (int i = 0; i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() == QMetaMethod::Signal && m.name() == bn) return m;
    }
    return {};
}

} // namespace

bool dispConnectRef(QObject* control, const QString& eventName, QObject* context,
                    std::function<void(QVariantList& args)> handler)
{
    const QMetaMethod signal = findEvent(control, eventName);
    if (!signal.isValid() || !handler) return false;
    const QByteArray sig = signal.methodSignature();
    const QByteArray params = sig.mid(sig.indexOf('('));
    const char* slot = nullptr;
    if (params == "()")
        slot = "on0()";
    else if (params == "(int&)")
        slot = "onI(int&)";
    else if (params == "(int&,int&)")
        slot = "onII(int&,int&)";
    else if (params == "(int&,int&,float&,float&)")
        slot = "onIIFF(int&,int&,float&,float&)";
    else if (params == "(Ordalis::PropertyBag*)")
        slot = "onBag(Ordalis::PropertyBag*)";
    if (!slot) return false;
    // The relay lives as long as the host's context (or the control, without one).
    auto* relay = new EventRelay(context ? context : control, std::move(handler));
    const QMetaMethod target = relay->metaObject()->method(relay->metaObject()->indexOfSlot(slot));
    if (context && context != control)
        QObject::connect(control, &QObject::destroyed, relay, &QObject::deleteLater);
    if (!QObject::connect(control, signal, relay, target, Qt::DirectConnection)) {
        delete relay;
        return false;
    }
    return true;
}

bool dispConnect(QObject* control, const QString& eventName, QObject* context,
                 std::function<void(const QVariantList& args)> handler)
{
    if (!handler) return false;
    return dispConnectRef(control, eventName, context, [h = std::move(handler)](QVariantList& a) { h(a); });
}

QStringList dispEvents(const QObject* control)
{
    QStringList out;
    if (const ClassMembers* cm = membersOf(control)) {
        for (const auto& e : cm->events)
            out << e.first;
        out << QStringLiteral("GotFocus") << QStringLiteral("LostFocus");
    }
    return out;
}

int eventNumber(const QObject* control, const QString& eventName)
{
    if (const ClassMembers* cm = membersOf(control))
        for (const auto& e : cm->events)
            if (e.first.compare(eventName.trimmed(), Qt::CaseInsensitive) == 0) return e.second;
    return 0;
}

// ---------------------------------------------------------------- save convention

bool bindSaveConvention(QObject* control, QObject* context, const SaveHost& host)
{
    if (!entryOf(control)) return false;
    const QString changeEvent =
        eventNumber(control, QStringLiteral("Change")) ? QStringLiteral("Change") : QStringLiteral("Click");
    const bool ok =
        dispConnect(control, QStringLiteral("GotFocus"), context,
                    [control, host](const QVariantList&) {
                        dispPut(control, QStringLiteral("MskModified"),
                                host.ControllaSave ? host.ControllaSave() : false);
                        if (host.showPrompt)
                            host.showPrompt(dispGet(control, QStringLiteral("Prompt")).toString());
                    }) &&
        dispConnect(control, changeEvent, context,
                    [host](const QVariantList&) {
                        if (host.AccendiSave) host.AccendiSave();
                    }) &&
        dispConnect(control, QStringLiteral("LostFocus"), context, [control, host](const QVariantList&) {
            if (host.SetSave) host.SetSave(dispGet(control, QStringLiteral("MskModified")).toBool());
            if (host.showPrompt) host.showPrompt(QString());
        });
    return ok;
}

// ---------------------------------------------------------------- persistence, about

void initProperties(QObject* control)
{
    if (auto* c = qobject_cast<OrdalisControl*>(control)) c->initProperties();
}

void readProperties(QObject* control, const PropertyBag& bag)
{
    if (auto* c = qobject_cast<OrdalisControl*>(control)) c->readProperties(bag);
}

void writeProperties(QObject* control, PropertyBag& bag)
{
    if (auto* c = qobject_cast<OrdalisControl*>(control)) c->writeProperties(bag);
}

void About()
{
    frmAbout::showModal();
}

} // namespace Ordalis

#include "Ordalis.moc"
