#pragma once

#include <QWidget>
#include <memory>

#include "platform/sound_player.h"
#include "platform/url_opener.h"
#include "platform/yes_no_question.h"

class QSoundEffect;

namespace quobel {

// The desktop's opener (a browser for web links, the help file, a viewer for an attachment).
class QtUrlOpener : public UrlOpener {
  public:
    void OpenUrl(const std::string& url) override;
    bool OpenWithProgram(const std::string& url) override;

    // Whether the desktop names a default program for URLs of the scheme ("mailto"), as
    // xdg-mime reports it; true when xdg-mime cannot be run (the desktop's opener decides then).
    static bool DesktopHasProgramFor(const QString& scheme);

  private:
    // Schemes the desktop was found to have a program for: asked once, since asking takes a
    // noticeable moment. A "no" is asked again, as the user was told to set a program up.
    QStringList schemesWithProgram_;
};

// Plays WAV files through Qt Multimedia; a new sound replaces one still playing.
class QtSoundPlayer : public SoundPlayer {
  public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void PlayAsync(const std::string& fileName) override;

  private:
    std::unique_ptr<QSoundEffect> effect_;
};

// A Yes/No message box with the information icon, owned by a window.
class QtYesNoQuestion : public YesNoQuestion {
  public:
    explicit QtYesNoQuestion(QWidget* owner) : owner_(owner) {}
    bool AskYesNo(const std::string& caption, const std::string& text) override;

  private:
    QWidget* owner_;
};

}  // namespace quobel
