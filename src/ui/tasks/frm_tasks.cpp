#include "ui/tasks/frm_tasks.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/options.h"
#include "cycle/cycle_events.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "retrieval/oauth_token_source.h"
#include "ui/common/help_key.h"
#include "ui/common/icons.h"
#include "ui/common/lower_texts.h"

namespace quobel {
namespace {

constexpr int kPagesHeight = 170;
constexpr int kTimeRole = Qt::UserRole + 1;

QTreeWidget* MakeList(const QString& first, const QString& second) {
    auto* list = new QTreeWidget;
    list->setColumnCount(2);
    list->setHeaderLabels({first, second});
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setIconSize(QSize(12, 12));
    list->header()->setSectionsMovable(true);
    list->header()->resizeSection(0, 187);
    list->header()->resizeSection(1, 143);
    return list;
}

// The "Account" column names the server a task talks to: every task of this program is a POP3
// task. The task's own copy of its account is read, which outlives a removed account.
std::string ServerOf(const TCustomTask& task) {
    return task.SourceAccount != nullptr ? task.Account.POP.Host : std::string();
}

}  // namespace

TfrmTasks::TfrmTasks(TOptions& options, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowCloseButtonHint), options_(options) {
    setObjectName(QStringLiteral("frmTasks"));
    SetHelpSection(*this, "tasks");
    setWindowTitle(tr("Tasks"));
    setSizeGripEnabled(true);

    auto* imgIcon = new QLabel;
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(TIcons::Tool(QStringLiteral("status_receive")).pixmap(32, 32));
    imgIcon->setFixedSize(32, 32);
    lblAccount = new QLabel;
    lblAccount->setObjectName(QStringLiteral("lblAccount"));
    lblAccount->setAlignment(Qt::AlignCenter);
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    pbProgress = new QProgressBar;
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setTextVisible(false);
    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);
    cmdHide = new QPushButton(tr("&Hide"));
    cmdHide->setObjectName(QStringLiteral("cmdHide"));
    cmdHide->setDefault(true);
    cmdHide->setFixedSize(75, 21 + 4);
    cmdDetails = new QPushButton(tr("&Details <<"));
    cmdDetails->setObjectName(QStringLiteral("cmdDetails"));
    cmdDetails->setFixedSize(75, 21 + 4);
    cmdDetails->setAutoDefault(false);
    cmdCancel = new QPushButton(tr("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setFixedSize(75, 21 + 4);
    cmdCancel->setAutoDefault(false);
    cmdCancel->setEnabled(false);

    tvTasks = MakeList(tr("Task"), tr("Account"));
    tvTasks->setObjectName(QStringLiteral("tvTasks"));
    tvErrors = MakeList(tr("Error"), tr("Time"));
    tvErrors->setObjectName(QStringLiteral("tvErrors"));
    cmdTrust = new QPushButton(tr("Trust this certificate\u2026"));
    cmdTrust->setObjectName(QStringLiteral("cmdTrust"));
    cmdTrust->setAutoDefault(false);
    cmdTrust->hide();
    cmdSignIn = new QPushButton(tr("Sign in again\u2026"));
    cmdSignIn->setObjectName(QStringLiteral("cmdSignIn"));
    cmdSignIn->setAutoDefault(false);
    cmdSignIn->hide();
    pcTasks = new QTabWidget;
    pcTasks->setObjectName(QStringLiteral("pcTasks"));
    pcTasks->addTab(tvTasks, tr("Tasks"));
    pcTasks->addTab(tvErrors, tr("Errors"));
    pcTasks->setFixedHeight(kPagesHeight);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 4);
    grid->addWidget(imgIcon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblAccount, 0, 1);
    grid->addWidget(cmdHide, 0, 2);
    grid->addWidget(lblStatus, 1, 1);
    grid->addWidget(cmdCancel, 1, 2);
    grid->addWidget(pbProgress, 2, 1);
    grid->addWidget(cmdDetails, 2, 2);
    grid->addWidget(pcTasks, 3, 0, 1, 3);
    auto* offers = new QHBoxLayout;
    offers->addWidget(cmdTrust);
    offers->addWidget(cmdSignIn);
    offers->addStretch(1);
    grid->addLayout(offers, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    connect(cmdHide, &QPushButton::clicked, this, &TfrmTasks::cmdHideClick);
    connect(cmdDetails, &QPushButton::clicked, this, &TfrmTasks::cmdDetailsClick);
    connect(cmdCancel, &QPushButton::clicked, this, &TfrmTasks::cmdCancelClick);
    connect(cmdTrust, &QPushButton::clicked, this, &TfrmTasks::cmdTrustClick);
    connect(cmdSignIn, &QPushButton::clicked, this, &TfrmTasks::cmdSignInClick);
    connect(tvErrors, &QTreeWidget::currentItemChanged, this, &TfrmTasks::UpdateTrustOffer);
    connect(pcTasks, &QTabWidget::currentChanged, this, &TfrmTasks::UpdateTrustOffer);

    // FormCreate: remember both heights; start collapsed unless the details were shown last.
    resize(358, 282);
    fullHeight_ = 282;
    collapsedHeight_ = fullHeight_ - kPagesHeight - 8;
    bool details = false;
    {
        OptionsScope scope(options_);
        details = scope.Read(settings::kTaskDetails);
    }
    if (!details) {
        cmdDetailsClick();
    }
}

void TfrmTasks::SetAccount(const QString& text) {
    lblAccount->setText(text);
}

void TfrmTasks::SetStatus(const QString& text) {
    lblStatus->setText(text);
}

void TfrmTasks::SetProgress(int maximum, int position) {
    pbProgress->setMaximum(maximum);
    pbProgress->setValue(position);
    pbProgress->repaint();
}

void TfrmTasks::AddTaskRow(const QString& description, const QString& account) {
    auto* row = new QTreeWidgetItem(tvTasks, {description, account});
    (void)row;
    MarkHead();
}

void TfrmTasks::TaskQueueChanged(TTasks& queue) {
    tvTasks->clear();
    for (size_t i = 0; i < queue.Count(); ++i) {
        TCustomTask& task = queue.Items(i);
        AddTaskRow(ShownText(task.Description()), QString::fromStdString(ServerOf(task)));
    }
    // The head of the queue is the running task (or starts right after this change).
    cmdCancel->setEnabled(queue.Count() > 0);
    if (queue.Count() == 0 && ErrorRowCount() == 0) {
        hide();
    }
}

void TfrmTasks::cmdCancelClick() {
    if (OnCancelTask) {
        OnCancelTask();
    }
}

void TfrmTasks::ObserveCycle(TCycleEvents& events, QWidget* owner) {
    owner_ = owner;
    cycleSubscriptions_.clear();
    cycleSubscriptions_.push_back(events.TaskStatus.Subscribe(
        [this](const std::string& account, const std::string& text, uint8_t) {
            SetAccount(QString::fromStdString(account));
            SetStatus(ShownText(text));
        }));
    cycleSubscriptions_.push_back(
        events.TaskProgress.Subscribe([this](int64_t maximum, int64_t position) {
            // The bar counts in ints: large transfers are shown in kilobytes.
            const int64_t scale = maximum > INT32_MAX ? 1024 : 1;
            SetProgress(static_cast<int>(maximum / scale), static_cast<int>(position / scale));
        }));
    cycleSubscriptions_.push_back(
        events.ErrorLogged.Subscribe([this](const TError& error) { ShowError(error); }));
    cycleSubscriptions_.push_back(events.TasksWanted.Subscribe([this] { ShowTasks(); }));
}

void TfrmTasks::ShowError(const TError& error) {
    AddErrorRow(ShownText(error.Message), QString::fromStdString(error.TimeStr()), error.Time(),
                QString::fromStdString(error.Details));
    // The row just added is the last one with that time.
    QTreeWidgetItem* row = nullptr;
    for (int i = tvErrors->topLevelItemCount(); i-- > 0 && row == nullptr;) {
        if (tvErrors->topLevelItem(i)->data(0, kTimeRole).toDouble() <= error.Time()) {
            row = tvErrors->topLevelItem(i);
        }
    }
    // A task's error carries the task's headline as its message and the reason in the details.
    const auto asksForSignIn = [](const std::string& text) {
        return text.find(kOAuthSignInAgainText) != std::string::npos;
    };
    if (row != nullptr && !error.AccountID.empty() &&
        (asksForSignIn(error.Message) || asksForSignIn(error.Details))) {
        signInOffers_[row] = error.AccountID;
    }
    if (row != nullptr && error.Certificate) {
        trustOffers_[row] = {error.AccountID, error.Certificate};
    }
    ShowErrorsPage(true);
    if (row != nullptr) {
        tvErrors->setCurrentItem(row);
    }
    UpdateTrustOffer();
    ShowOver(owner_);
}

void TfrmTasks::UpdateTrustOffer() {
    const QTreeWidgetItem* row = tvErrors->currentItem();
    const bool offered = pcTasks->currentWidget() == tvErrors && row != nullptr &&
                         trustOffers_.contains(row) && OnTrustCertificate;
    cmdTrust->setVisible(offered);
    cmdSignIn->setVisible(pcTasks->currentWidget() == tvErrors && row != nullptr &&
                          signInOffers_.contains(row) && OnSignIn);
}

void TfrmTasks::cmdSignInClick() {
    const QTreeWidgetItem* row = tvErrors->currentItem();
    const auto offer = row != nullptr ? signInOffers_.find(row) : signInOffers_.end();
    if (offer == signInOffers_.end() || !OnSignIn) {
        return;
    }
    // A copy: the row may go while the sign-in runs.
    const std::string accountId = offer->second;
    OnSignIn(accountId);
    // Signed in or not, the user has dealt with it: the offer goes with every row of the account.
    std::erase_if(signInOffers_, [&](const auto& entry) { return entry.second == accountId; });
    UpdateTrustOffer();
}

void TfrmTasks::cmdTrustClick() {
    const QTreeWidgetItem* row = tvErrors->currentItem();
    const auto offer = row != nullptr ? trustOffers_.find(row) : trustOffers_.end();
    if (offer == trustOffers_.end() || !OnTrustCertificate) {
        return;
    }
    // A copy: the row may go while the question is open.
    const TrustOffer chosen = offer->second;
    if (!AskTrust(this, *chosen.Certificate, row->toolTip(0))) {
        return;
    }
    if (OnTrustCertificate(chosen.AccountID, *chosen.Certificate)) {
        // Trusted once is enough: the offer goes with every row of that key.
        std::erase_if(trustOffers_, [&](const auto& entry) {
            return entry.second.Certificate->KeyPin == chosen.Certificate->KeyPin &&
                   entry.second.AccountID == chosen.AccountID;
        });
    }
    UpdateTrustOffer();
}

void TfrmTasks::ShowTasks() {
    ShowTasksPage();
    ShowOver(owner_);
}

void TfrmTasks::DeleteFirstTaskRow() {
    delete tvTasks->takeTopLevelItem(0);
    MarkHead();
}

int TfrmTasks::TaskRowCount() const {
    return tvTasks->topLevelItemCount();
}

void TfrmTasks::MarkHead() {
    const QVector<QIcon>& images = TIcons::Tasks();
    for (int i = 0; i < tvTasks->topLevelItemCount(); ++i) {
        tvTasks->topLevelItem(i)->setIcon(0, images[i == 0 ? 1 : 0]);
    }
}

void TfrmTasks::AddErrorRow(const QString& message, const QString& timeStr, double time,
                            const QString& details) {
    auto* row = new QTreeWidgetItem({message, timeStr});
    row->setIcon(0, TIcons::Tasks()[2]);
    row->setData(0, kTimeRole, time);
    row->setToolTip(0, details);
    row->setToolTip(1, details);
    // Oldest first; an entry as old as a listed one goes after it.
    int place = tvErrors->topLevelItemCount();
    while (place > 0 && tvErrors->topLevelItem(place - 1)->data(0, kTimeRole).toDouble() > time) {
        --place;
    }
    tvErrors->insertTopLevelItem(place, row);
}

int TfrmTasks::ErrorRowCount() const {
    return tvErrors->topLevelItemCount();
}

void TfrmTasks::ShowTasksPage() {
    pcTasks->setCurrentIndex(0);
}

void TfrmTasks::ShowErrorsPage(bool expandDetails) {
    pcTasks->setCurrentIndex(1);
    if (expandDetails && !DetailsShown()) {
        cmdDetailsClick();
    }
}

bool TfrmTasks::DetailsShown() const {
    return !pcTasks->isHidden();
}

void TfrmTasks::cmdDetailsClick() {
    if (DetailsShown()) {
        setMinimumHeight(0);
        resize(width(), collapsedHeight_);
        cmdDetails->setText(tr("&Details >>"));
    } else {
        resize(width(), fullHeight_);
        cmdDetails->setText(tr("&Details <<"));
    }
    pcTasks->setVisible(!DetailsShown());
    OptionsScope scope(options_);
    scope.Write(settings::kTaskDetails, DetailsShown());
}

void TfrmTasks::cmdHideClick() {
    trustOffers_.clear();
    signInOffers_.clear();
    tvErrors->clear();
    UpdateTrustOffer();
    if (OnClearErrors) {
        OnClearErrors();
    }
    hide();
}

void TfrmTasks::ShowOver(QWidget* owner) {
    if (!placed_ && owner != nullptr) {
        move(owner->geometry().center() - QPoint(width() / 2, height() / 2));
        placed_ = true;
    }
    show();
    raise();
}

void TfrmTasks::reject() {
    cmdHideClick();
}

void TfrmTasks::closeEvent(QCloseEvent* event) {
    // The close box only hides the window; the error log stays.
    hide();
    event->ignore();
}

}  // namespace quobel
