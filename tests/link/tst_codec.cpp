// The frame codec and the framer, as pure logic.
#include "codec.h"
#include "framer.h"

#include <QTest>

#include <vector>

namespace {

QByteArray Bytes(const std::uint8_t* p, std::size_t n)
{
    return QByteArray(reinterpret_cast<const char*>(p), qsizetype(n));
}

QByteArray HexBytes(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const std::uint8_t* U8(const QByteArray& b)
{
    return reinterpret_cast<const std::uint8_t*>(b.constData());
}

// The parameters of the worked example, in frame order.
const TParameterValues kExample = {5000, 1000, 200, 100, 300, 150, 300, 150, 10, 2, 1, 900, -100, 2000};
const char* kExampleFrame =
    "AB 13 88 03 E8 00 C8 00 64 01 2C 00 96 01 2C 00 96 00 0A 00 02 00 01 03 84 FF 9C 07 D0 03 4E 7C";
const char* kExampleDump =
    "CA 13 88 03 E8 00 C8 00 64 01 2C 00 96 01 2C 00 96 00 0A 00 02 00 01 03 84 FF 9C 07 D0 03 2F";

} // namespace

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void commandFrames_data();
    void commandFrames();
    void parameterFrameExample();
    void parameterWords_data();
    void parameterWords();
    void dumpExample();
    void dumpWords_data();
    void dumpWords();
    void dumpBadCheck();
    void measurementExample();
    void measurementBadCheck();
    void ackValidity_data();
    void ackValidity();
    void boardSideRoundTrip();

    void framer_data();
    void framer();
    void framerStaleDropsIncomplete();
    void framerStaleKeepsFrameBehindDeadPrefix();
    void framerBoundedBuffer();
};

void TestCodec::commandFrames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("write request") << int(fcWriteRequest) << HexBytes("AA 02 A8 7C");
    QTest::newRow("connect") << int(fcConnect) << HexBytes("AC 02 AE 7C");
    QTest::newRow("disconnect") << int(fcDisconnect) << HexBytes("AD 02 AF 7C");
    QTest::newRow("start") << int(fcStart) << HexBytes("AE 02 AC 7C");
    QTest::newRow("stop") << int(fcStop) << HexBytes("AF 02 AD 7C");
    QTest::newRow("read") << int(fcReadParameters) << HexBytes("CA 02 C8 7C");
    QTest::newRow("store flash") << int(fcStoreFlash) << HexBytes("CB 02 C9 7C");
    QTest::newRow("reset") << int(fcResetParameters) << HexBytes("CC 02 CE 7C");
    QTest::newRow("measure") << int(fcMeasure) << HexBytes("EE 02 EC 7C");
}

void TestCodec::commandFrames()
{
    QFETCH(int, code);
    QFETCH(QByteArray, frame);
    const TCommandFrame f = MakeCommandFrame(std::uint8_t(code));
    QCOMPARE(Bytes(f.data(), f.size()), frame);
}

void TestCodec::parameterFrameExample()
{
    TParameterFrame f{};
    EncodeParameterFrame(f.data(), kExample, 2);
    QCOMPARE(Bytes(f.data(), f.size()).toHex(' ').toUpper(), QByteArray(kExampleFrame));

    TParameterValues zeros{};
    EncodeParameterFrame(f.data(), zeros, 2);
    QCOMPARE(f[0], std::uint8_t(0xAB));
    for (int i = 1; i <= 28; ++i)
        QCOMPARE(f[i], std::uint8_t(0));
    QCOMPARE(f[29], std::uint8_t(3));
    QCOMPARE(f[30], std::uint8_t(0xA8));
    QCOMPARE(f[31], std::uint8_t(0x7C));
}

void TestCodec::parameterWords_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("word");
    QTest::newRow("70000 cut to 16 bits") << 70000 << HexBytes("11 70");
    QTest::newRow("-100") << -100 << HexBytes("FF 9C");
    QTest::newRow("-1") << -1 << HexBytes("FF FF");
    QTest::newRow("65535") << 65535 << HexBytes("FF FF");
    QTest::newRow("-32768") << -32768 << HexBytes("80 00");
    QTest::newRow("40000") << 40000 << HexBytes("9C 40");
}

void TestCodec::parameterWords()
{
    QFETCH(int, value);
    QFETCH(QByteArray, word);
    for (std::size_t field : {std::size_t(0), PwmDownIndex, ParameterCount - 1}) {
        TParameterValues v{};
        v[field] = value;
        TParameterFrame f{};
        EncodeParameterFrame(f.data(), v, 0);
        QCOMPARE(Bytes(f.data() + 1 + 2 * field, 2), word);
        QCOMPARE(f[30], XorCheck(f.data(), 30));
    }
}

void TestCodec::dumpExample()
{
    const QByteArray dump = HexBytes(kExampleDump) + char(0x7C);
    const auto d = DecodeParameterDump(U8(dump));
    QVERIFY(d.has_value());
    QCOMPARE(d->values, kExample);
    QCOMPARE(int(d->mode), 3);
}

void TestCodec::dumpWords_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("value");
    QTest::newRow("PwmDown FF 9C") << int(PwmDownIndex) << HexBytes("FF 9C") << -100;
    QTest::newRow("PwmDown 80 00") << int(PwmDownIndex) << HexBytes("80 00") << -32768;
    QTest::newRow("HighLimit FF 9C") << 0 << HexBytes("FF 9C") << 65436;
    QTest::newRow("HighLimit FF FF") << 0 << HexBytes("FF FF") << 65535;
    QTest::newRow("CurrLimit 80 00") << 13 << HexBytes("80 00") << 32768;
}

void TestCodec::dumpWords()
{
    QFETCH(int, field);
    QFETCH(QByteArray, word);
    QFETCH(int, value);
    QByteArray dump(32, '\0');
    dump[0] = char(fcReadParameters);
    dump[1 + 2 * field] = word[0];
    dump[2 + 2 * field] = word[1];
    dump[30] = char(XorCheck(U8(dump), 30));
    const auto d = DecodeParameterDump(U8(dump));
    QVERIFY(d.has_value());
    QCOMPARE(d->values[std::size_t(field)], value);
}

void TestCodec::dumpBadCheck()
{
    QByteArray dump = HexBytes(kExampleDump);
    dump[30] = char(dump[30] ^ 0x01);
    QVERIFY(!DecodeParameterDump(U8(dump)).has_value());
}

void TestCodec::measurementExample()
{
    const QByteArray m = HexBytes("EE 12 34 01 00 19 03 E8 00 00 00 00 00 00 3B");
    const auto d = DecodeMeasurement(U8(m));
    QVERIFY(d.has_value());
    QCOMPARE(int(d->distance), 4660);
    QCOMPARE(int(d->direction), 1);
    QCOMPARE(int(d->temperature), 25);
    QCOMPARE(int(d->current), 1000);
    const TMeasurementFrame again = EncodeMeasurement(*d);
    QCOMPARE(Bytes(again.data(), again.size()), m);
}

void TestCodec::measurementBadCheck()
{
    QByteArray m = HexBytes("EE 12 34 01 00 19 03 E8 00 00 00 00 00 00 3B");
    m[9] = char(0x01); // a byte the console does not show is still covered
    QVERIFY(!DecodeMeasurement(U8(m)).has_value());
}

void TestCodec::ackValidity_data()
{
    QTest::addColumn<QByteArray>("ack");
    QTest::addColumn<bool>("valid");
    QTest::newRow("AC 02 AE") << HexBytes("AC 02 AE") << true;
    QTest::newRow("AC 01 AD status failed, check good") << HexBytes("AC 01 AD") << true;
    QTest::newRow("AA 03 A9 odd status, check good") << HexBytes("AA 03 A9") << true;
    QTest::newRow("AA 02 A9 bad check") << HexBytes("AA 02 A9") << false;
    QTest::newRow("AE 01 AF") << HexBytes("AE 01 AF") << true;
}

void TestCodec::ackValidity()
{
    QFETCH(QByteArray, ack);
    QFETCH(bool, valid);
    QCOMPARE(IsAckValid(U8(ack)), valid);
}

void TestCodec::boardSideRoundTrip()
{
    TParameterFrame dump{};
    EncodeParameterDump(dump.data(), kExample, 3);
    QCOMPARE(Bytes(dump.data(), 31).toHex(' ').toUpper(), QByteArray(kExampleDump));
    QCOMPARE(dump[31], FrameEnd);
    const TAckFrame ack = MakeAckFrame(fcStoreFlash, ackFailed);
    QCOMPARE(Bytes(ack.data(), ack.size()), HexBytes("CB 01 CA"));
}

// ---- Framer: byte stream in, frames out ----

void TestCodec::framer_data()
{
    // Chunks are fed 10 ms apart; the expected frames come out in order.
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("frames");
    const QByteArray ack = HexBytes("AC 02 AE");
    const QByteArray meas = HexBytes("EE 12 34 01 00 19 03 E8 00 00 00 00 00 00 3B");
    const QByteArray dump = HexBytes(kExampleDump);

    QTest::newRow("one ack") << QList<QByteArray>{ack} << QList<QByteArray>{ack};
    QTest::newRow("ack with terminator") << QList<QByteArray>{ack + char(0x7C)} << QList<QByteArray>{ack};
    QTest::newRow("dump split over two reads")
        << QList<QByteArray>{dump.left(20), dump.mid(20) + char(0x7C)} << QList<QByteArray>{dump};
    QTest::newRow("measurement then ack in one burst")
        << QList<QByteArray>{meas + HexBytes("AA 02 A8")} << QList<QByteArray>{meas, HexBytes("AA 02 A8")};
    QTest::newRow("noise and terminators between frames")
        << QList<QByteArray>{HexBytes("7C 00 13 FF") + ack + HexBytes("7C 7C 55") + meas}
        << QList<QByteArray>{ack, meas};
    QTest::newRow("bad check resynchronises on the next frame")
        << QList<QByteArray>{HexBytes("AC 02 AF") + ack} << QList<QByteArray>{ack};
    QTest::newRow("a frame inside a corrupt one is found")
        << QList<QByteArray>{HexBytes("AC 05 AD 02 AF")} << QList<QByteArray>{HexBytes("AD 02 AF")};
    QTest::newRow("stop answer has no handler and is skipped")
        << QList<QByteArray>{HexBytes("AF 02 AD") + ack} << QList<QByteArray>{ack};
    QTest::newRow("byte by byte")
        << QList<QByteArray>{meas.left(1), meas.mid(1, 5), meas.mid(6, 8), meas.mid(14)}
        << QList<QByteArray>{meas};
}

void TestCodec::framer()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, frames);
    TReplyFramer f;
    QList<QByteArray> out;
    std::int64_t now = 1000;
    std::vector<std::uint8_t> frame;
    for (const QByteArray& c : chunks) {
        f.Feed(U8(c), std::size_t(c.size()), now);
        while (f.Next(frame, now))
            out << Bytes(frame.data(), frame.size());
        now += 10;
    }
    QCOMPARE(out, frames);
}

void TestCodec::framerStaleDropsIncomplete()
{
    // The first half of an acknowledgement, then silence, then a whole one:
    // the stale half must not swallow the new frame's first byte.
    TReplyFramer f;
    std::vector<std::uint8_t> frame;
    const QByteArray half = HexBytes("AC 02");
    f.Feed(U8(half), 2, 0);
    QVERIFY(!f.Next(frame, 50));
    QCOMPARE(f.Pending(), std::size_t(2));
    QVERIFY(!f.Next(frame, 100)); // stale: dropped, nothing complete
    QCOMPARE(f.Pending(), std::size_t(0));
    const QByteArray ack = HexBytes("AD 02 AF");
    f.Feed(U8(ack), 3, 150);
    QVERIFY(f.Next(frame, 150));
    QCOMPARE(Bytes(frame.data(), frame.size()), ack);

    // Stale bytes never complete a frame: a dump cut short, then a
    // measurement a poll later, comes out as just the measurement.
    const QByteArray dump = HexBytes(kExampleDump);
    const QByteArray meas = HexBytes("EE 12 34 01 00 19 03 E8 00 00 00 00 00 00 3B");
    f.Feed(U8(dump), 12, 1000);
    QVERIFY(!f.Next(frame, 1010));
    f.Feed(U8(meas), std::size_t(meas.size()), 1200);
    QVERIFY(f.Next(frame, 1200));
    QCOMPARE(Bytes(frame.data(), frame.size()), meas);
    QVERIFY(!f.Next(frame, 1200));
}

void TestCodec::framerStaleKeepsFrameBehindDeadPrefix()
{
    // A stray dump code followed by a complete acknowledgement: the ack waits
    // behind the incomplete dump candidate until it goes stale, then comes out.
    TReplyFramer f;
    std::vector<std::uint8_t> frame;
    const QByteArray bytes = HexBytes("CA 01 02 03 AC 02 AE");
    f.Feed(U8(bytes), std::size_t(bytes.size()), 0);
    QVERIFY(!f.Next(frame, 20));
    QVERIFY(f.Next(frame, 100));
    QCOMPARE(Bytes(frame.data(), frame.size()), HexBytes("AC 02 AE"));
}

void TestCodec::framerBoundedBuffer()
{
    TReplyFramer f;
    QByteArray junk(3 * int(TReplyFramer::MaxPending), char(fcReadParameters));
    f.Feed(U8(junk), std::size_t(junk.size()), 0);
    QVERIFY(f.Pending() <= TReplyFramer::MaxPending);
    std::vector<std::uint8_t> frame;
    QVERIFY(!f.Next(frame, 0));
}

QTEST_APPLESS_MAIN(TestCodec)
#include "tst_codec.moc"
