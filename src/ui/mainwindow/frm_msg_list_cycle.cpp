// The main window's subscriptions to the check cycle: the list, the folder tree, the reader
// pane and the status panel follow what the controller tells.
#include "cycle/cycle_events.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/common/lower_texts.h"
#include "ui/common/qt_text.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/mainwindow/tray_icon.h"

namespace quobel {

void TfrmMsgList::ObserveCycle(TCycleEvents& events) {
    cycleSubscriptions_.clear();
    cycleSubscriptions_.push_back(events.MailFiled.Subscribe(
        [this](TMailBox& box, const std::vector<TMailItem*>& items) { MailFiled(box, items); }));
    cycleSubscriptions_.push_back(events.ItemRemoving.Subscribe([this](TMailItem& item) {
        if (item.Collection().Box != CurrentBox) {
            return;
        }
        const TRowKey key = RowKeyOf(TMailItems::KeyOf(item));
        BeginListUpdate();
        if (FocusedRow() == key) {
            FocusNeighbour();
        }
        RemoveMessageRow(key);
        EndListUpdate();
    }));
    cycleSubscriptions_.push_back(events.BoxEmptied.Subscribe([this](TMailBox& box) {
        if (&box != CurrentBox) {
            return;
        }
        if (OnClearReader) {
            OnClearReader();
        } else {
            ClearHeaders();
        }
        EnableMessageCommands(false);
    }));
    cycleSubscriptions_.push_back(events.UnreadChanged.Subscribe([this](TMailBox& box) {
        RepaintFolderRow(FocusedFolder());
        if (box.Type == 0) {
            tray_->SetUnreadCount(box.Unread);  // the Inbox's
        }
    }));
    cycleSubscriptions_.push_back(
        events.ItemChanged.Subscribe([this](TMailItem&) { RepaintLists(); }));
    cycleSubscriptions_.push_back(events.AccountsListed.Subscribe(
        [this](const std::vector<TAccount*>& accounts) { ShowFirstRun(accounts.empty()); }));
    cycleSubscriptions_.push_back(events.TaskStatus.Subscribe(
        [this](const std::string&, const std::string& text, uint8_t kind) {
            SetStatusText(QString::fromStdString(StatusPanelText(S(ShownText(text)), kind)));
        }));
}

void TfrmMsgList::MailFiled(TMailBox& box, const std::vector<TMailItem*>& items) {
    // Only the listed box has rows; the others count their new mail in the folder tree.
    if (&box != CurrentBox) {
        return;
    }
    BeginListUpdate();
    for (TMailItem* item : items) {
        AddMessageRow(RowKeyOf(TMailItems::KeyOf(*item)));
        ScrollToRow(RowKeyOf(TMailItems::KeyOf(*item)));
    }
    EndListUpdate();
}

void TfrmMsgList::BringUpMessage(TMailItem& item) {
    TMailBox* box = item.Collection().Box;
    if (box == nullptr) {
        return;
    }
    SecondInstance();
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
    const TRowKey folder = RowKeyOf(*box);
    if (FocusedFolder() != folder) {
        // Listed at once: the row is focused right after.
        ImmediateFocus = true;
        FocusFolder(folder);
        ImmediateFocus = false;
    }
    if (CurrentBox != box) {
        CurrentBox = box;
        Command(TCommandId::BoxMessages).trigger();
    }
    FocusRow(RowKeyOf(TMailItems::KeyOf(item)));
}

}  // namespace quobel
