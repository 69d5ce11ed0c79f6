#include "FileVoice.h"

#include "VoiceParameters.h"

#include <mutex>

namespace vt {

namespace {
std::mutex voiceMutex;
std::shared_ptr<VoiceParameters> currentVoice;

std::shared_ptr<VoiceParameters> current() {
    std::lock_guard lock(voiceMutex);
    return currentVoice;
}
} // namespace

bool FileVoice::exists() {
    return current() != nullptr;
}

void FileVoice::setVolume(int volume) {
    if (const auto voice = current()) {
        voice->setVolume(volume);
    }
}

void FileVoice::setRate(int rate) {
    if (const auto voice = current()) {
        voice->setRate(rate);
    }
}

std::shared_ptr<VoiceParameters> FileVoice::create() {
    auto voice = std::make_shared<VoiceParameters>();
    std::lock_guard lock(voiceMutex);
    currentVoice = voice;
    return voice;
}

void FileVoice::release(const std::shared_ptr<VoiceParameters>& voice) {
    std::lock_guard lock(voiceMutex);
    if (currentVoice == voice) {
        currentVoice.reset();
    }
}

} // namespace vt
