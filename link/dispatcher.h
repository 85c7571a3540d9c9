// The reply dispatcher: reads what the board sent, cuts it into replies and
// hands each, in arrival order, to the handler of its frame code.
//
// The first received-characters event arms Timer1 (20 ms; an armed timer is
// not restarted by later events); when it fires the dispatcher reads
// everything waiting, and routes every complete reply: the reply is copied to
// the receive buffer from byte 0 and its handler is called with the buffer.
// Bytes of a reply still incomplete are kept for the next run, and dropped
// once no byte has arrived for a while (TReplyFramer::StaleMs).
#pragma once

#include "framer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>

class TComPort;

// The main window's receive buffer: a read fills bytes from 0; bytes a reply
// does not reach keep their earlier contents.
using TRxBuffer = std::array<std::uint8_t, 41>;

class TReplyDispatcher : public QObject {
    Q_OBJECT
public:
    using THandler = std::function<void(std::uint8_t* rx)>;
    static constexpr int SettleMs = 20;

    TReplyDispatcher(TComPort& port, TRxBuffer& rx, QObject* parent = nullptr);

    // The handler of one frame code; codes without a handler are dropped.
    void SetHandler(std::uint8_t code, THandler handler);

    QTimer& Timer1() { return timer1_; }

    // The port's received-characters event.
    void ComPort1RxChar(int count);
    // Timer1 elapsed.
    void Timer1Timer();
    // Forgets bytes kept from earlier reads (the port was opened or lost).
    void Reset();

signals:
    // Reading failed, or a handler threw: the reply's handling was cut short.
    void HandlerFailed(const QString& reason);

private:
    void Route();

    TComPort& port_;
    TRxBuffer& rx_;
    std::array<THandler, 256> handlers_;
    QTimer timer1_;
    QTimer staleTimer_;
    TReplyFramer framer_;
    QElapsedTimer clock_;
};
