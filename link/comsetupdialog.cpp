#include "comsetupdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QSerialPortInfo>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

QStringList SimulatedBoardLinks()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QStringList links;
    if (runtime.isEmpty())
        return links;
    const QDir dir(runtime + QStringLiteral("/tarmisk-boards"));
    for (const QFileInfo& info : dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        // A link whose pseudo-terminal has gone belongs to a board that died.
        if (info.isSymLink() && QFileInfo::exists(info.symLinkTarget()))
            links << info.absoluteFilePath();
    }
    return links;
}

QList<TPortChoice> AvailablePorts()
{
    QList<TPortChoice> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString label = info.systemLocation();
        if (!info.description().isEmpty())
            label += QStringLiteral("  (%1)").arg(info.description());
        ports.append({info.systemLocation(), label});
    }
    std::sort(ports.begin(), ports.end(), [](const TPortChoice& a, const TPortChoice& b) { return a.name < b.name; });
    for (const QString& link : SimulatedBoardLinks())
        ports.append({link, link + QStringLiteral("  (simulated board)")});
    return ports;
}

namespace {

QComboBox* MakeList(const QStringList& choices, int current, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems(choices);
    if (current >= 0 && current < choices.size())
        box->setCurrentIndex(current);
    return box;
}

} // namespace

TComSetupDialog::TComSetupDialog(const TComPortSettings& current, QWidget* parent)
    : QDialog(parent)
    , current_(current)
{
    setWindowTitle(QStringLiteral("Setup"));
    setObjectName(QStringLiteral("Setup"));

    // The port list is refreshed every time the dialog opens; a device path
    // that the system does not list (a by-id link, a pseudo-terminal) can be
    // typed in.
    port_ = new QComboBox(this);
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->setMinimumContentsLength(36);
    int found = -1;
    for (const TPortChoice& p : AvailablePorts()) {
        port_->addItem(p.label, p.name);
        if (p.name == current.port)
            found = port_->count() - 1;
    }
    if (found >= 0)
        port_->setCurrentIndex(found);
    else
        port_->setEditText(current.port);

    baud_ = MakeList(BaudRateTexts(), current.baudRate, this);
    dataBits_ = MakeList(DataBitsTexts(), current.dataBits, this);
    stopBits_ = MakeList(StopBitsTexts(), current.stopBits, this);
    parity_ = MakeList(ParityTexts(), current.parity, this);
    flow_ = MakeList(FlowControlTexts(), current.FlowChoice(), this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Port"), port_);
    form->addRow(QStringLiteral("Baud rate"), baud_);
    form->addRow(QStringLiteral("Data bits"), dataBits_);
    form->addRow(QStringLiteral("Stop bits"), stopBits_);
    form->addRow(QStringLiteral("Parity"), parity_);
    form->addRow(QStringLiteral("Flow control"), flow_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

TComPortSettings TComSetupDialog::Chosen() const
{
    TComPortSettings s = current_;
    const QString typed = port_->currentText().trimmed();
    const int item = port_->findText(port_->currentText());
    s.port = item >= 0 ? port_->itemData(item).toString() : typed;
    s.baudRate = TBaudRate(baud_->currentIndex());
    s.dataBits = TDataBits(dataBits_->currentIndex());
    s.stopBits = TStopBits(stopBits_->currentIndex());
    s.parity = TParity(parity_->currentIndex());
    s.SetFlowChoice(TFlowControlChoice(flow_->currentIndex()));
    return s;
}
