#include "ptyboard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

TPtyBoard::TPtyBoard()
{
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = QString::fromLocal8Bit(name);
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TPtyBoard::Drain);
}

TPtyBoard::~TPtyBoard()
{
    Hangup();
}

void TPtyBoard::Drain()
{
    if (master_ < 0)
        return;
    char buf[4096];
    bool any = false;
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            received_.append(buf, n);
            any = true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (any)
        emit BytesReceived();
}

void TPtyBoard::Send(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            throw std::runtime_error("write to pty master failed");
    }
}

QByteArray TPtyBoard::Take()
{
    Drain();
    QByteArray out;
    out.swap(received_);
    return out;
}

bool TPtyBoard::WaitFor(const QByteArray& bytes, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!received_.contains(bytes)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        Drain();
        QThread::msleep(1);
    }
    return true;
}

void TPtyBoard::Hangup()
{
    notifier_.reset();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
