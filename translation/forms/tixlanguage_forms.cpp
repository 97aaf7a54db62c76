// Translation of forms: the walk over a form's widgets, item lists, file
// dialog filters and the forms created after start-up.
#include "translation/forms/tixlanguage_forms.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>
#include <exception>

#include "foundation/tixutils_text.h"
#include "platform/codepage.h"
#include "platform/qt/qt_text.h"
#include "translation/language_text.h"
#include "translation/tixlanguage.h"

namespace {

// The posted event that translates the forms created since the last one.
const QEvent::Type kTranslatePending = QEvent::Type(QEvent::User + 1);

// A count in a language file larger than this is taken for a mistake.
constexpr int kMaxTranslatedItems = 4096;

std::string Ansi(const QString& s) { return Platform::FromQString(s); }

QStringList LinesOf(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// Radio buttons of a radio group, in order; those of nested group boxes
// belong to those.
QList<QRadioButton*> RadioItems(QWidget* group)
{
    QList<QRadioButton*> items;
    for (QRadioButton* b : group->findChildren<QRadioButton*>()) {
        QObject* p = b->parent();
        while (p && p != group && !qobject_cast<QGroupBox*>(p))
            p = p->parent();
        if (p == group)
            items.push_back(b);
    }
    return items;
}

bool HasItemsProperty(QObject* c)
{
    return c->property("items").metaType().id() == QMetaType::QStringList;
}

bool IsRadioGroup(QObject* c)
{
    if (HasItemsProperty(c))
        return true;
    auto* g = qobject_cast<QGroupBox*>(c);
    return g && !RadioItems(g).isEmpty();
}

// Column captions of a list view; false for a widget without columns.
bool ColumnTexts(QObject* c, QStringList& columns)
{
    columns.clear();
    if (auto* tree = qobject_cast<QTreeWidget*>(c)) {
        for (int i = 0; i < tree->columnCount(); ++i)
            columns << tree->headerItem()->text(i);
        return true;
    }
    if (auto* table = qobject_cast<QTableWidget*>(c)) {
        for (int i = 0; i < table->columnCount(); ++i) {
            QTableWidgetItem* item = table->horizontalHeaderItem(i);
            columns << (item ? item->text() : QString());
        }
        return true;
    }
    auto* view = qobject_cast<QAbstractItemView*>(c);
    if (!view || qobject_cast<QListView*>(c) || !view->model())
        return false;
    for (int i = 0; i < view->model()->columnCount(); ++i)
        columns << view->model()->headerData(i, Qt::Horizontal).toString();
    return true;
}

void SetColumnText(QObject* c, int i, const QString& text)
{
    if (auto* tree = qobject_cast<QTreeWidget*>(c)) {
        tree->headerItem()->setText(i, text);
    } else if (auto* table = qobject_cast<QTableWidget*>(c)) {
        if (QTableWidgetItem* item = table->horizontalHeaderItem(i))
            item->setText(text);
        else
            table->setHorizontalHeaderItem(i, new QTableWidgetItem(text));
    } else if (auto* view = qobject_cast<QAbstractItemView*>(c)) {
        view->model()->setHeaderData(i, Qt::Horizontal, text);
    }
}

// Cuts one piece of a "desc|pattern|..." filter (quotes as in the
// program's token reader).
QString CutFilterPiece(std::string& rest)
{
    bool skip = true;
    return QString::fromUtf8(Tixutils::CutString(rest, skip, "|"));
}

}  // namespace

VTixLanguageForms::VTixLanguageForms(VTixLanguage* language) : QObject(language), language_(language)
{
    if (language_)
        language_->SetFormTranslator(this);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

VTixLanguageForms::~VTixLanguageForms()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    releaseLangCombo();
    if (language_ && language_->GetFormTranslator() == this)
        language_->SetFormTranslator(nullptr);
}

void VTixLanguageForms::LanguageGone()
{
    releaseLangCombo();
    langMenu_ = nullptr;
    pending_.clear();
    language_ = nullptr;
}

// ---- Lookups --------------------------------------------------------------

QString VTixLanguageForms::lookup(const std::string& section, const QString& key, const QString& def,
                                  int index, bool* found) const
{
    // The caption is kept as it is when nothing is found, so the lookup needs
    // no copy of it.
    bool hit = false;
    const std::u16string text =
        language_ ? language_->GetLangTextW(section, Ansi(key), std::u16string(), index, -1, &hit)
                  : std::u16string();
    if (found)
        *found = hit;
    return hit ? QString::fromStdU16String(text) : def;
}

bool VTixLanguageForms::isException(const std::string& section, const QString& name) const
{
    const std::string full = section + "." + Ansi(name);
    for (const std::string& pattern : language_->ExceptionList)
        if (Tixutils::CompareWildcard(pattern, full))
            return true;
    return false;
}

bool VTixLanguageForms::byRule(int member, bool exception) const
{
    return language_->Translate.Has(VTixLanguage_TranslateX(member)) != exception;
}

bool VTixLanguageForms::isReserved(QObject* component) const
{
    if (!component)
        return false;
    if (langCombo_ && component == langCombo_)
        return true;
    for (const QPointer<QAction>& a : menuActions_)
        if (a && a == component)
            return true;
    return false;
}

std::string VTixLanguageForms::formSection(QObject* form) const
{
    const std::string suffix = language_->GetAllFormsSuffix();
    const std::string name = Ansi(form->objectName());
    return suffix.empty() ? name : name + "." + suffix;
}

// ---- The walk -------------------------------------------------------------

void VTixLanguageForms::TranslateTree(const std::string& section, QObject* c)
{
    // Without a section every lookup would answer with the key itself.
    if (!c || !language_ || section.empty())
        return;
    const QString name = c->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) {
        translateChildren(section, c);
        return;
    }
    const bool reserved = isReserved(c);
    const bool exception = !reserved && isException(section, name);
    if (!reserved) {
        QString caption;
        const bool edit = qobject_cast<QLineEdit*>(c) != nullptr;
        if (GetCaption(c, caption) && (edit ? byRule(vtl_tEdit, exception) : !exception)) {
            QString text = lookup(section, name, caption, -1);
            auto* group = qobject_cast<QGroupBox*>(c);
            if (group && !text.isEmpty() &&
                language_->Pad.Has(IsRadioGroup(c) ? vtl_pRadioGroup : vtl_pGroupBox) &&
                !(text.startsWith(QLatin1Char(' ')) && text.endsWith(QLatin1Char(' '))))
                text = QLatin1Char(' ') + text.trimmed() + QLatin1Char(' ');
            if (text != caption)
                SetCaption(c, text);
        }
        QString hint;
        if (GetHint(c, hint)) {
            bool found = false;
            const QString text = lookup(section, name + QLatin1String("_Hint"), hint, -1, &found);
            if (found && text != hint)
                SetHint(c, text);
        }
    }
    translateChildren(section, c);
    if (reserved)
        return;
    translateItems(section, c, name, exception);
    if (language_->OnTranslated)
        language_->OnTranslated(language_, c, section);
}

void VTixLanguageForms::translateChildren(const std::string& section, QObject* c)
{
    // A file dialog's parts belong to Qt; the language combo keeps its items.
    if (qobject_cast<QFileDialog*>(c) || (langCombo_ && c == langCombo_))
        return;
    const QObjectList children = c->children();
    for (QObject* child : children) {
        if (IsForm(child) && !child->objectName().isEmpty())
            TranslateTree(Ansi(child->objectName()), child);
        else
            TranslateTree(section, child);
    }
}

bool VTixLanguageForms::translateList(const std::string& section, const QString& name,
                                      QStringList& list) const
{
    const QString countText = lookup(section, name + QLatin1String("_Count"), QString(), -1);
    if (countText.isEmpty())
        return false;
    const int n = std::clamp(Tixlanguage::ParseLangNumber(countText.toStdString(), 0), 0,
                             kMaxTranslatedItems);
    const int total = std::max(n, int(list.size()));
    QStringList result;
    for (int i = 0; i < total; ++i) {
        const QString current = i < list.size() ? list[i] : QString();
        result << (i < n ? lookup(section, name, current, i) : current);
    }
    list = result;
    return true;
}

void VTixLanguageForms::translateItems(const std::string& section, QObject* c, const QString& name,
                                       bool exception)
{
    QStringList items;
    if (ColumnTexts(c, items) && !qobject_cast<QListWidget*>(c)) {
        if (!exception)
            for (int i = 0; i < items.size(); ++i) {
                const QString text = lookup(section, name, items[i], i);
                if (text != items[i])
                    SetColumnText(c, i, text);
            }
        return;
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(c)) {
        items = LinesOf(memo->toPlainText());
        if (byRule(vtl_tMemo, exception) && translateList(section, name, items))
            memo->setPlainText(items.join(QLatin1Char('\n')));
        return;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(c)) {
        if (!byRule(vtl_tRichEdit, exception))
            return;
        if (!language_->Translate.Has(vtl_t_RichHTML)) {
            items = LinesOf(rich->toPlainText());
            if (translateList(section, name, items))
                rich->setPlainText(items.join(QLatin1Char('\n')));
            return;
        }
        const QString countText = lookup(section, name + QLatin1String("_Count"), QString(), -1);
        if (countText.isEmpty())
            return;
        const int n = std::clamp(Tixlanguage::ParseLangNumber(countText.toStdString(), 0), 0,
                                 kMaxTranslatedItems);
        QStringList lines;
        for (int i = 0; i < n; ++i)
            lines << lookup(section, name, QString(), i);
        SetRichEditStrings(rich, lines.join(QLatin1Char('\n')));
        return;
    }
    if (auto* list = qobject_cast<QListWidget*>(c)) {
        if (!byRule(vtl_tListBox, exception))
            return;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        const int selected = list->currentRow();
        if (!translateList(section, name, items))
            return;
        for (int i = 0; i < items.size(); ++i) {
            if (i < list->count())
                list->item(i)->setText(items[i]);
            else
                list->addItem(items[i]);
        }
        list->setCurrentRow(selected);
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(c)) {
        if (combo == langCombo_ || !byRule(vtl_tComboBox, exception))
            return;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        const int selected = combo->currentIndex();
        if (!translateList(section, name, items))
            return;
        for (int i = 0; i < items.size(); ++i) {
            if (i < combo->count())
                combo->setItemText(i, items[i]);
            else
                combo->addItem(items[i]);
        }
        combo->setCurrentIndex(selected);
        if (combo->lineEdit())
            combo->lineEdit()->deselect();
        return;
    }
    if (HasItemsProperty(c)) {
        items = c->property("items").toStringList();
        const QVariant selected = c->property("itemIndex");
        if (translateList(section, name, items)) {
            c->setProperty("items", items);
            if (selected.isValid())
                c->setProperty("itemIndex", selected);
        }
        return;
    }
    if (auto* group = qobject_cast<QGroupBox*>(c)) {
        const QList<QRadioButton*> buttons = RadioItems(group);
        if (buttons.isEmpty())
            return;
        for (QRadioButton* b : buttons)
            items << b->text();
        if (!translateList(section, name, items))
            return;
        for (int i = 0; i < items.size(); ++i) {
            if (i < buttons.size()) {
                if (buttons[i]->text() != items[i])
                    buttons[i]->setText(items[i]);
            } else {
                auto* added = new QRadioButton(items[i], group);
                if (group->layout())
                    group->layout()->addWidget(added);
                added->show();
            }
        }
        return;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(c)) {
        if (!exception)
            translateFilter(section, dialog, name);
    }
}

void VTixLanguageForms::translateFilter(const std::string& section, QFileDialog* dialog,
                                        const QString& name)
{
    // The filter in the form "description|pattern|...": as the form set it
    // (property "filter"), else made from the dialog's name filters.
    QString form = dialog->property("filter").toString();
    if (form.isEmpty()) {
        QStringList pairs;
        for (const QString& nf : dialog->nameFilters()) {
            const qsizetype open = nf.lastIndexOf(QLatin1Char('('));
            const qsizetype close = nf.lastIndexOf(QLatin1Char(')'));
            QString pattern = (open >= 0 && close > open) ? nf.mid(open + 1, close - open - 1) : QString();
            pattern = pattern.simplified().replace(QLatin1Char(' '), QLatin1Char(';'));
            pairs << nf << (pattern.isEmpty() ? QStringLiteral("*") : pattern);
        }
        form = pairs.join(QLatin1Char('|'));
    }
    if (form.isEmpty())
        return;
    const QString filterKey = name + QLatin1String("_Filter");
    std::string translated = lookup(section, filterKey, form, -1).toUtf8().toStdString();
    std::string patterns = form.toUtf8().toStdString();
    QStringList pieces;
    QStringList nameFilters;
    for (int k = 0; !translated.empty() && k < kMaxTranslatedItems; ++k) {
        const QString desc = lookup(section, filterKey, CutFilterPiece(translated), k);
        CutFilterPiece(translated);
        if (patterns.empty()) {
            pieces << desc;
            continue;
        }
        CutFilterPiece(patterns);
        const QString pattern = CutFilterPiece(patterns);
        pieces << desc << pattern;
        QString shown = pattern;
        shown.replace(QLatin1Char(';'), QLatin1Char(' '));
        nameFilters << (desc.endsWith(QLatin1Char('(') + shown + QLatin1Char(')'))
                            ? desc
                            : desc + QLatin1String(" (") + shown + QLatin1Char(')'));
    }
    dialog->setProperty("filter", pieces.join(QLatin1Char('|')));
    if (!nameFilters.isEmpty() && nameFilters != dialog->nameFilters())
        dialog->setNameFilters(nameFilters);
}

// ---- All forms, forms created later ---------------------------------------

void VTixLanguageForms::UpdateAllTexts(QObject* root)
{
    if (!language_ || language_->IsLoading() || !language_->GetActiveLangRecord())
        return;
    if (root) {
        walkWithPrefix(root, std::string(), true);
        return;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->parentWidget() && IsForm(w) && !w->objectName().isEmpty())
            TranslateTree(formSection(w), w);
}

void VTixLanguageForms::walkWithPrefix(QObject* object, const std::string& prefix, bool isRoot)
{
    if (IsForm(object)) {
        if (!object->objectName().isEmpty())
            TranslateTree(prefix + formSection(object), object);
        return;
    }
    const std::string next =
        (isRoot || object->objectName().isEmpty()) ? prefix : prefix + Ansi(object->objectName()) + ".";
    const QObjectList children = object->children();
    for (QObject* child : children)
        walkWithPrefix(child, next, false);
}

// Sees every event of the program, the 10 ms timer's too (hot: kept with
// the tick's code).
[[gnu::hot]] bool VTixLanguageForms::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Create && language_ && !language_->IsLoading()) {
        auto* w = qobject_cast<QWidget*>(watched);
        const bool window = w && w->isWindow() && w->windowType() != Qt::Popup &&
                            w->windowType() != Qt::ToolTip && w->windowType() != Qt::SplashScreen &&
                            w->windowType() != Qt::Desktop;
        if (window) {
            pending_.push_back(w);
            if (!postedPending_) {
                postedPending_ = true;
                QCoreApplication::postEvent(this, new QEvent(kTranslatePending));
            }
        }
    }
    return false;  // what QObject::eventFilter answers, without the call
}

bool VTixLanguageForms::event(QEvent* event)
{
    if (event->type() == kTranslatePending) {
        postedPending_ = false;
        translatePending();
        return true;
    }
    return QObject::event(event);
}

void VTixLanguageForms::translatePending()
{
    std::vector<QPointer<QWidget>> entries;
    entries.swap(pending_);
    if (!language_ || !language_->GetActiveLangRecord())
        return;
    for (const QPointer<QWidget>& entry : entries) {
        if (!entry)
            continue;
        QObject* form = entry;
        while (form && !IsForm(form))
            form = form->parent();
        if (!form || form->objectName().isEmpty())
            continue;
        try {
            TranslateTree(formSection(form), entry);
        } catch (const std::exception&) {
            // One form that cannot be translated must not stop the others.
        }
    }
}

// ---- Export (authoring) -----------------------------------------------------

void VTixLanguageForms::ExportTree(const std::string& section, QObject* component)
{
    if (language_ && language_->GetActiveLangRecord())
        exportTree(section, component, language_->GetCurrLanguageId());
}

void VTixLanguageForms::exportTree(const std::string& section, QObject* c, int langId)
{
    const QString name = c->objectName();
    const bool named = !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
    if (named && !isReserved(c)) {
        const std::string key = Ansi(name);
        QString text;
        if (GetCaption(c, text))
            language_->SetLangText(section, key, Ansi(text), -1, langId);
        if (GetHint(c, text) && !text.isEmpty())
            language_->SetLangText(section, key + "_Hint", Ansi(text), -1, langId);
    }
    if (!qobject_cast<QFileDialog*>(c))
        for (QObject* child : c->children())
            exportTree(IsForm(child) && !child->objectName().isEmpty() ? Ansi(child->objectName()) : section,
                       child, langId);
    if (!named || isReserved(c))
        return;
    const std::string key = Ansi(name);
    QStringList items;
    if (ColumnTexts(c, items) && !qobject_cast<QListWidget*>(c)) {
        for (int i = 0; i < items.size(); ++i)
            if (!items[i].isEmpty())
                language_->SetLangText(section, key, Ansi(items[i]), i, langId);
        return;
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(c))
        items = LinesOf(memo->toPlainText());
    else if (auto* list = qobject_cast<QListWidget*>(c))
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
    else if (auto* combo = qobject_cast<QComboBox*>(c))
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    else if (HasItemsProperty(c))
        items = c->property("items").toStringList();
    else if (auto* group = qobject_cast<QGroupBox*>(c))
        for (QRadioButton* b : RadioItems(group))
            items << b->text();
    if (auto* dialog = qobject_cast<QFileDialog*>(c)) {
        const QStringList filters = dialog->nameFilters();
        for (int i = 0; i < filters.size(); ++i)
            language_->SetLangText(section, key + "_Filter", Ansi(filters[i]), i, langId);
        return;
    }
    if (items.isEmpty())
        return;
    language_->SetLangText(section, key + "_Count", std::to_string(items.size()), -1, langId);
    for (int i = 0; i < items.size(); ++i)
        if (!items[i].isEmpty())
            language_->SetLangText(section, key, Ansi(items[i]), i, langId);
}

void VTixLanguageForms::ExportAllTexts()
{
    LanguageRecord* active = language_ ? language_->GetActiveLangRecord() : nullptr;
    if (!active)
        return;
    if (!active->HasFile)
        language_->SetLangText("General", "LanguageName", active->LanguageName, -1, 0);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->parentWidget() && IsForm(w) && !w->objectName().isEmpty())
            exportTree(Ansi(w->objectName()), w, active->GetLanguageId());
}
