#include "retrieval/custom_task.h"

#include "core/user_text.h"
#include "platform/ui_dispatcher.h"
#include "retrieval/response_codes.h"

namespace quobel {

Error AsError(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const Error*>(&failure)) {
        return *error;
    }
    return Error(failure.what());
}

TCustomTask::TCustomTask(TUiDispatcher& dispatcher) : dispatcher_(dispatcher) {}

TCustomTask::~TCustomTask() {
    WaitFor();
}

void TCustomTask::Start() {
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Execute(); });
    }
}

void TCustomTask::WaitFor() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TCustomTask::AbortConnection() noexcept {
    aborted_.store(true);
    if (TQBPOP3* session = activeSession_.load()) {
        session->Abort();
    }
}

void TCustomTask::Cancel() noexcept {
    // Set first: the worker reads it when the abort makes its wait fail.
    cancelled_.store(true);
    AbortConnection();
}

void TCustomTask::Synchronize(const std::function<void()>& call) {
    dispatcher_.RunAndWait(call);
}

void TCustomTask::ReportStatus(const std::string& text, uint8_t kind) {
    if (Stopped()) {
        return;
    }
    StatusText = text;
    StatusKind = kind;
    if (OnStatus) {
        Synchronize([&] { OnStatus(*this, text, kind); });
    }
}

void TCustomTask::ReportError(const std::string& text, const Error& error) {
    if (Stopped()) {
        return;
    }
    // Whatever failed after a cancellation failed because of it: the user hears of it once, in
    // the words of what they did.
    if (Cancelled()) {
        if (cancelReported_) {
            return;
        }
        cancelReported_ = true;
    }
    const std::string shown = Cancelled() ? std::string(kCancelledText) : text;
    // A server's response code is followed by what it means for the user; any other error stays
    // as it is (with the certificate a refused handshake carries).
    const std::string withMeaning = WithResponseCodeExplained(error.what());
    const Error explained = withMeaning == error.what() ? error : Error(withMeaning);
    ErrorText = shown;
    ErrorObject = explained;
    if (OnError) {
        Synchronize([&] { OnError(*this, shown, explained); });
    }
}

void TCustomTask::SetMax(int64_t value) {
    Max = value;
    Step = value / 10;
}

void TCustomTask::Work(TQBPOP3&, int64_t count) {
    if (Step > 0 && StepsReported < count / Step) {
        StepsReported = count / Step;
        Position = count;
        RaiseProgress();
    }
}

void TCustomTask::RaiseProgress() {
    if (!Stopped() && OnProgress) {
        OnProgress(*this, Position, Max);
    }
}

void TCustomTask::Execute() noexcept {
    TQBPOP3* session = Connection.get();
    activeSession_.store(session);
    // An abort requested before the session was published must still reach it.
    if (session && aborted_.load()) {
        session->Abort();
    }
    const auto connected = [&] { return session && session->Connected(); };
    try {
        if (!connected()) {
            StepsReported = 0;
            SetMax(0);
        }
        if (session) {
            session->OnWork = [this](TQBPOP3& sender, int64_t count) { Work(sender, count); };
        }
        if (!connected() && UsesConnection) {
            if (!session) {
                throw Error("Not Connected");
            }
            Configure();
            if (!Stopped()) {
                ReportStatus(FormatUserText(kConnectingText, {session->Host}), kStatusConnecting);
            }
            ConnectSession(*session);
        }
        if (!UsesConnection || connected()) {
            Run();
        }
    } catch (const std::exception& failure) {
        try {
            if (!Stopped()) {
                ReportError(FormatUserText(kConnectFailedText, {session ? session->Host : ""}),
                            AsError(failure));
                ReportStatus("", kStatusNone);
            }
        } catch (const std::exception&) {
            // Nobody left to tell (the user interface has closed).
        }
    }

    // Whatever a handler raises from here on cannot stop the queue from going on.
    try {
        Position = 0;
        RaiseProgress();
    } catch (const std::exception&) {
    }
    if (UsesConnection && connected()) {
        try {
            // An aborted session stays aborted: the next task opens its own.
            if (CanHandOver && !Stopped() && !Cancelled() && OnHandOver) {
                bool handedOver = HandedOver;
                Synchronize([&] { OnHandOver(*this, handedOver); });
                HandedOver = handedOver;
            }
        } catch (const std::exception&) {
        }
        if (!HandedOver) {
            session->Disconnect();
            try {
                ReportStatus("", kStatusNone);
            } catch (const std::exception&) {
            }
        }
    }
    if (session && !HandedOver) {
        session->OnWork = nullptr;
    }
    activeSession_.store(nullptr);
    try {
        if (!Stopped() && OnFinished) {
            Synchronize([&] { OnFinished(*this); });
        }
    } catch (const std::exception&) {
    }
    try {
        if (!Stopped() && OnDequeue) {
            Synchronize([&] { OnDequeue(*this); });
        }
    } catch (const std::exception&) {
    }
    finished_.store(true);
}

}  // namespace quobel
