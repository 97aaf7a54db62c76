// The component's own small settings window: port, baud rate, parity and
// stop bits.
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "foundation/qt/form_utils.h"
#include "platform/qt/qt_text.h"
#include "serial/vtscomm32.h"

void TVTSComm32::ConfigDialog2(const std::string& Caption)
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("ConfigDialog2"));
    dialog.setWindowTitle(Platform::ToQString(Caption.empty() ? "Settings for " + commPort_ : Caption));
    dialog.setModal(true);

    auto* port = new QComboBox(&dialog);
    port->setObjectName(QStringLiteral("ComboPort"));
    port->setEditable(true);
    SetCommComboBoxItems(port);
    SetCommComboBoxIndex(port);

    auto* baud = new QComboBox(&dialog);
    baud->setObjectName(QStringLiteral("ComboBaudRate"));
    for (uint32_t rate : TBaudRateLookup)
        baud->addItem(QString::number(rate));
    baud->setCurrentIndex(static_cast<int>(baudRate_));

    auto* parity = new QComboBox(&dialog);
    parity->setObjectName(QStringLiteral("ComboParity"));
    for (const char* name : TParityLookup)
        parity->addItem(QString::fromLatin1(name));
    parity->setCurrentIndex(static_cast<int>(parity_));

    auto* stop = new QComboBox(&dialog);
    stop->setObjectName(QStringLiteral("ComboStopBits"));
    for (const char* text : TStopBitsLookup)
        stop->addItem(QString::fromLatin1(text));
    stop->setCurrentIndex(static_cast<int>(stopBits_));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("COM port:"), port);
    form->addRow(QStringLiteral("Baud rate:"), baud);
    form->addRow(QStringLiteral("Parity:"), parity);
    form->addRow(QStringLiteral("Stop bits:"), stop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    dialog.adjustSize();
    Tixutils::MoveFormToCenter(&dialog, nullptr, false);

    if (dialog.exec() != QDialog::Accepted)
        return;
    SetCommPort(Platform::FromQString(port->currentText()));
    // The lists hold their tables in order, so an index is the setting.
    if (baud->currentIndex() >= 0)
        SetBaudRate(static_cast<TBaudRate>(baud->currentIndex()));
    if (parity->currentIndex() >= 0)
        SetParity(static_cast<TParity>(parity->currentIndex()));
    if (stop->currentIndex() >= 0)
        SetStopBits(static_cast<TStopBits>(stop->currentIndex()));
}
