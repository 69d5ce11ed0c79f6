#pragma once

#include <QString>
#include <QtGlobal>
#include <chrono>

namespace vt {

struct PageFetchLimits {
    std::chrono::milliseconds time{30000}; // the whole read: redirects, body and its text
    qint64 bytes = 20 * 1024 * 1024;       // the body, counted after decompression as it comes
    int redirects = 10;
};

// The limits a read starts with when it is given none.
PageFetchLimits defaultPageFetchLimits();
void setDefaultPageFetchLimits(const PageFetchLimits& limits);

// Why a read that ran out of time failed: "no complete answer within 30 seconds".
QString timeLimitReason(std::chrono::milliseconds time);

} // namespace vt
