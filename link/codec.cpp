#include "codec.h"

namespace {

void PutWord(std::uint8_t* at, std::int32_t value)
{
    const auto low16 = static_cast<std::uint32_t>(value) & 0xFFFFu;
    at[0] = static_cast<std::uint8_t>(low16 >> 8);
    at[1] = static_cast<std::uint8_t>(low16 & 0xFFu);
}

std::uint16_t GetWord(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] * 256 + at[1]);
}

void EncodeParameterLayout(std::uint8_t* frame, std::uint8_t code, const TParameterValues& values,
                           std::uint8_t modeByte)
{
    frame[0] = code;
    for (std::size_t i = 0; i < ParameterCount; ++i)
        PutWord(frame + 1 + 2 * i, values[i]);
    frame[29] = modeByte;
    frame[30] = XorCheck(frame, 30);
    frame[31] = FrameEnd;
}

} // namespace

TCommandFrame MakeCommandFrame(std::uint8_t code)
{
    return {code, 0x02, static_cast<std::uint8_t>(code ^ 0x02), FrameEnd};
}

std::uint8_t XorCheck(const std::uint8_t* buf, std::size_t n)
{
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < n; ++i)
        x ^= buf[i];
    return x;
}

bool IsAckValid(const std::uint8_t* buf)
{
    return static_cast<std::uint8_t>(buf[0] ^ buf[1]) == buf[2];
}

void EncodeParameterFrame(std::uint8_t* frame, const TParameterValues& values, int modeIndex)
{
    EncodeParameterLayout(frame, fcParameters, values, static_cast<std::uint8_t>(modeIndex + 1));
}

std::optional<TParameterDump> DecodeParameterDump(const std::uint8_t* buf)
{
    if (XorCheck(buf, 30) != buf[30])
        return std::nullopt;
    TParameterDump dump;
    for (std::size_t i = 0; i < ParameterCount; ++i) {
        const std::uint16_t word = GetWord(buf + 1 + 2 * i);
        dump.values[i] = (i == PwmDownIndex) ? static_cast<std::int16_t>(word) : word;
    }
    dump.mode = buf[29];
    return dump;
}

std::optional<TMeasurement> DecodeMeasurement(const std::uint8_t* buf)
{
    if (XorCheck(buf, 14) != buf[14])
        return std::nullopt;
    TMeasurement m;
    m.distance = GetWord(buf + 1);
    m.direction = buf[3];
    m.byte4 = buf[4];
    m.temperature = buf[5];
    m.current = GetWord(buf + 6);
    for (std::size_t i = 0; i < m.reserved.size(); ++i)
        m.reserved[i] = buf[8 + i];
    return m;
}

std::size_t ReplyLength(std::uint8_t code)
{
    switch (code) {
    case fcWriteRequest:
    case fcParameters:
    case fcConnect:
    case fcDisconnect:
    case fcStart:
    case fcStoreFlash:
    case fcResetParameters:
        return AckFrameSize;
    case fcReadParameters:
        return DumpReadSize;
    case fcMeasure:
        return MeasurementFrameSize;
    default:
        return 0;
    }
}

bool IsReplyCheckValid(const std::uint8_t* buf, std::size_t len)
{
    switch (len) {
    case AckFrameSize:
        return IsAckValid(buf);
    case DumpReadSize:
        return XorCheck(buf, 30) == buf[30];
    case MeasurementFrameSize:
        return XorCheck(buf, 14) == buf[14];
    default:
        return false;
    }
}

TAckFrame MakeAckFrame(std::uint8_t code, std::uint8_t status)
{
    return {code, status, static_cast<std::uint8_t>(code ^ status)};
}

void EncodeParameterDump(std::uint8_t* frame, const TParameterValues& values, std::uint8_t modeByte)
{
    EncodeParameterLayout(frame, fcReadParameters, values, modeByte);
}

TMeasurementFrame EncodeMeasurement(const TMeasurement& m)
{
    TMeasurementFrame f{};
    f[0] = fcMeasure;
    PutWord(f.data() + 1, m.distance);
    f[3] = m.direction;
    f[4] = m.byte4;
    f[5] = m.temperature;
    PutWord(f.data() + 6, m.current);
    for (std::size_t i = 0; i < m.reserved.size(); ++i)
        f[8 + i] = m.reserved[i];
    f[14] = XorCheck(f.data(), 14);
    return f;
}
