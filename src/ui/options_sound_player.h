#pragma once

#include <QObject>
#include <memory>
#include <string>

class QSoundEffect;

namespace quobel {

// Plays a sound file without waiting for it to end.
class TSoundPlayer {
  public:
    virtual ~TSoundPlayer() = default;
    virtual void Play(const std::string& fileName) = 0;
};

// Qt Multimedia: one effect at a time; a new Play replaces what is playing.
class TQtSoundPlayer : public TSoundPlayer {
  public:
    TQtSoundPlayer();
    ~TQtSoundPlayer() override;
    TQtSoundPlayer(const TQtSoundPlayer&) = delete;
    TQtSoundPlayer& operator=(const TQtSoundPlayer&) = delete;

    void Play(const std::string& fileName) override;

  private:
    std::unique_ptr<QSoundEffect> effect_;
    bool pending_ = false;
};

}  // namespace quobel
