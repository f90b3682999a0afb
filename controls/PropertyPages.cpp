// The design-time pages: what they share, the dialog that shows one, and the
// factory the designer plugin uses.
#include "PropertyPages.h"

#include "CodeGen.h"
#include "Ordalis.h"
#include "OrdalisControl.h"
#include "PropertyPagesPrivate.h"
#include "frmAbout.h"

#include "platform/Dialogs.h"
#include "platform/FixedFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

namespace Ordalis
{

// ---------------------------------------------------------------- host

PageHost::~PageHost() = default;

void PageHost::beginCommand(const QString&) {}

void PageHost::endCommand() {}

// ---------------------------------------------------------------- text box of a page

PageLineEdit::PageLineEdit(QWidget* parent) : QLineEdit(parent) {}

void PageLineEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (onEntry) onEntry();
}

void PageLineEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // A popup of the box itself (its context menu) is no exit from the field.
    if (e->reason() != Qt::PopupFocusReason && onExit) onExit();
}

// ---------------------------------------------------------------- page

namespace
{
// The error that ends a running step; an empty reason ends it without a word
// (a step on an empty selection).
struct StepError {
    QString why;
};
} // namespace

PropertyPage::PropertyPage(PageHost* host, const QString& prefix, const QString& nameText,
                           const QString& codeText, QWidget* parent)
    : QWidget(parent), host_(host), prefix_(prefix)
{
    OrdalisControl::addLive(1);
    filling_ = true;
    Txt_Nome = addEdit(QStringLiteral("Txt_Nome"), false, false);
    Txt_Nome->setText(nameText);
    static_cast<PageLineEdit*>(Txt_Nome)->onEntry = [this] { nameEntry(); };
    Cmd_Code = new QPushButton(this);
    Cmd_Code->setObjectName(QStringLiteral("Cmd_Code"));
    Txt_Code = new QPlainTextEdit(this);
    Txt_Code->setObjectName(QStringLiteral("Txt_Code"));
    Txt_Code->setFont(fixedPitchFont(QStringLiteral("Lucida Console")));
    Txt_Code->setLineWrapMode(QPlainTextEdit::NoWrap);
    Txt_Code->setPlainText(codeText);
    Cmd_CRite = new QPushButton(QStringLiteral("(C)"), this);
    Cmd_CRite->setObjectName(QStringLiteral("Cmd_CRite"));
    connect(Cmd_Code, &QPushButton::clicked, this, [this] { runStep([this] { codeStep(); }); });
    connect(Cmd_CRite, &QPushButton::clicked, this, [this] { runStep([] { frmAbout::showModal(); }); });
    filling_ = false;
}

PropertyPage::~PropertyPage()
{
    OrdalisControl::addLive(-1);
}

void PropertyPage::setChanged(bool changed)
{
    if (changed_ == changed) return;
    changed_ = changed;
    Q_EMIT changedChanged(changed);
}

void PropertyPage::markChanged()
{
    if (!filling_) setChanged(true);
}

void PropertyPage::SelectionChanged()
{
    if (!selected()) return;
    const bool was = filling_;
    filling_ = true;
    runStep([this] { selectionStep(); });
    filling_ = was;
}

bool PropertyPage::ApplyChanges()
{
    if (!selected()) return true;
    return runStep([this] { applyStep(); });
}

QObject* PropertyPage::selected() const
{
    if (!host_) return nullptr;
    const QList<QObject*> s = host_->selection();
    return s.isEmpty() ? nullptr : s.first();
}

QVariant PropertyPage::get(const QString& name) const
{
    QObject* c = selected();
    if (!c) throw StepError{};
    const QVariant v = dispGet(c, name);
    if (!v.isValid()) throw StepError{dispError(c)};
    return v;
}

void PropertyPage::put(const QString& name, const QVariant& value)
{
    QObject* c = selected();
    if (!c) throw StepError{};
    if (!inCommand_) {
        host_->beginCommand(displayName());
        inCommand_ = true;
    }
    QString why;
    if (!host_->setProperty(c, name, value, &why))
        throw StepError{why.isEmpty() ? QStringLiteral("Valore della proprietà non valido") : why};
}

QVariant PropertyPage::toLong(double v)
{
    const double r = std::nearbyint(v); // halves to the even neighbour, as CLng does
    if (!std::isfinite(r) || r < double(INT_MIN) || r > double(INT_MAX)) raise(QStringLiteral("Overflow"));
    return QVariant(qint32(r));
}

void PropertyPage::raise(const QString& why)
{
    throw StepError{why};
}

bool PropertyPage::runStep(const std::function<void()>& step)
{
    ++depth_;
    QString why;
    bool ok = true;
    try {
        step();
    } catch (const StepError& e) {
        ok = false;
        why = e.why;
    } catch (const std::exception& e) {
        ok = false;
        why = QString::fromLocal8Bit(e.what());
    }
    --depth_;
    if (depth_ == 0 && inCommand_) {
        inCommand_ = false;
        host_->endCommand();
    }
    if (!ok && !why.isEmpty()) MsgBox(why, vb::OKOnly | vb::Critical, frmAbout::libraryTitle());
    return ok;
}

PageLineEdit* PropertyPage::addEdit(const QString& objectName, bool marks, bool selectOnEntry)
{
    auto* e = new PageLineEdit(this);
    e->setObjectName(objectName);
    if (marks) connect(e, &QLineEdit::textChanged, this, [this] { markChanged(); });
    if (selectOnEntry) e->onEntry = [e] { e->selectAll(); };
    return e;
}

void PropertyPage::tabChain(const QList<QWidget*>& fields)
{
    for (int i = 1; i < fields.size(); ++i)
        setTabOrder(fields[i - 1], fields[i]);
}

void PropertyPage::nameEntry()
{
    const QString t = Txt_Nome->text();
    Txt_Nome->setCursorPosition(int(t.size()));
    if (t.size() > 4 && t.startsWith(prefix_)) Txt_Nome->setSelection(4, int(t.size()) - 4);
}

bool PropertyPage::nameRefused()
{
    if (!NomeErrato(Txt_Nome->text(), prefix_.toUpper())) return false;
    MsgBox(QStringLiteral("Nome Errato !"), vb::OKOnly | vb::Critical, frmAbout::libraryTitle());
    Txt_Nome->setFocus(Qt::OtherFocusReason);
    Txt_Nome->setCursorPosition(int(Txt_Nome->text().size()));
    return true;
}

void PropertyPage::showCode(const QString& crlfText)
{
    QString t = crlfText;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Txt_Code->clear();
    Txt_Code->setPlainText(t);
    Txt_Code->setFocus(Qt::OtherFocusReason);
    Txt_Code->selectAll();
}

bool PropertyPage::codeKey(QObject* watched, QEvent* e)
{
    if (watched != Txt_Code || e->type() != QEvent::KeyPress) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_A && (k->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        Txt_Code->selectAll();
        return true;
    }
    return false;
}

bool PropertyPage::eventFilter(QObject* watched, QEvent* e)
{
    if (codeKey(watched, e)) return true;
    return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------- factory

PropertyPage* createPropertyPage(const QString& controlClass, PageHost* host, QWidget* parent)
{
    const QString c = controlClass.section(QStringLiteral("::"), -1);
    if (c == QLatin1String("Txt_")) return new ProprietaTxt(host, parent);
    if (c == QLatin1String("Chk_")) return new ProprietaChk(host, parent);
    if (c == QLatin1String("Dat_")) return new ProprietaDat(host, parent);
    return nullptr;
}

// ---------------------------------------------------------------- dialog

PropertyPageDialog::PropertyPageDialog(PropertyPage* page, QWidget* parent) : QDialog(parent), page_(page)
{
    setObjectName(QStringLiteral("PropertyPageDialog"));
    setWindowTitle(page->displayName());
    page->setParent(this);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("Annulla"), this);
    applyButton = new QPushButton(QStringLiteral("Applica"), this);
    okButton->setObjectName(QStringLiteral("OK"));
    cancelButton->setObjectName(QStringLiteral("Annulla"));
    applyButton->setObjectName(QStringLiteral("Applica"));
    okButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(applyButton);
    auto* v = new QVBoxLayout(this);
    v->addWidget(page);
    v->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, &PropertyPageDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(applyButton, &QPushButton::clicked, this, [this] {
        if (page_->ApplyChanges()) page_->setChanged(false);
    });
    page->SelectionChanged();
    applyButton->setEnabled(page->Changed());
    connect(page, &PropertyPage::changedChanged, applyButton, &QPushButton::setEnabled);
}

void PropertyPageDialog::accept()
{
    if (page_->Changed()) {
        // A refused put keeps the dialog open with the page as the user left it.
        if (!page_->ApplyChanges()) return;
        page_->setChanged(false);
    }
    QDialog::accept();
}

} // namespace Ordalis
