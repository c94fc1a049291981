// The Tasks window following a real task queue, offscreen.
#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/options.h"
#include "platform/memory_transport.h"
#include "retrieval/pop_list.h"
#include "retrieval/tasks.h"
#include "support/temp_folder.h"
#include "ui/common/qt_dispatcher.h"
#include "ui/tasks/frm_tasks.h"

namespace quobel::testing {
namespace {

TEST(TasksWindowQueue, RowsFollowTheQueueAndTheWindowClosesWhenItRunsEmptyWithoutErrors) {
    struct Case {
        const char* name;
        bool errorListed;
    };
    for (const Case c : {Case{"no error listed", false}, Case{"an error listed", true}}) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        TOptions options(folder.File("settings.ini"));
        TfrmTasks window(options);
        QtUiDispatcher dispatcher;
        auto queue = std::make_unique<TTasks>(dispatcher);
        queue->AddObserver(window);
        window.ShowOver(nullptr);
        if (c.errorListed) {
            window.AddErrorRow("Could not connect!", "10:00:00", 1.0, "refused");
        }

        // Servers that hang up at once: every task ends quickly.
        const auto peer = std::make_shared<TMemoryPeer>();
        std::vector<TAccount> accounts(3);
        for (size_t i = 0; i < accounts.size(); ++i) {
            accounts[i].Name = std::vector<std::string>{"one", "two", "three"}[i];
            accounts[i].POP.Host = "pop." + accounts[i].Name + ".example";
            TPOPList& task = queue->Add<TPOPList>(accounts[i]);
            task.Connection->Connector = TMemoryTransport::ConnectorFor(peer);
        }
        ASSERT_EQ(window.TaskRowCount(), 3);
        // The "Account" column names the POP3 server, not the account.
        EXPECT_EQ(window.tvTasks->topLevelItem(0)->text(1), QStringLiteral("pop.one.example"));
        EXPECT_EQ(window.tvTasks->topLevelItem(2)->text(1), QStringLiteral("pop.three.example"));
        EXPECT_NE(window.tvTasks->topLevelItem(0)->icon(0).cacheKey(),
                  window.tvTasks->topLevelItem(1)->icon(0).cacheKey());

        queue->StartNext();
        ASSERT_TRUE(QTest::qWaitFor([&] { return queue->Count() == 0; }, 20000));
        EXPECT_EQ(window.TaskRowCount(), 0);
        EXPECT_EQ(window.isVisible(), c.errorListed);
        queue->RemoveObserver(window);
    }
}

}  // namespace
}  // namespace quobel::testing
