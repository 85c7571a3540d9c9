#include "framer.h"

#include "codec.h"

#include <algorithm>

void TReplyFramer::Feed(const std::uint8_t* data, std::size_t n, std::int64_t nowMs)
{
    if (n == 0)
        return;
    // Bytes that went stale before these arrived must not be completed by
    // them: flush them first, keeping any whole frame found among them.
    if (!buf_.empty() && nowMs - lastByteMs_ >= StaleMs) {
        std::vector<std::uint8_t> frame;
        while (Extract(frame, true))
            ready_.push_back(frame);
    }
    buf_.insert(buf_.end(), data, data + n);
    lastByteMs_ = nowMs;
    if (buf_.size() > MaxPending)
        buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(buf_.size() - MaxPending));
}

bool TReplyFramer::Next(std::vector<std::uint8_t>& frame, std::int64_t nowMs)
{
    if (!ready_.empty()) {
        frame = std::move(ready_.front());
        ready_.pop_front();
        return true;
    }
    return Extract(frame, nowMs - lastByteMs_ >= StaleMs);
}

bool TReplyFramer::Extract(std::vector<std::uint8_t>& frame, bool stale)
{
    std::uint8_t head[DumpReadSize];
    while (!buf_.empty()) {
        const std::size_t len = ReplyLength(buf_.front());
        if (len == 0) {
            buf_.pop_front();
            continue;
        }
        if (buf_.size() < len) {
            if (!stale)
                return false;
            buf_.pop_front();
            continue;
        }
        std::copy_n(buf_.begin(), len, head);
        if (!IsReplyCheckValid(head, len)) {
            buf_.pop_front();
            continue;
        }
        frame.assign(head, head + len);
        buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(len));
        return true;
    }
    return false;
}
