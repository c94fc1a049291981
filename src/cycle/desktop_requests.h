#pragma once

#include <vector>

namespace quobel {

class TMailItem;

// The few things the controller asks of the desktop, each on its own so that a window offers
// only what it has. The controller holds them in TDesktopRequests; an absent one means there is
// no such window (a run without desktop), and the request does nothing.

// The message list's selection.
class TListSelection {
  public:
    // The items of the selected rows, last row first.
    virtual std::vector<TMailItem*> SelectedItems() = 0;

  protected:
    ~TListSelection() = default;
};

// The reader: the preview pane and the reader windows.
class TReaderShow {
  public:
    // Shows the item in a new reader window, or in the one shared reader window.
    virtual void ShowInReader(TMailItem& item, bool newWindow) = 0;

  protected:
    ~TReaderShow() = default;
};

// The main window, brought to the front with one message.
class TMessageFocus {
  public:
    // Shows the main window with the item's box listed and the item focused and previewed.
    virtual void FocusMessage(TMailItem& item) = 0;

  protected:
    ~TMessageFocus() = default;
};

// The bar of new messages.
class TBarControl {
  public:
    virtual void PopUp() = 0;
    virtual void PopDown() = 0;
    // Paints again from the Inbox's items.
    virtual void Repaint() = 0;

  protected:
    ~TBarControl() = default;
};

}  // namespace quobel
