// The serial port and the reply dispatcher over a real pseudo-terminal,
// with the test playing the board.
#include "codec.h"
#include "comport.h"
#include "comsetupdialog.h"
#include "dispatcher.h"
#include "ptyboard.h"
#include "recordingprompt.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Routed {
    QList<QByteArray> frames;
};

} // namespace

class TestSerial : public QObject {
    Q_OBJECT
private slots:
    void openFailures_data();
    void openFailures();
    void openDiscardsWaitingBytes();
    void writeReachesBoard();
    void dispatcherRoutesInArrivalOrder();
    void dispatcherKeepsTheRestOfASplitDump();
    void dispatcherLeavesUnreachedBytes();
    void handlerFailureIsReported();
    void hangupIsOneLossAndIdle();
    void setupDialogAppliesChoices();
    void setupDialogCancelChangesNothing();
    void setupDialogReopensOnPortChange();
};

void TestSerial::openFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty name") << QString();
    QTest::newRow("blank name") << QStringLiteral("   ");
    QTest::newRow("no such port") << QStringLiteral("/dev/tarmisk-no-such-port");
}

void TestSerial::openFailures()
{
    QFETCH(QString, name);
    TComPort port;
    TComPortSettings s;
    s.port = name;
    port.SetSettings(s);
    QVERIFY_THROWS_EXCEPTION(EComPortError, port.Open());
    QVERIFY(!port.Connected());
}

void TestSerial::openDiscardsWaitingBytes()
{
    TPtyBoard board;
    board.Send(Hex("AC 02 AE"));
    TComPort port;
    TComPortSettings s;
    s.port = board.Path();
    port.SetSettings(s);
    port.Open(); // DTR/RTS are unsupported on a pseudo-terminal: no failure
    QVERIFY(port.Connected());
    QTest::qWait(30);
    char buf[8];
    QCOMPARE(port.Read(buf, 8), 0);
    port.Open(); // already open: nothing happens
    QVERIFY(port.Connected());
}

void TestSerial::writeReachesBoard()
{
    TPtyBoard board;
    TComPort port;
    TComPortSettings s;
    s.port = board.Path();
    port.SetSettings(s);
    port.Open();
    port.Write(Hex("AC 02 AE 7C").constData(), 4);
    QVERIFY(board.WaitFor(Hex("AC 02 AE 7C")));
    port.Close();
    QVERIFY_THROWS_EXCEPTION(EComPortError, port.Write("x", 1));
}

namespace {

struct Fixture {
    TPtyBoard board;
    TComPort port;
    TRxBuffer rx{};
    TReplyDispatcher dispatcher{port, rx};
    QList<QByteArray> routed;

    Fixture()
    {
        TComPortSettings s;
        s.port = board.Path();
        port.SetSettings(s);
        port.Open();
        for (int code : {0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xCA, 0xCB, 0xCC, 0xEE})
            dispatcher.SetHandler(std::uint8_t(code), [this](std::uint8_t* buf) {
                routed << QByteArray(reinterpret_cast<const char*>(buf), 41);
            });
    }
};

} // namespace

void TestSerial::dispatcherRoutesInArrivalOrder()
{
    Fixture f;
    const QByteArray meas = Hex("EE 12 34 01 00 19 03 E8 00 00 00 00 00 00 3B");
    // A measurement and a write-request acknowledgement in one burst, with a
    // terminator and a stop answer (no handler) around them.
    f.board.Send(meas + Hex("7C AF 02 AD AA 02 A8 7C"));
    QTRY_COMPARE(f.routed.size(), 2);
    QCOMPARE(f.routed[0].left(15), meas);
    QCOMPARE(f.routed[1].left(3), Hex("AA 02 A8"));
    // Bytes a reply does not reach keep their earlier contents.
    QCOMPARE(f.routed[1].mid(3, 12), meas.mid(3, 12));
}

void TestSerial::dispatcherKeepsTheRestOfASplitDump()
{
    Fixture f;
    const QByteArray dump = Hex("CA 13 88 03 E8 00 C8 00 64 01 2C 00 96 01 2C 00 96 00 0A 00 02 00 01 03 84 FF 9C 07 D0 03 2F 7C");
    f.board.Send(dump.left(12));
    QTest::qWait(45); // longer than the settle time: the dispatcher has run
    QCOMPARE(f.routed.size(), 0);
    f.board.Send(dump.mid(12));
    QTRY_COMPARE(f.routed.size(), 1);
    QCOMPARE(f.routed[0].left(31), dump.left(31));
}

void TestSerial::dispatcherLeavesUnreachedBytes()
{
    // Half an acknowledgement that never completes is dropped after the
    // silence and does not swallow the next reply.
    Fixture f;
    f.board.Send(Hex("AC 02"));
    QTest::qWait(150);
    f.board.Send(Hex("AD 02 AF"));
    QTRY_COMPARE(f.routed.size(), 1);
    QCOMPARE(f.routed[0].left(3), Hex("AD 02 AF"));
}

void TestSerial::handlerFailureIsReported()
{
    Fixture f;
    QSignalSpy failed(&f.dispatcher, &TReplyDispatcher::HandlerFailed);
    f.dispatcher.SetHandler(fcStart, [](std::uint8_t*) { throw std::runtime_error("boom"); });
    f.board.Send(Hex("AE 02 AC AC 02 AE"));
    QTRY_COMPARE(failed.size(), 1);
    QTRY_COMPARE(f.routed.size(), 1); // the next reply is still handled
    QCOMPARE(f.routed[0].left(3), Hex("AC 02 AE"));
}

void TestSerial::hangupIsOneLossAndIdle()
{
    Fixture f;
    QSignalSpy lost(&f.port, &TComPort::OnPortLost);
    f.board.Hangup();
    QTRY_COMPARE(lost.size(), 1);
    QVERIFY(!f.port.Connected());
    const double before = CpuSeconds();
    QTest::qWait(500);
    QCOMPARE(lost.size(), 1);
    QVERIFY2(CpuSeconds() - before < 0.2, "a lost port must leave the process idle");
}

void TestSerial::setupDialogAppliesChoices()
{
    TPromptGuard prompt;
    TComPort port;
    QStringList seen;
    prompt->onExec = [&seen](QDialog& d) {
        auto& dialog = static_cast<TComSetupDialog&>(d);
        seen << dialog.windowTitle() << dialog.BaudList()->currentText() << dialog.FlowList()->currentText()
             << QString::number(dialog.BaudList()->count()) << dialog.ParityList()->currentText();
        dialog.PortList()->setEditText(QStringLiteral("/dev/pts/typed"));
        dialog.BaudList()->setCurrentText(QStringLiteral("115200"));
        dialog.DataBitsList()->setCurrentText(QStringLiteral("7"));
        dialog.StopBitsList()->setCurrentText(QStringLiteral("1.5"));
        dialog.ParityList()->setCurrentText(QStringLiteral("Even"));
        dialog.FlowList()->setCurrentText(QStringLiteral("Hardware"));
        return int(QDialog::Accepted);
    };
    QVERIFY(port.ShowSetupDialog());
    QCOMPARE(seen, (QStringList{"Setup", "9600", "None", "16", "None"}));
    const TComPortSettings s = port.Settings();
    QCOMPARE(s.port, QStringLiteral("/dev/pts/typed"));
    QCOMPARE(s.baudRate, br115200);
    QCOMPARE(s.dataBits, dbSeven);
    QCOMPARE(s.stopBits, sbOne5StopBits);
    QCOMPARE(s.parity, prEven);
    QCOMPARE(s.FlowChoice(), fwHardware);
}

void TestSerial::setupDialogCancelChangesNothing()
{
    TPromptGuard prompt;
    TComPort port;
    const TComPortSettings before = port.Settings();
    prompt->onExec = [](QDialog& d) {
        static_cast<TComSetupDialog&>(d).BaudList()->setCurrentText(QStringLiteral("300"));
        return int(QDialog::Rejected);
    };
    QVERIFY(!port.ShowSetupDialog());
    QVERIFY(port.Settings() == before);
}

void TestSerial::setupDialogReopensOnPortChange()
{
    TPromptGuard prompt;
    TPtyBoard first, second;
    TComPort port;
    TComPortSettings s;
    s.port = first.Path();
    port.SetSettings(s);
    port.Open();
    const QString next = second.Path();
    prompt->onExec = [next](QDialog& d) {
        static_cast<TComSetupDialog&>(d).PortList()->setEditText(next);
        return int(QDialog::Accepted);
    };
    QVERIFY(port.ShowSetupDialog());
    QVERIFY(port.Connected());
    port.Write("\x01", 1);
    QVERIFY(second.WaitFor(QByteArray("\x01", 1)));
    QVERIFY(!first.Received().contains('\x01'));
}

QTEST_MAIN(TestSerial)
#include "tst_serial.moc"
