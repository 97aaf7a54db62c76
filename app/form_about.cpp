#include "app/form_about.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/app_info.h"
#include "app/form_helpers.h"
#include "app/url_label.h"
#include "platform/qt/qt_text.h"

// Q_INIT_RESOURCE declares a function of the global namespace.
static void InitAboutPictureResource() { Q_INIT_RESOURCE(about_pictures); }

using FormHelpers::Cz;

TFormAbout* FormAbout = nullptr;

namespace {

// The contact block is the product owner's to fill in; these stand in.
const char* const kMakerAddress = "Tix\nUlice 1\n000 00 M\xECsto\n\xC8\x65sk\xE1 republika";
const char* const kMakerMail = "info@example.com";
const char* const kMakerWeb = "www.example.com";
const char* const kDistributorAddress = "Distributor\nUlice 2\n000 00 M\xECsto";
const char* const kDistributorMail = "obchod@example.net";
const char* const kDistributorWeb = "www.example.net";

QLabel* pictureLabel(const QString& resource, const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(QPixmap(resource));
    label->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

// A read-only memo without border that shows all its lines.
QPlainTextEdit* addressMemo(const char* cp1250, const char* name, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(Cz(cp1250), parent);
    memo->setObjectName(QLatin1String(name));
    memo->setReadOnly(true);
    memo->setFrameStyle(QFrame::NoFrame);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->viewport()->setAutoFillBackground(false);
    memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    memo->document()->setDocumentMargin(0);
    const QFontMetrics fm(memo->font());
    const int lines = memo->document()->blockCount();
    int width = 0;
    for (const QString& line : memo->toPlainText().split(QLatin1Char('\n')))
        width = std::max(width, fm.horizontalAdvance(line));
    memo->setFixedSize(width + 8, lines * fm.lineSpacing() + 4);
    return memo;
}

TmdURLLabel* urlLabel(TmdLinkType kind, const char* address, const char* name, QWidget* parent)
{
    auto* label = new TmdURLLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->SetLinkType(kind);
    label->SetURL(address);
    label->SetActiveCursor(QCursor(Qt::PointingHandCursor));
    return label;
}

}  // namespace

TFormAbout::TFormAbout(VTixAppInfo* appInfo, QWidget* parent) : QDialog(parent), FAppInfo(appInfo)
{
    InitAboutPictureResource();
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(Cz("O aplikaci ..."));
    // A fixed border with the system menu and the minimise box only.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);
    if (FAppInfo)
        buildTime = FAppInfo->GetSourceLastModified();
    buildControls();
    LabelDate->setText(BuildDateText(buildTime));
    FormCreate(this);
}

TFormAbout::~TFormAbout()
{
    if (FormAbout == this)
        FormAbout = nullptr;
}

void TFormAbout::buildControls()
{
    GroupInfo = new QGroupBox(Cz(" Informace "), this);
    GroupInfo->setObjectName(QStringLiteral("GroupInfo"));
    LabelVersion = new QLabel(GroupInfo);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    QFont big = LabelVersion->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.25);
    LabelVersion->setFont(big);
    LabelDate = new QLabel(GroupInfo);
    LabelDate->setObjectName(QStringLiteral("LabelDate"));
    auto* info = new QVBoxLayout(GroupInfo);
    info->setSpacing(4);
    info->addWidget(LabelVersion);
    info->addWidget(LabelDate);

    GroupContact = new QGroupBox(Cz(" Kontakt "), this);
    GroupContact->setObjectName(QStringLiteral("GroupContact"));
    ImageLogo = pictureLabel(QStringLiteral(":/about/logo_maker.png"), "ImageLogo", GroupContact);
    ImageQor = pictureLabel(QStringLiteral(":/about/distributor_emblem.png"), "ImageQor", GroupContact);
    ImageDistributor =
        pictureLabel(QStringLiteral(":/about/distributor_banner.png"), "ImageDistributor", GroupContact);
    LabelAddress1 = new QLabel(Cz("V\xFDrobce:"), GroupContact);
    LabelAddress1->setObjectName(QStringLiteral("LabelAddress1"));
    MemoAddress = addressMemo(kMakerAddress, "MemoAddress", GroupContact);
    UrlLabel1 = urlLabel(TmdLinkType::mailto, kMakerMail, "UrlLabel1", GroupContact);
    UrlLabel2 = urlLabel(TmdLinkType::http, kMakerWeb, "UrlLabel2", GroupContact);
    LabelContact1 = new QLabel(Cz("Distributor:"), GroupContact);
    LabelContact1->setObjectName(QStringLiteral("LabelContact1"));
    MemoContact = addressMemo(kDistributorAddress, "MemoContact", GroupContact);
    UrlLabel3 = urlLabel(TmdLinkType::mailto, kDistributorMail, "UrlLabel3", GroupContact);
    UrlLabel4 = urlLabel(TmdLinkType::http, kDistributorWeb, "UrlLabel4", GroupContact);
    LabelCopyright = new QLabel(GroupContact);
    LabelCopyright->setObjectName(QStringLiteral("LabelCopyright"));
    if (FAppInfo)
        LabelCopyright->setText(Platform::ToQString(FAppInfo->GetLegalCopyright()));
    QFont caption = LabelAddress1->font();
    caption.setBold(true);
    LabelAddress1->setFont(caption);
    LabelContact1->setFont(caption);

    // Pictures left of the addresses, the maker's block above the
    // distributor's; the distributor's banner below its address.
    auto* contact = new QGridLayout(GroupContact);
    contact->setHorizontalSpacing(16);
    contact->setVerticalSpacing(2);
    contact->addWidget(ImageLogo, 0, 0, 4, 1, Qt::AlignTop | Qt::AlignHCenter);
    contact->addWidget(LabelAddress1, 0, 1);
    contact->addWidget(MemoAddress, 1, 1, Qt::AlignLeft);
    contact->addWidget(UrlLabel1, 2, 1);
    contact->addWidget(UrlLabel2, 3, 1);
    contact->setRowMinimumHeight(4, 12);
    contact->addWidget(ImageQor, 5, 0, 4, 1, Qt::AlignTop | Qt::AlignHCenter);
    contact->addWidget(LabelContact1, 5, 1);
    contact->addWidget(MemoContact, 6, 1, Qt::AlignLeft);
    contact->addWidget(UrlLabel3, 7, 1);
    contact->addWidget(UrlLabel4, 8, 1);
    ImageDistributor->setContentsMargins(0, 8, 0, 0);
    contact->addWidget(ImageDistributor, 9, 0, 1, 2, Qt::AlignHCenter);
    contact->addWidget(LabelCopyright, 10, 0, 1, 2);
    contact->setColumnMinimumWidth(0, 64);
    contact->setColumnStretch(1, 1);

    BtnDone = new QPushButton(Cz("Zav\xF8\xEDt"), this);
    BtnDone->setObjectName(QStringLiteral("BtnDone"));
    BtnDone->setDefault(true);
    BtnDone->setMinimumWidth(BtnDone->sizeHint().width() + 24);
    connect(BtnDone, &QPushButton::clicked, this, [this] { BtnDoneClick(BtnDone); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnDone);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(12, 12, 12, 12);
    main->setSpacing(10);
    main->addWidget(GroupInfo);
    main->addWidget(GroupContact);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
    // Room for a longer version or date line in another language.
    GroupInfo->setMinimumWidth(320);
}

std::string TFormAbout::text(const std::string& key, const std::string& def) const
{
    return FTextLookup ? FTextLookup("FormAbout", key, def) : def;
}

QString TFormAbout::BuildDateText(const QDateTime& time)
{
    const QLocale locale;
    // The long time without the time zone that Qt's long format adds.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    return locale.toString(time.time(), timeFormat) + QLatin1Char(' ') +
           locale.toString(time.date(), QLocale::LongFormat);
}

void TFormAbout::FormCreate(QObject* Sender)
{
    (void)Sender;
    branded = FAppInfo ? FAppInfo->ReadRegistryInteger("", "IsMavikQor", 1) != 0 : true;
}

void TFormAbout::refreshTexts()
{
    LabelDate->setText(BuildDateText(buildTime));
    const std::string product = FAppInfo ? FAppInfo->GetProductName() : std::string();
    const std::string version = FAppInfo ? FAppInfo->GetProductVersion() : std::string();
    LabelVersion->setText(Platform::ToQString(product + " " + text("Version", "Verze") + " " + version));
}

void TFormAbout::FormShow(QObject* Sender)
{
    (void)Sender;
    refreshTexts();
    for (QWidget* w : {static_cast<QWidget*>(LabelContact1), static_cast<QWidget*>(ImageQor),
                       static_cast<QWidget*>(ImageDistributor), static_cast<QWidget*>(UrlLabel3),
                       static_cast<QWidget*>(UrlLabel4), static_cast<QWidget*>(MemoContact)})
        w->setVisible(branded);
    LabelCopyright->setVisible(!branded);
    ImageLogo->setVisible(!branded);
    // Every link opens what it shows.
    for (TmdURLLabel* link : {UrlLabel1, UrlLabel2, UrlLabel3, UrlLabel4})
        link->SetURL(link->GetCaption());
}

void TFormAbout::BtnDoneClick(QObject* Sender)
{
    (void)Sender;
    close();
}

void TFormAbout::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow(this);
    QDialog::showEvent(event);
}
