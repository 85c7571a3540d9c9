#include "comportsettings.h"

TFlowControlChoice TComPortSettings::FlowChoice() const
{
    if (flow.rtsHandshake && flow.ctsOutFlow && !flow.xonXoffIn && !flow.xonXoffOut)
        return fwHardware;
    if (!flow.rtsHandshake && !flow.ctsOutFlow && flow.xonXoffIn && flow.xonXoffOut)
        return fwSoftware;
    if (flow == TFlowSettings{})
        return fwNone;
    return fwCustom;
}

void TComPortSettings::SetFlowChoice(TFlowControlChoice choice)
{
    switch (choice) {
    case fwHardware:
        flow = {true, true, false, false};
        break;
    case fwSoftware:
        flow = {false, false, true, true};
        break;
    case fwNone:
        flow = {};
        break;
    case fwCustom:
        break;
    }
}

int TComPortSettings::BitsPerSecond() const
{
    static const int rates[] = {0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                                19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return baudRate == brCustom ? customBaudRate : rates[baudRate];
}

const QStringList& BaudRateTexts()
{
    static const QStringList t = {"Custom", "110", "300", "600", "1200", "2400", "4800", "9600",
                                  "14400", "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
    return t;
}

const QStringList& DataBitsTexts()
{
    static const QStringList t = {"5", "6", "7", "8"};
    return t;
}

const QStringList& StopBitsTexts()
{
    static const QStringList t = {"1", "1.5", "2"};
    return t;
}

const QStringList& ParityTexts()
{
    static const QStringList t = {"None", "Odd", "Even", "Mark", "Space"};
    return t;
}

const QStringList& FlowControlTexts()
{
    static const QStringList t = {"Hardware", "Software", "None", "Custom"};
    return t;
}

std::optional<int> MatchText(const QStringList& list, const QString& text)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}
