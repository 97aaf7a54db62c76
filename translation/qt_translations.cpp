#include "translation/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "translation/locale_table.h"

VTixQtTranslations::VTixQtTranslations(std::string folder) : folder_(std::move(folder)) {}

VTixQtTranslations::~VTixQtTranslations()
{
    if (translator_)
        QCoreApplication::removeTranslator(translator_.get());
}

std::string VTixQtTranslations::DefaultFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
}

bool VTixQtTranslations::SelectLanguage(int langId)
{
    if (langId == langId_)
        return translator_ != nullptr;
    langId_ = langId;
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    const std::string name = Tixlanguage::QtLocaleNameOf(langId);
    if (name.empty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    // "qtbase_cs_CZ.qm", else "qtbase_cs.qm".
    if (!translator->load(QLocale(QString::fromLatin1(name.c_str())), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QString::fromStdString(folder_)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    translator_ = std::move(translator);
    return true;
}

std::string VTixQtTranslations::FileName() const
{
    return translator_ ? translator_->filePath().toStdString() : std::string();
}
