#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bar/skin.h"
#include "bar/skin_cuts.h"
#include "core/user_text.h"

namespace quobel {

// An account's SkinColor value meaning "use the skin's colour".
inline constexpr uint32_t kUseSkinColor = 0x1FFFFFFFu;

// What the bar needs of one Inbox item, in the Inbox's order.
struct TBarMessage {
    bool Read = false;
    std::string Subject;
    std::string SenderText;
    std::string RecipientsText;
    std::string DateText;
    bool HasAccount = false;
    std::string AccountName;
    uint32_t AccountSkinColor = kUseSkinColor;
};

// The Inbox as the bar reads it, in the Inbox's order: every item's read mark, and the texts of
// the items it shows (asked for those only, during a layout or a paint).
class TBarMessages {
  public:
    virtual ~TBarMessages() = default;
    virtual int32_t Count() const = 0;
    virtual bool Read(int32_t index) const = 0;
    virtual const TBarMessage& Message(int32_t index) const = 0;
};

// Messages held in a list.
class TBarMessageList : public TBarMessages {
  public:
    explicit TBarMessageList(const std::vector<TBarMessage>& items) : items_(items) {}
    int32_t Count() const override { return static_cast<int32_t>(items_.size()); }
    bool Read(int32_t index) const override { return items_[static_cast<size_t>(index)].Read; }
    const TBarMessage& Message(int32_t index) const override {
        return items_[static_cast<size_t>(index)];
    }

  private:
    const std::vector<TBarMessage>& items_;
};

struct TBarLayoutInput {
    int32_t ClientWidth = 0;
    int32_t ButtonWidth = 150;  // smallest width a message button should get
    int32_t FirstIndex = 0;
    int32_t HotX = -1;  // pointer in client coordinates; -1 when it is not over the client area
    int32_t HotY = -1;
    bool Pressed = false;
    bool MainWindowVisible = false;
};

enum class THotPart {
    None,
    FirstArrow,
    LastArrow,
    PreviousArrow,
    NextArrow,
    MenuButton,
    Dropdown,
    MessageButton
};

struct TBarButton {
    int32_t ItemIndex = 0;
    int32_t X = 0;
    int32_t Width = 0;
    TPartState State = TPartState::Normal;
    // Button-relative cuts of "button.bmp" and the text's rectangle inside the button.
    std::vector<TSkinCut> Pieces;
    TRect TextRect;
    // 0x00BBGGRR (or a system colour): the skin's button font colour or the account's.
    uint32_t TextColor = 0;
};

// Everything one paint of the bar draws, in drawing order: first `Parts` (skin cuts placed in the
// bar, background tiles first, size bar last; the tiles may reach past the client width), then
// each of `Buttons` composed on its own and copied at its X. No button overlaps a part other
// than the background.
struct TBarLayout {
    int32_t FirstIndex = 0;  // where the shown run of unread messages begins, after the walk
    int32_t Unread = 0;
    int32_t Slots = 0;
    int32_t ButtonWidth = 0;
    int32_t Available = 0;  // room for arrows-free message buttons
    bool Previous = false;  // an unread message lies before the view
    bool More = false;      // an unread message lies after the view
    std::vector<TSkinCut> Parts;
    std::vector<TBarButton> Buttons;
    THotPart HotPart = THotPart::None;
    int32_t HotItem = -1;  // index of the hot message button's item; -1 when none is hot
    std::string Hint;      // the hot message's hint; empty when none
};

// Lays the bar out over `items` (the Inbox's items in order) with the skin's metrics. It runs
// after every pointer movement, and asks only for the texts of the items it shows.
TBarLayout LayoutBar(const TSkin& skin, const TBarMessages& items, const TBarLayoutInput& input);
inline TBarLayout LayoutBar(const TSkin& skin, const std::vector<TBarMessage>& items,
                            const TBarLayoutInput& input) {
    return LayoutBar(skin, TBarMessageList(items), input);
}

enum class TBarHit { Caption, RightBorder, Client };

// The window part under client x: the move bar drags (and docks) the bar, the size bar resizes it.
TBarHit BarHitTest(const TSkin& skin, int32_t clientWidth, int32_t x);

// The hint of a message button.
std::string BarHint(const TBarMessage& message);
inline constexpr const char* kBarHint = USER_TEXT("Quobel", "From: %1\r\nTo: %2\r\nDate: %3");
inline constexpr const char* kBarHintWithAccount =
    USER_TEXT("Quobel", "Account: %1\r\nFrom: %2\r\nTo: %3\r\nDate: %4");

// `FirstIndex` after a left click on an arrow. The previous arrow goes back to the nearest
// earlier unread message, so that read messages in between never make it seem to do nothing.
int32_t ArrowClick(THotPart arrow, int32_t firstIndex, const TBarMessages& items);
inline int32_t ArrowClick(THotPart arrow, int32_t firstIndex,
                          const std::vector<TBarMessage>& items) {
    return ArrowClick(arrow, firstIndex, TBarMessageList(items));
}

// The calls "Mark all read" makes, in order: every unread item from the last to the first, each
// with the notify flag, which is true only for the last call (so the views, the bar's repaint
// and its going back in happen once, at the end).
std::vector<std::pair<int32_t, bool>> MarkAllReadOrder(const TBarMessages& items);
inline std::vector<std::pair<int32_t, bool>> MarkAllReadOrder(
    const std::vector<TBarMessage>& items) {
    return MarkAllReadOrder(TBarMessageList(items));
}

// One step of the scroll timer. `paint` paints the bar from the given first index and returns
// the first index the paint settled on (it skips read items and pulls the view back from the
// end). `scrollMark` -1 makes this step wrap to the first unread message.
void ScrollStep(int32_t& firstIndex, int32_t& scrollMark,
                const std::function<int32_t(int32_t)>& paint);

}  // namespace quobel
