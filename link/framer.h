// Cuts the board's byte stream into whole replies.
//
// A serial read returns whatever has arrived: half a dump, an acknowledgement
// glued to a measurement, a stray terminator. The framer keeps the bytes not
// yet consumed between reads and hands out, in arrival order, every complete
// reply whose check byte is good. A reply's length follows from its code
// (ReplyLength). Bytes that begin no reply are skipped; a complete candidate
// with a bad check is dropped by one byte so the stream resynchronises; an
// incomplete candidate waits for the rest of its bytes and is dropped, again
// by one byte, once no byte has arrived for StaleMs.
//
// Plain C++: time is passed in by the caller (a monotonic clock in ms).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class TReplyFramer {
public:
    static constexpr std::int64_t StaleMs = 100;
    // A stream that never completes a frame cannot grow the buffer past this.
    static constexpr std::size_t MaxPending = 4096;

    void Feed(const std::uint8_t* data, std::size_t n, std::int64_t nowMs);

    // Takes the next complete reply into `frame`; false when there is none yet.
    bool Next(std::vector<std::uint8_t>& frame, std::int64_t nowMs);

    // Bytes waiting for the rest of a reply.
    std::size_t Pending() const { return buf_.size(); }
    // When the bytes still pending go stale (meaningful while Pending() > 0).
    std::int64_t StaleAt() const { return lastByteMs_ + StaleMs; }

    void Clear()
    {
        buf_.clear();
        ready_.clear();
    }

private:
    bool Extract(std::vector<std::uint8_t>& frame, bool stale);

    std::deque<std::uint8_t> buf_;
    // Frames completed while stale bytes were flushed ahead of new ones.
    std::deque<std::vector<std::uint8_t>> ready_;
    std::int64_t lastByteMs_ = 0;
};
