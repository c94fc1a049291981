#pragma once

#include <string>

namespace quobel {

// Plays a sound file without waiting for it to end. A file that cannot be played is ignored.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void PlayAsync(const std::string& fileName) = 0;
};

}  // namespace quobel
