// The board's end of a real pseudo-terminal, for tests that play the board.
// The console opens Path() as its serial port; whatever it writes collects
// in Received() while the Qt event loop runs.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

class TPtyBoard : public QObject {
    Q_OBJECT
public:
    TPtyBoard();
    ~TPtyBoard() override;

    QString Path() const { return path_; }

    // Writes bytes to the console.
    void Send(const QByteArray& bytes);
    // Everything the console has written since the last Take().
    const QByteArray& Received() const { return received_; }
    QByteArray Take();
    // Runs the event loop until Received() holds `bytes` or the time is up.
    bool WaitFor(const QByteArray& bytes, int timeoutMs = 2000);
    // Closes the board's end, as a pulled cable does.
    void Hangup();
    bool IsOpen() const { return master_ >= 0; }

signals:
    void BytesReceived();

private:
    void Drain();

    int master_ = -1;
    int slave_ = -1;
    QString path_;
    QByteArray received_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Bytes from a hex text such as "AC 02 AE".
QByteArray Hex(const char* text);
