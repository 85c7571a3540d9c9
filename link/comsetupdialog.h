// The serial port's setup dialog: "Setup", six lists, OK and Cancel.
#pragma once

#include "comportsettings.h"

#include <QDialog>

class QComboBox;

struct TPortChoice {
    QString name;  // what the port is opened by (a device path)
    QString label; // what the list shows
};

// The ports to choose from: the system's serial ports sorted by name, then
// the simulated boards running for this user.
QList<TPortChoice> AvailablePorts();
// Links of the simulated boards, live ones only (<runtime>/tarmisk-boards).
QStringList SimulatedBoardLinks();

class TComSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit TComSetupDialog(const TComPortSettings& current, QWidget* parent = nullptr);

    // The settings as chosen (meaningful after OK).
    TComPortSettings Chosen() const;

    QComboBox* PortList() const { return port_; }
    QComboBox* BaudList() const { return baud_; }
    QComboBox* DataBitsList() const { return dataBits_; }
    QComboBox* StopBitsList() const { return stopBits_; }
    QComboBox* ParityList() const { return parity_; }
    QComboBox* FlowList() const { return flow_; }

private:
    TComPortSettings current_;
    QComboBox* port_;
    QComboBox* baud_;
    QComboBox* dataBits_;
    QComboBox* stopBits_;
    QComboBox* parity_;
    QComboBox* flow_;
};
