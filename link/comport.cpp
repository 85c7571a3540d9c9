#include "comport.h"

#include "comsetupdialog.h"
#include "prompt.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {

QSerialPort::DataBits ToQt(TDataBits d)
{
    static const QSerialPort::DataBits map[] = {QSerialPort::Data5, QSerialPort::Data6, QSerialPort::Data7,
                                                QSerialPort::Data8};
    return map[d];
}

QSerialPort::StopBits ToQt(TStopBits s)
{
    static const QSerialPort::StopBits map[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                QSerialPort::TwoStop};
    return map[s];
}

QSerialPort::Parity ToQt(TParity p)
{
    static const QSerialPort::Parity map[] = {QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity,
                                              QSerialPort::MarkParity, QSerialPort::SpaceParity};
    return map[p];
}

QSerialPort::FlowControl ToQt(const TFlowSettings& f)
{
    if (f.rtsHandshake && f.ctsOutFlow)
        return QSerialPort::HardwareControl;
    if (f.xonXoffIn || f.xonXoffOut)
        return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

// The device has gone when the descriptor reports a hang-up or an error;
// a transient read error (EAGAIN, EINTR) leaves it readable or idle.
bool DeviceGone(int fd)
{
    if (fd < 0)
        return true;
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, 0);
    return r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

} // namespace

TComPort::TComPort(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("ComPort1"));
}

TComPort::~TComPort() = default;

bool TComPort::Connected() const
{
    return port_ && port_->isOpen();
}

void TComPort::Open()
{
    if (Connected())
        return;
    if (settings_.port.trimmed().isEmpty())
        throw EComPortError(QStringLiteral("No serial port is chosen"));

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(settings_.port);
    if (!port->open(QIODevice::ReadWrite))
        throw EComPortError(QStringLiteral("Unable to open %1: %2").arg(settings_.port, port->errorString()));
    port_ = std::move(port);
    connect(port_.get(), &QSerialPort::readyRead, this, &TComPort::HandleReadyRead);
    connect(port_.get(), &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) { HandleError(e); });
    try {
        ApplySettings();
    } catch (...) {
        Close();
        throw;
    }
    // Whatever sat in the port before it was ours is not an answer to us.
    port_->clear(QSerialPort::Input);
    port_->readAll();
}

void TComPort::Close()
{
    if (!port_)
        return;
    port_->disconnect(this);
    port_->close();
    port_.reset();
}

void TComPort::ApplySettings()
{
    if (!Connected())
        return;
    const int rate = settings_.BitsPerSecond();
    if (rate <= 0 || !port_->setBaudRate(rate) || !port_->setDataBits(ToQt(settings_.dataBits))
        || !port_->setParity(ToQt(settings_.parity)) || !port_->setStopBits(ToQt(settings_.stopBits))
        || !port_->setFlowControl(ToQt(settings_.flow)))
        throw EComPortError(QStringLiteral("Unable to configure %1: %2").arg(settings_.port, port_->errorString()));
    // DTR and RTS stay off unless RTS handshaking is chosen. A pseudo-terminal
    // has no modem lines and refuses these as unsupported; that is no failure.
    port_->setDataTerminalReady(false);
    if (!settings_.flow.rtsHandshake)
        port_->setRequestToSend(false);
    port_->clearError();
}

void TComPort::SetSettings(const TComPortSettings& settings)
{
    const bool reopen = Connected() && settings.port != settings_.port;
    settings_ = settings;
    if (reopen) {
        Close();
        Open();
    } else {
        ApplySettings();
    }
}

void TComPort::Write(const void* buffer, int count)
{
    if (!Connected())
        throw EComPortError(QStringLiteral("Serial port is not open"));
    const int fd = int(port_->handle());
    QDeadlineTimer deadline(qint64(WriteTimeoutPerByteMs) * count + WriteTimeoutConstantMs);
    const char* p = static_cast<const char*>(buffer);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, p + done, size_t(count - done));
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw EComPortError(QStringLiteral("Write error on %1: %2").arg(settings_.port, QString::fromLocal8Bit(std::strerror(errno))));
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            throw EComPortError(QStringLiteral("Write timeout on %1").arg(settings_.port));
        pollfd pfd{fd, POLLOUT, 0};
        ::poll(&pfd, 1, int(left));
    }
}

int TComPort::Read(void* buffer, int count)
{
    if (!Connected())
        throw EComPortError(QStringLiteral("Serial port is not open"));
    const qint64 n = port_->read(static_cast<char*>(buffer), count);
    if (n < 0)
        throw EComPortError(QStringLiteral("Read error on %1: %2").arg(settings_.port, port_->errorString()));
    return int(n);
}

int TComPort::InputCount() const
{
    return Connected() ? int(port_->bytesAvailable()) : 0;
}

void TComPort::HandleReadyRead()
{
    errorCount_ = 0;
    const int waiting = InputCount();
    if (waiting > 0)
        emit OnRxChar(waiting);
}

void TComPort::HandleError(int error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError
        && error != QSerialPort::WriteError)
        return;
    if (!Connected())
        return;
    // A lone transient error is not a loss; a descriptor that reports a
    // hang-up is, and so is an unbroken stream of errors with no data.
    if (!errorBurst_.isValid() || errorBurst_.elapsed() > 1000) {
        errorBurst_.start();
        errorCount_ = 0;
    }
    ++errorCount_;
    if (!DeviceGone(int(port_->handle())) && errorCount_ < 100) {
        port_->clearError();
        return;
    }
    const QString reason = port_->errorString();
    // Closing inside QSerialPort's own notification is not safe; stop
    // listening now and close from the event loop.
    port_->disconnect(this);
    QMetaObject::invokeMethod(this, [this, reason] {
        Close();
        emit OnPortLost(reason);
    }, Qt::QueuedConnection);
}

bool TComPort::ShowSetupDialog(QWidget* parent)
{
    TComSetupDialog dialog(settings_, parent);
    if (Prompt().Exec(dialog) != QDialog::Accepted)
        return false;
    SetSettings(dialog.Chosen());
    return true;
}
