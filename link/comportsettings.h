// The serial port's configuration and the texts it is stored and chosen by.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

enum TBaudRate {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
    br19200, br38400, br56000, br57600, br115200, br128000, br256000,
};
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParity { prNone, prOdd, prEven, prMark, prSpace };
// The setup dialog's flow-control choice. "Custom" leaves the individual
// settings below as they are.
enum TFlowControlChoice { fwHardware, fwSoftware, fwNone, fwCustom };

struct TFlowSettings {
    bool rtsHandshake = false;  // RTS line used for handshaking
    bool ctsOutFlow = false;    // output waits for CTS
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    bool operator==(const TFlowSettings&) const = default;
};

struct TComPortSettings {
    QString port = QStringLiteral("COM1");
    TBaudRate baudRate = br9600;
    int customBaudRate = 9600; // used when baudRate is brCustom
    TDataBits dataBits = dbEight;
    TStopBits stopBits = sbOneStopBit;
    TParity parity = prNone;
    TFlowSettings flow;        // none at all by default
    bool operator==(const TComPortSettings&) const = default;

    // Which of the four choices the individual flow settings amount to.
    TFlowControlChoice FlowChoice() const;
    // Applies a choice; fwCustom changes nothing.
    void SetFlowChoice(TFlowControlChoice choice);
    // The line rate in bits per second.
    int BitsPerSecond() const;
};

// The choices of each list, in list order, as the setup dialog shows them and
// the settings store writes them.
const QStringList& BaudRateTexts();
const QStringList& DataBitsTexts();
const QStringList& StopBitsTexts();
const QStringList& ParityTexts();
const QStringList& FlowControlTexts();

// Index of `text` in `list`, ignoring letter case; nullopt when absent.
std::optional<int> MatchText(const QStringList& list, const QString& text);
