// The byte-level protocol between the console and the VCM controller board.
//
// The console always initiates: it sends a frame that begins with a frame
// code and the board answers with a frame that begins with the same code.
// There is no length field, no sequence number and no escaping; words are
// 16 bits, high byte first; every check is an XOR over a run of bytes that
// starts at byte 0. Every frame the console sends ends with FrameEnd.
//
// Plain C++ without Qt: the console, the simulated board and the fuzzers
// share this one copy of the protocol.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

enum TFrameCode : std::uint8_t {
    fcWriteRequest = 170,    // 0xAA ask the board to accept a parameter frame
    fcParameters = 171,      // 0xAB the new parameter values (32-byte frame)
    fcConnect = 172,         // 0xAC
    fcDisconnect = 173,      // 0xAD
    fcStart = 174,           // 0xAE start the motion
    fcStop = 175,            // 0xAF stop the motion; its answer is never read
    fcReadParameters = 202,  // 0xCA the board answers with a parameter dump
    fcStoreFlash = 203,      // 0xCB
    fcResetParameters = 204, // 0xCC
    fcMeasure = 238,         // 0xEE one measurement
};

inline constexpr std::uint8_t ackOk = 2;
inline constexpr std::uint8_t ackFailed = 1;
inline constexpr std::uint8_t FrameEnd = 0x7C;

inline constexpr std::size_t CommandFrameSize = 4;
inline constexpr std::size_t AckFrameSize = 3;
inline constexpr std::size_t ParameterFrameSize = 32;
// The console needs bytes 0..30 of a dump; byte 31 is never examined.
inline constexpr std::size_t DumpReadSize = 31;
inline constexpr std::size_t MeasurementFrameSize = 15;
inline constexpr std::size_t ParameterCount = 14;

using TCommandFrame = std::array<std::uint8_t, CommandFrameSize>;
using TAckFrame = std::array<std::uint8_t, AckFrameSize>;
using TParameterFrame = std::array<std::uint8_t, ParameterFrameSize>;
using TMeasurementFrame = std::array<std::uint8_t, MeasurementFrameSize>;

// The fourteen numeric parameters in frame order: HighLimit, LowLimit, Tidle,
// Tstady, Tup, TupStd, Tdown, tdownstd, PidP, PidI, PidD, PwmUp, PwmDown,
// CurrLimit.
using TParameterValues = std::array<std::int32_t, ParameterCount>;
inline constexpr std::size_t PwmDownIndex = 12;

struct TParameterDump {
    TParameterValues values{}; // unsigned 0..65535, PwmDown signed -32768..32767
    std::uint8_t mode = 0;     // byte 29 as received
};

struct TMeasurement {
    std::uint16_t distance = 0;   // micrometres
    std::uint8_t direction = 0;   // 1 up, 2 down, anything else: unchanged
    std::uint8_t temperature = 0; // whole units
    std::uint16_t current = 0;    // milliamperes
    // Bytes 4 and 8..13 are covered by the check but mean nothing to the console.
    std::uint8_t byte4 = 0;
    std::array<std::uint8_t, 6> reserved{};
};

// code, 0x02, code XOR 0x02, FrameEnd.
TCommandFrame MakeCommandFrame(std::uint8_t code);

// XOR of bytes 0..n-1, starting from zero.
std::uint8_t XorCheck(const std::uint8_t* buf, std::size_t n);

// byte 0 XOR byte 1 == byte 2. The status is byte 1.
bool IsAckValid(const std::uint8_t* buf);

// Fills a 32-byte parameter frame: 171, the low 16 bits of each value high
// byte first, modeIndex + 1, the check of bytes 0..29, FrameEnd.
void EncodeParameterFrame(std::uint8_t* frame, const TParameterValues& values, int modeIndex);

// Checks bytes 0..30 of a parameter frame or dump and splits it. Rejects it
// when the check byte (30) does not match. The code in byte 0 is not tested.
std::optional<TParameterDump> DecodeParameterDump(const std::uint8_t* buf);

// Checks bytes 0..14 of a measurement and splits it.
std::optional<TMeasurement> DecodeMeasurement(const std::uint8_t* buf);

// How many bytes of a reply beginning with `code` the console reads:
// 3 for an acknowledgement, 15 for a measurement, 31 for a dump, 0 for a
// byte that begins no reply (fcStop and every unknown value).
std::size_t ReplyLength(std::uint8_t code);

// Whether `len` bytes beginning at buf carry a good check for their code
// (ReplyLength(buf[0]) == len is assumed).
bool IsReplyCheckValid(const std::uint8_t* buf, std::size_t len);

// ---- The board's side, used by the simulated board and by tests ----

TAckFrame MakeAckFrame(std::uint8_t code, std::uint8_t status);

// A dump as the board sends it: 202, the values, the mode byte unchanged,
// the check, FrameEnd.
void EncodeParameterDump(std::uint8_t* frame, const TParameterValues& values, std::uint8_t modeByte);

TMeasurementFrame EncodeMeasurement(const TMeasurement& m);
