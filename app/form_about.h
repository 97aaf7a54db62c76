#pragma once
#include <QDateTime>
#include <QDialog>
#include <functional>
#include <string>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TmdURLLabel;
class VTixAppInfo;

// The about dialog ("FormAbout", caption "O aplikaci ..."): product name,
// version and build date, and the maker's contact block, plain or in the
// distributor's branded variant. Shown without being modal; fixed size.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    // Section, key and Czech default in, the text of the current language
    // out (byte strings in the system code page).
    using TTextLookup =
        std::function<std::string(const std::string& Section, const std::string& Key, const std::string& Default)>;

    // appInfo gives the version, the build time and the registry (not
    // owned; it must outlive the dialog). Runs FormCreate.
    explicit TFormAbout(VTixAppInfo* appInfo, QWidget* parent = nullptr);
    ~TFormAbout() override;

    // Without one the Czech texts are shown.
    void SetTextLookup(TTextLookup lookup) { FTextLookup = std::move(lookup); }

    QGroupBox* GroupInfo;
    QLabel* LabelVersion;
    QLabel* LabelDate;
    QGroupBox* GroupContact;
    QLabel* ImageLogo;         // the maker's logo (plain variant)
    QLabel* ImageQor;          // the distributor's pictures (branded variant)
    QLabel* ImageDistributor;
    QLabel* LabelAddress1;
    QPlainTextEdit* MemoAddress;  // never translated
    TmdURLLabel* UrlLabel1;     // mail
    TmdURLLabel* UrlLabel2;     // web
    QLabel* LabelContact1;
    QPlainTextEdit* MemoContact;  // never translated
    TmdURLLabel* UrlLabel3;     // mail
    TmdURLLabel* UrlLabel4;     // web
    QLabel* LabelCopyright;
    QPushButton* BtnDone;

    // Show the distributor's variant. Read from the registry value
    // "IsMavikQor" (default 1) at creation; start-up sets it to false.
    bool branded = true;
    // When this build was made (from the application services).
    QDateTime buildTime;

    void FormCreate(QObject* Sender = nullptr);
    void FormShow(QObject* Sender = nullptr);
    void BtnDoneClick(QObject* Sender = nullptr);
    // Version and date lines in the current language (also after a change
    // of language).
    void refreshTexts();

    // The build time as the locale's long time, a blank and its long date.
    static QString BuildDateText(const QDateTime& time);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    std::string text(const std::string& key, const std::string& def) const;

    VTixAppInfo* FAppInfo;
    TTextLookup FTextLookup;
};

// The about dialog created at program entry.
extern TFormAbout* FormAbout;
