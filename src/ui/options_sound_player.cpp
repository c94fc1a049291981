#include "ui/options_sound_player.h"

#include <QSoundEffect>
#include <QUrl>

namespace quobel {

TQtSoundPlayer::TQtSoundPlayer() : effect_(std::make_unique<QSoundEffect>()) {
    // The effect loads asynchronously; playing starts once it is ready.
    QObject::connect(effect_.get(), &QSoundEffect::statusChanged, effect_.get(), [this] {
        if (pending_ && effect_->status() == QSoundEffect::Ready) {
            pending_ = false;
            effect_->play();
        } else if (effect_->status() == QSoundEffect::Error) {
            pending_ = false;
        }
    });
}

TQtSoundPlayer::~TQtSoundPlayer() = default;

void TQtSoundPlayer::Play(const std::string& fileName) {
    effect_->stop();
    const QUrl source = QUrl::fromLocalFile(QString::fromStdString(fileName));
    if (effect_->source() == source && effect_->status() == QSoundEffect::Ready) {
        effect_->play();
        return;
    }
    pending_ = true;
    effect_->setSource(source);
}

}  // namespace quobel
