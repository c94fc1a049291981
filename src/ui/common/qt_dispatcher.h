#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/ui_dispatcher.h"

namespace quobel {

// Runs calls on the Qt event loop's thread for the task threads. A call made on that thread
// itself runs at once: Qt's blocking queued invocation would deadlock there. After Close,
// queued calls are dropped and waiting workers are released with an error.
class QtUiDispatcher : public TUiDispatcher {
  public:
    QtUiDispatcher();
    ~QtUiDispatcher() override;

    void RunAndWait(const std::function<void()>& call) override;
    void Post(std::function<void()> call) override;
    void Close() override;

  private:
    bool OnUiThread() const;

    QObject receiver_;  // lives on the user-interface thread
    std::mutex mutex_;
    std::condition_variable finished_;
    bool closed_ = false;
};

}  // namespace quobel
