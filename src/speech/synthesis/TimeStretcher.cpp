#include "TimeStretcher.h"

#include "core/Failure.h"

#include <sonic.h>

namespace vt {

TimeStretcher::TimeStretcher(SampleReceiver& output) : m_output(output), m_buffer(4096) {}

TimeStretcher::~TimeStretcher() {
    if (m_stream) {
        sonicDestroyStream(m_stream);
    }
}

void TimeStretcher::setSpeed(double speed) {
    if (speed == m_speed) {
        return;
    }
    flush();
    m_speed = speed;
    if (m_speed == 1.0) {
        return;
    }
    if (!m_stream) {
        m_stream = sonicCreateStream(SpeechEngine::SampleRate, 1);
        if (!m_stream) {
            throw Failure(QStringLiteral("Out of memory while slowing down the speech."));
        }
    }
    sonicSetSpeed(m_stream, static_cast<float>(m_speed));
}

void TimeStretcher::receive(const qint16* samples, qsizetype count) {
    if (m_speed == 1.0) {
        m_output.receive(samples, count);
        return;
    }
    // sonic copies the input; it only lacks const in its signature.
    if (!sonicWriteShortToStream(m_stream, const_cast<short*>(samples), static_cast<int>(count))) {
        throw Failure(QStringLiteral("Out of memory while slowing down the speech."));
    }
    drain();
}

void TimeStretcher::flush() {
    if (m_speed == 1.0 || !m_stream) {
        return;
    }
    sonicFlushStream(m_stream);
    drain();
}

void TimeStretcher::drain() {
    int read = 0;
    while ((read = sonicReadShortFromStream(m_stream, m_buffer.data(),
                                            static_cast<int>(m_buffer.size()))) > 0) {
        m_output.receive(m_buffer.data(), read);
    }
}

} // namespace vt
