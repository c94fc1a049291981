#pragma once

#include <QString>
#include <functional>
#include <string>

#include "message/mailto_reply.h"

class QWidget;

namespace quobel {

class TfraReader;
class TMailItem;
class UrlOpener;

// Writing mail is the user's mail program's work: Compose, Reply, Reply to all, Forward and the
// "mailto:" links of messages hand it a mailto: URI through the desktop. When the desktop names
// no program for mailto:, the user is told so in one sentence.
class TMailWriter {
  public:
    explicit TMailWriter(UrlOpener& opener);

    // The command on the item (none for Compose). The quoted text is what `pane` shows when it
    // shows this item, else the message's text from its cache file unless it is encrypted.
    void Write(TMailCommand command, TMailItem* item, const TfraReader* pane, QWidget& owner);
    // A "mailto:" link of a message, the text after its scheme.
    void WriteTo(const std::string& address, QWidget& owner);

    // Hands the URI over; false when the user was told that no program writes mail.
    bool Hand(const std::string& uri, QWidget& owner);

    // How the user is told (a message box), replaceable for tests.
    std::function<void(QWidget& owner, const QString& text)> Tell;

    static const char* const kNoMailProgramText;

  private:
    UrlOpener& opener_;
};

}  // namespace quobel
