// The console's serial port: a small layer on QSerialPort with what the
// console relies on of a serial-port component.
//
//  - Open() opens the port named by the settings (nothing when open already)
//    and throws EComPortError when it cannot (empty name, no such port, in
//    use). Whatever is waiting in the port right after it opens is discarded.
//  - Write() is synchronous: it returns once the bytes are handed over, or
//    throws when the write fails, the port is closed, or the write time-out
//    (100 ms per byte plus 1000 ms) passes.
//  - Read() copies what has already arrived, up to the count, at once.
//  - OnRxChar is raised when characters have arrived and at least one byte
//    is waiting.
//  - When the open port fails underneath (adapter pulled, pseudo-terminal
//    hung up) the port is closed and OnPortLost is raised once.
#pragma once

#include "comportsettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

class QSerialPort;
class QWidget;

class EComPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit EComPortError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// Where LoadSettings/StoreSettings keep the settings.
enum TStoreType { stRegistry, stIniFile };

class TComPort : public QObject {
    Q_OBJECT
public:
    static constexpr int WriteTimeoutPerByteMs = 100;
    static constexpr int WriteTimeoutConstantMs = 1000;

    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    const TComPortSettings& Settings() const { return settings_; }
    // Applies new settings together. When the port is open they take effect
    // at once, and a changed port name closes the port and opens the new one
    // (throwing like Open() when that fails).
    void SetSettings(const TComPortSettings& settings);

    void Open();
    void Close();
    bool Connected() const;

    void Write(const void* buffer, int count);
    int Read(void* buffer, int count);
    int InputCount() const;

    // The modal setup dialog ("Setup", six lists, OK/Cancel) through the
    // prompt seam. Returns true when the operator chose OK.
    bool ShowSetupDialog(QWidget* parent = nullptr);

    // Load or store the basic settings (port, baud rate, data bits, stop
    // bits, parity, flow control) in the settings store. `path` reads
    // "ROOT\Key": the part after the first backslash, plus "\" and the
    // component's own name, is the key. Errors are thrown.
    void LoadSettings(TStoreType type, const QString& path);
    void StoreSettings(TStoreType type, const QString& path);

signals:
    void OnRxChar(int count);
    void OnPortLost(const QString& reason);

private:
    void ApplySettings();
    void HandleError(int error);
    void HandleReadyRead();

    TComPortSettings settings_;
    QElapsedTimer errorBurst_;
    int errorCount_ = 0;
    std::unique_ptr<QSerialPort> port_;
};
