#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTreeView>

#include "ui/mainwindow/message_list_model.h"
#include "ui_fixture.h"

namespace quobel::testing {
namespace {

std::vector<std::string> Subjects(const TMessageListModel& model) {
    std::vector<std::string> subjects;
    for (int row = 0; row < model.Count(); ++row) {
        subjects.push_back(FakeOf(model.KeyAt(row)).Subject);
    }
    return subjects;
}

// Items whose every sort key has ties, so that stability shows in every column. The subject
// names each item and its mailbox order.
std::vector<FakeItem> TiedItems() {
    std::vector<FakeItem> items(4);
    const char* from[] = {"bob", "Alice", "alice", "Bob"};
    const char* subject[] = {"a1", "b2", "c3", "d4"};
    const double date[] = {2, 1, 2, 1};
    const int64_t size[] = {10, 10, 5, 5};
    const int32_t priority[] = {3, 1, 3, 1};
    const bool attachments[] = {false, true, false, true};
    const char* account[] = {"", "Work", "work", ""};
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].From = from[i];
        items[i].To = from[i];
        items[i].Subject = subject[i];
        items[i].Date = date[i];
        items[i].Size = size[i];
        items[i].Priority = priority[i];
        items[i].Attachments = attachments[i];
        items[i].Account = account[i];
    }
    return items;
}

TEST(MessageListModel, StableSortByEveryColumnInBothDirections) {
    struct Case {
        int column;
        std::vector<std::string> ascending, descending;
    };
    const Case cases[] = {
        {kColFrom, {"b2", "c3", "a1", "d4"}, {"a1", "d4", "b2", "c3"}},
        {kColTo, {"b2", "c3", "a1", "d4"}, {"a1", "d4", "b2", "c3"}},
        {kColSubject, {"a1", "b2", "c3", "d4"}, {"d4", "c3", "b2", "a1"}},
        {kColDate, {"b2", "d4", "a1", "c3"}, {"a1", "c3", "b2", "d4"}},
        {kColSize, {"c3", "d4", "a1", "b2"}, {"a1", "b2", "c3", "d4"}},
        {kColPriority, {"b2", "d4", "a1", "c3"}, {"a1", "c3", "b2", "d4"}},
        {kColAttachment, {"a1", "c3", "b2", "d4"}, {"b2", "d4", "a1", "c3"}},
        {kColAccount, {"a1", "d4", "b2", "c3"}, {"b2", "c3", "a1", "d4"}},
        {kColHand, {"a1", "b2", "c3", "d4"}, {"a1", "b2", "c3", "d4"}},
        {kColKey, {"a1", "b2", "c3", "d4"}, {"a1", "b2", "c3", "d4"}},
    };
    std::vector<FakeItem> items = TiedItems();
    FakeRows rows;
    for (const Case& c : cases) {
        for (const TSortDirection direction :
             {TSortDirection::Ascending, TSortDirection::Descending}) {
            TMessageListModel model;
            model.SetSource(&rows);
            model.SetSort(c.column, direction);
            model.BeginUpdate();
            for (FakeItem& item : items) {
                model.AddRow(KeyOf(item));
            }
            model.EndUpdate();
            EXPECT_EQ(Subjects(model),
                      direction == TSortDirection::Ascending ? c.ascending : c.descending)
                << "column " << c.column << " direction " << static_cast<int>(direction);
        }
    }
}

TEST(MessageListModel, LongTextsAlikeInTheirFirstBytesSortByTheRest) {
    std::vector<FakeItem> items(4);
    const char* subjects[] = {"Re: quarterly report C", "RE: QUARTERLY REPORT b", "Re: quarterly",
                              "re: quarterly report a"};
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].Subject = subjects[i];
    }
    FakeRows rows;
    TMessageListModel model;
    model.SetSource(&rows);
    model.SetSort(kColSubject, TSortDirection::Ascending);
    model.BeginUpdate();
    for (FakeItem& item : items) {
        model.AddRow(KeyOf(item));
    }
    model.EndUpdate();
    EXPECT_EQ(Subjects(model),
              (std::vector<std::string>{subjects[2], subjects[3], subjects[1], subjects[0]}));
}

TEST(MessageListModel, RowAddedOutsideAnUpdateGoesAfterItsEquals) {
    std::vector<FakeItem> items = TiedItems();
    FakeRows rows;
    TMessageListModel model;
    model.SetSource(&rows);
    model.SetSort(kColDate, TSortDirection::Descending);
    for (FakeItem& item : items) {
        model.AddRow(KeyOf(item));
    }
    EXPECT_EQ(Subjects(model), (std::vector<std::string>{"a1", "c3", "b2", "d4"}));
    EXPECT_TRUE(model.RemoveRow(KeyOf(items[2])));
    EXPECT_FALSE(model.RemoveRow(KeyOf(items[2])));
    EXPECT_EQ(model.RowOf(KeyOf(items[3])), 2);
}

class MessageListWindow : public ::testing::Test, public WindowFixture {
  protected:
    void SetUp() override {
        for (int i = 0; i < 6; ++i) {
            FakeItem item;
            item.Subject = "m" + std::to_string(i);
            item.From = "from" + std::to_string(i);
            item.Date = i;
            items.push_back(item);
        }
        window = NewWindow();
    }

    std::string Focused() const {
        const TRowKey key = window->FocusedRow();
        return key == nullptr ? "" : FakeOf(key).Subject;
    }
    void Select(int row) {
        ChildNamed<QTreeView>(*window, "tvMailBox")
            ->selectionModel()
            ->select(window->Messages().index(row, 0),
                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    std::vector<FakeItem> items;
    std::unique_ptr<TfrmMsgList> window;
};

TEST_F(MessageListWindow, ListingFocusesTheNewestMessage) {
    window->FillMessageRows(Keys(items));
    EXPECT_EQ(Focused(), "m5");  // by date ascending: the last row
    window->HeaderClick(kColDate, TMouseButton::Left);
    window->FillMessageRows(Keys(items));
    EXPECT_EQ(Focused(), "m5");  // descending: the first row
    EXPECT_EQ(window->Messages().RowOf(KeyOf(items[5])), 0);
}

TEST_F(MessageListWindow, FocusNeighbourSkipsSelectedRowsInTheSortDirection) {
    // Ascending: rows m0..m5. Focus m3 with m2 selected too: upwards finds m1.
    window->FillMessageRows(Keys(items));
    window->FocusRow(KeyOf(items[3]));
    Select(2);
    window->FocusNeighbour();
    EXPECT_EQ(Focused(), "m1");

    // The first row has nothing above it: the one below.
    window->FocusRow(KeyOf(items[0]));
    window->FocusNeighbour();
    EXPECT_EQ(Focused(), "m1");

    // Descending: rows m5..m0. Focus m3 (row 2) with m2 (row 3) selected: downwards finds m1.
    window->HeaderClick(kColDate, TMouseButton::Left);
    window->FocusRow(KeyOf(items[3]));
    Select(3);
    window->FocusNeighbour();
    EXPECT_EQ(Focused(), "m1");

    // Every row selected: nothing changes.
    window->FocusRow(KeyOf(items[3]));
    ChildNamed<QTreeView>(*window, "tvMailBox")->selectAll();
    window->FocusNeighbour();
    EXPECT_EQ(Focused(), "m3");
}

TEST_F(MessageListWindow, SelectedRowsComeLastRowFirstAndNextWraps) {
    window->FillMessageRows(Keys(items));
    window->FocusRow(KeyOf(items[1]));
    Select(4);
    const std::vector<TRowKey> selected = window->SelectedRows();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0], KeyOf(items[4]));
    EXPECT_EQ(selected[1], KeyOf(items[1]));

    std::vector<TRowKey> shown;
    window->OnMessageFocused = [&](TRowKey key) { shown.push_back(key); };
    window->FocusRow(KeyOf(items[5]));
    window->Command(TCommandId::NextRow).trigger();
    EXPECT_EQ(Focused(), "m0");
    window->Command(TCommandId::PreviousRow).trigger();
    EXPECT_EQ(Focused(), "m5");
    // Navigation commands load the preview at once.
    EXPECT_EQ(shown, (std::vector<TRowKey>{KeyOf(items[0]), KeyOf(items[5])}));
}

TEST_F(MessageListWindow, EnvelopeFollowsTheFirstShownTextColumn) {
    items[0].Read = true;
    window->FillMessageRows(Keys(items));
    const TMessageListModel& model = window->Messages();
    const auto hasIcon = [&](int column) {
        return !model.data(model.index(0, column), Qt::DecorationRole).isNull();
    };
    EXPECT_TRUE(hasIcon(kColFrom));
    window->ShowColumn(kColFrom, false);
    EXPECT_FALSE(hasIcon(kColFrom));
    EXPECT_TRUE(hasIcon(kColSubject));
    for (const int column : {kColSubject, kColDate}) {
        window->ShowColumn(column, false);
    }
    EXPECT_EQ(model.EnvelopeColumn(), -1);
    // Unread rows are bold, read rows are not.
    EXPECT_TRUE(model.data(model.index(1, kColSize), Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(model.data(model.index(0, kColSize), Qt::FontRole).isNull());
}

TEST_F(MessageListWindow, PriorityIconsOnlyForHighAndLow) {
    for (int i = 0; i < 6; ++i) {
        items[static_cast<size_t>(i)].Priority = i;
    }
    window->FillMessageRows(Keys(items));
    const TMessageListModel& model = window->Messages();
    const bool expected[] = {false, true, true, false, true, true};
    for (int i = 0; i < 6; ++i) {
        const int row = model.RowOf(KeyOf(items[static_cast<size_t>(i)]));
        EXPECT_EQ(!model.data(model.index(row, kColPriority), Qt::DecorationRole).isNull(),
                  expected[i])
            << "priority " << i;
    }
}

}  // namespace
}  // namespace quobel::testing
