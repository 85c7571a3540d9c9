#include "dispatcher.h"

#include "comport.h"

#include <algorithm>
#include <exception>
#include <vector>

TReplyDispatcher::TReplyDispatcher(TComPort& port, TRxBuffer& rx, QObject* parent)
    : QObject(parent)
    , port_(port)
    , rx_(rx)
{
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(SettleMs);
    timer1_.setTimerType(Qt::PreciseTimer);
    connect(&timer1_, &QTimer::timeout, this, &TReplyDispatcher::Timer1Timer);
    staleTimer_.setSingleShot(true);
    connect(&staleTimer_, &QTimer::timeout, this, &TReplyDispatcher::Route);
    connect(&port_, &TComPort::OnRxChar, this, &TReplyDispatcher::ComPort1RxChar);
    clock_.start();
}

void TReplyDispatcher::SetHandler(std::uint8_t code, THandler handler)
{
    handlers_[code] = std::move(handler);
}

void TReplyDispatcher::ComPort1RxChar(int)
{
    if (!timer1_.isActive())
        timer1_.start();
}

void TReplyDispatcher::Reset()
{
    timer1_.stop();
    staleTimer_.stop();
    framer_.Clear();
}

void TReplyDispatcher::Timer1Timer()
{
    timer1_.stop();
    if (!port_.Connected())
        return;
    try {
        std::uint8_t chunk[512];
        for (;;) {
            const int n = port_.Read(chunk, int(sizeof chunk));
            if (n <= 0)
                break;
            framer_.Feed(chunk, std::size_t(n), clock_.elapsed());
        }
    } catch (const std::exception& e) {
        emit HandlerFailed(QString::fromUtf8(e.what()));
        return;
    }
    Route();
}

void TReplyDispatcher::Route()
{
    staleTimer_.stop();
    std::vector<std::uint8_t> frame;
    while (framer_.Next(frame, clock_.elapsed())) {
        std::copy(frame.begin(), frame.end(), rx_.begin());
        const THandler& handler = handlers_[frame[0]];
        if (!handler)
            continue;
        try {
            handler(rx_.data());
        } catch (const std::exception& e) {
            emit HandlerFailed(QString::fromUtf8(e.what()));
        } catch (...) {
            emit HandlerFailed(QString());
        }
    }
    if (framer_.Pending() > 0)
        staleTimer_.start(int(std::max<std::int64_t>(1, framer_.StaleAt() - clock_.elapsed() + 1)));
}
