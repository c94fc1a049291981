#include "ui/app/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace quobel {

namespace {

class FirstPaintWatcher : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // The window's children paint in the same pass; a queued call runs after all of it.
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("first-paint %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool seen_ = false;
};

}  // namespace

void WatchFirstPaintIfAsked(QWidget& window) {
    if (std::getenv("QUOBEL_STARTUP_PROBE") == nullptr) {
        return;
    }
    // Owned by the window, so it goes with it.
    window.installEventFilter(new FirstPaintWatcher(&window));
}

}  // namespace quobel
