#include "ui/common/qt_dispatcher.h"

#include <QMetaObject>
#include <QThread>
#include <memory>

#include "core/error.h"

namespace quobel {
namespace {

struct Job {
    std::function<void()> Call;
    bool Done = false;
    bool Failed = false;
    std::string Failure;  // only the text crosses threads
};

}  // namespace

QtUiDispatcher::QtUiDispatcher() = default;

QtUiDispatcher::~QtUiDispatcher() {
    Close();
}

bool QtUiDispatcher::OnUiThread() const {
    return QThread::currentThread() == receiver_.thread();
}

void QtUiDispatcher::RunAndWait(const std::function<void()>& call) {
    if (OnUiThread()) {
        call();
        return;
    }
    auto job = std::make_shared<Job>();
    job->Call = call;
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            throw Error("The program is closing");
        }
    }
    QMetaObject::invokeMethod(
        &receiver_,
        [this, job] {
            {
                std::lock_guard lock(mutex_);
                if (closed_) {
                    return;
                }
            }
            try {
                job->Call();
            } catch (const std::exception& failure) {
                job->Failed = true;
                job->Failure = failure.what();
            } catch (...) {
                job->Failed = true;
                job->Failure = "Unknown error";
            }
            std::lock_guard lock(mutex_);
            job->Done = true;
            finished_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return job->Done || closed_; });
    if (!job->Done) {
        throw Error("The program is closing");
    }
    if (job->Failed) {
        throw Error(job->Failure);
    }
}

void QtUiDispatcher::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(
        &receiver_,
        [this, call = std::move(call)] {
            {
                std::lock_guard lock(mutex_);
                if (closed_) {
                    return;
                }
            }
            call();
        },
        Qt::QueuedConnection);
}

void QtUiDispatcher::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    finished_.notify_all();
}

}  // namespace quobel
