// Which text of each kind of control the form translation reads and
// writes, and the tagged form of rich texts.
#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDockWidget>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMetaProperty>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <vector>

#include "foundation/qt/form_utils.h"
#include "translation/forms/tixlanguage_forms.h"

namespace {

// A writable QString property "text" of a class the accessors do not
// otherwise know (the check and lamp control has one).
int TextPropertyIndex(QObject* object)
{
    const QMetaObject* meta = object->metaObject();
    const int i = meta->indexOfProperty("text");
    if (i < 0)
        return -1;
    const QMetaProperty p = meta->property(i);
    if (!p.isWritable() || p.metaType().id() != QMetaType::QString)
        return -1;
    return i;
}

// What Qt shows as an action's tool tip when none was set.
QString AutomaticToolTip(const QAction* action)
{
    QString s = action->text();
    s.remove(QLatin1String("..."));
    s.remove(QChar(0x2026));
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i] == QLatin1Char('&'))
            s.remove(i, 1);
    return s.trimmed();
}

}  // namespace

bool VTixLanguageForms::IsForm(QObject* object)
{
    auto* w = qobject_cast<QWidget*>(object);
    if (!w || qobject_cast<QFileDialog*>(w) || qobject_cast<QMenu*>(w))
        return false;
    if (w->property("tixForm").toBool())
        return true;
    if (qobject_cast<QDialog*>(w) || qobject_cast<QMainWindow*>(w))
        return true;
    if (!w->isWindow() || qobject_cast<QDockWidget*>(w))
        return false;
    switch (w->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
        return false;
    default:
        return true;
    }
}

void VTixLanguageForms::RegisterControlClass(const char* className, TextGetter getCaption,
                                             TextSetter setCaption, TextGetter getHint,
                                             TextSetter setHint)
{
    controlClasses_.push_back({className, std::move(getCaption), std::move(setCaption),
                               std::move(getHint), std::move(setHint)});
}

const VTixLanguageForms::ControlClass* VTixLanguageForms::registeredClass(QObject* c) const
{
    for (const ControlClass& k : controlClasses_)
        if (c->inherits(k.className.c_str()))
            return &k;
    return nullptr;
}

bool VTixLanguageForms::GetCaption(QObject* c, QString& caption) const
{
    int tab = -1;
    if (const ControlClass* k = registeredClass(c)) {
        if (!k->getCaption || !k->setCaption)
            return false;
        caption = k->getCaption(c).trimmed();
    } else if (auto* d = qobject_cast<QFileDialog*>(c))
        caption = d->windowTitle();
    else if (IsForm(c))
        caption = static_cast<QWidget*>(c)->windowTitle();
    else if (auto* b = qobject_cast<QAbstractButton*>(c))
        caption = b->text();
    else if (QTabWidget* tabs = Tixutils::TabWidgetOfPage(c, &tab))
        caption = tabs->tabText(tab);
    else if (auto* t = qobject_cast<QToolBar*>(c))
        caption = t->windowTitle();
    else if (auto* l = qobject_cast<QLabel*>(c))
        caption = l->text();
    else if (auto* m = qobject_cast<QMenu*>(c))
        caption = m->title();
    else if (auto* a = qobject_cast<QAction*>(c))
        caption = a->text();
    else if (auto* e = qobject_cast<QLineEdit*>(c))
        caption = e->text();
    else if (auto* g = qobject_cast<QGroupBox*>(c))
        caption = g->title();
    else if (const int p = TextPropertyIndex(c); p >= 0)
        caption = c->metaObject()->property(p).read(c).toString().trimmed();
    else
        return false;
    return true;
}

void VTixLanguageForms::SetCaption(QObject* c, const QString& caption) const
{
    int tab = -1;
    if (const ControlClass* k = registeredClass(c)) {
        if (k->setCaption)
            k->setCaption(c, caption);
    } else if (auto* d = qobject_cast<QFileDialog*>(c)) {
        d->setWindowTitle(caption);
    } else if (IsForm(c)) {
        static_cast<QWidget*>(c)->setWindowTitle(caption);
        // A form docked as a tab page shows its title on the tab too.
        if (QTabWidget* tabs = Tixutils::TabWidgetOfPage(c, &tab))
            tabs->setTabText(tab, caption);
    } else if (auto* b = qobject_cast<QAbstractButton*>(c)) {
        b->setText(caption);
    } else if (QTabWidget* tabs = Tixutils::TabWidgetOfPage(c, &tab)) {
        tabs->setTabText(tab, caption);
    } else if (auto* t = qobject_cast<QToolBar*>(c)) {
        t->setWindowTitle(caption);
    } else if (auto* l = qobject_cast<QLabel*>(c)) {
        // Language texts are plain: a "<b>" in a file is shown as written.
        l->setTextFormat(Qt::PlainText);
        l->setText(caption);
    } else if (auto* m = qobject_cast<QMenu*>(c)) {
        m->setTitle(caption);
    } else if (auto* a = qobject_cast<QAction*>(c)) {
        a->setText(caption);
    } else if (auto* e = qobject_cast<QLineEdit*>(c)) {
        e->setText(caption);
        e->deselect();
    } else if (auto* g = qobject_cast<QGroupBox*>(c)) {
        g->setTitle(caption);
    } else if (const int p = TextPropertyIndex(c); p >= 0) {
        c->metaObject()->property(p).write(c, caption);
    }
}

bool VTixLanguageForms::GetHint(QObject* c, QString& hint) const
{
    if (const ControlClass* k = registeredClass(c); k && k->getHint && k->setHint) {
        hint = k->getHint(c);
        return true;
    }
    if (auto* a = qobject_cast<QAction*>(c)) {
        hint = a->toolTip();
        if (hint == AutomaticToolTip(a))
            hint.clear();
        return true;
    }
    if (auto* w = qobject_cast<QWidget*>(c)) {
        hint = w->toolTip();
        return true;
    }
    return false;
}

void VTixLanguageForms::SetHint(QObject* c, const QString& hint) const
{
    if (const ControlClass* k = registeredClass(c); k && k->getHint && k->setHint)
        k->setHint(c, hint);
    else if (auto* a = qobject_cast<QAction*>(c))
        a->setToolTip(hint);
    else if (auto* w = qobject_cast<QWidget*>(c))
        w->setToolTip(hint);
}

void VTixLanguageForms::SetRichEditStrings(QTextEdit* richEdit, const QString& text)
{
    if (!richEdit)
        return;
    struct Span {
        int start;
        int end;
        QChar kind;
    };
    QString plain;
    std::vector<Span> spans;
    int openB = 0;
    int openI = 0;
    int openU = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == QLatin1Char('<') || c == QLatin1Char('&')) {
            const QChar close = c == QLatin1Char('<') ? QLatin1Char('>') : QLatin1Char(';');
            qsizetype j = i + 1;
            while (j < text.size() && text[j] != close)
                ++j;
            const QString name = text.mid(i + 1, j - i - 1).toUpper();
            i = j < text.size() ? j + 1 : j;
            const int pos = int(plain.size());
            if (c == QLatin1Char('&')) {
                if (name == QLatin1String("AMP"))
                    plain += QLatin1Char('&');
                else if (name == QLatin1String("LT"))
                    plain += QLatin1Char('<');
                else if (name == QLatin1String("GT"))
                    plain += QLatin1Char('>');
            } else if (name == QLatin1String("B")) {
                openB = pos;
            } else if (name == QLatin1String("I")) {
                openI = pos;
            } else if (name == QLatin1String("U")) {
                openU = pos;
            } else if (name == QLatin1String("/B")) {
                spans.push_back({openB, pos, QLatin1Char('B')});
            } else if (name == QLatin1String("/I")) {
                spans.push_back({openI, pos, QLatin1Char('I')});
            } else if (name == QLatin1String("/U")) {
                spans.push_back({openU, pos, QLatin1Char('U')});
            }
            continue;
        }
        plain += c;
        ++i;
    }
    richEdit->clear();
    richEdit->setCurrentCharFormat(QTextCharFormat());
    richEdit->setPlainText(plain);
    for (const Span& s : spans) {
        if (s.end <= s.start)
            continue;
        QTextCursor cursor(richEdit->document());
        cursor.setPosition(s.start);
        cursor.setPosition(s.end, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        if (s.kind == QLatin1Char('B'))
            format.setFontWeight(QFont::Bold);
        else if (s.kind == QLatin1Char('I'))
            format.setFontItalic(true);
        else
            format.setFontUnderline(true);
        cursor.mergeCharFormat(format);
    }
    QTextCursor start(richEdit->document());
    richEdit->setTextCursor(start);
}
