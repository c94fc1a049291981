// The OAuth 2.0 sign-in with the real widgets against an authorization server of the test's own
// (tests/support/oauth_server.py on loopback), the test playing the browser: it follows the
// authorization address to the server and the server's redirect to the program's listener.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrlQuery>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "accounts/account_file.h"
#include "core/error.h"
#include "core/options.h"
#include "platform/secret_service_store.h"
#include "platform/secret_store.h"
#include "platform/url_opener.h"
#include "retrieval/command_token_source.h"
#include "retrieval/errors.h"
#include "retrieval/oauth_token_source.h"
#include "support/private_dovecot.h"
#include "support/private_keyring.h"
#include "support/temp_folder.h"
#include "ui/common/qt_form_poster.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/dialogs/oauth_sign_in_dialog.h"
#include "ui/dialogs/oauth_sign_in_widget.h"
#include "ui/options_prompts_fake.h"
#include "ui/tasks/frm_tasks.h"

namespace quobel::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

constexpr const char* kClientId = "quobel-test-client";

// The authorization server, started for the test and stopped with it (its standard input
// closing ends it).
class AuthorizationServer {
  public:
    AuthorizationServer() {
        process_.start(QStringLiteral("python3"),
                       {QStringLiteral(QUOBEL_SOURCE_DIR "/tests/support/oauth_server.py"),
                        QString::fromLatin1(kClientId)});
        if (!process_.waitForStarted(10000) || !process_.waitForReadyRead(10000)) {
            throw std::runtime_error("the authorization server did not start");
        }
        port_ = process_.readLine().trimmed().toInt();
    }
    ~AuthorizationServer() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    AuthorizationServer(const AuthorizationServer&) = delete;
    AuthorizationServer& operator=(const AuthorizationServer&) = delete;

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    void Control(const std::string& body) {
        QtFormPoster poster;
        ASSERT_EQ(poster.PostForm(Url("/control"), body).Status, 200);
    }
    int Stat(const std::string& name) {
        QtFormPoster poster;
        return nlohmann::json::parse(poster.PostForm(Url("/stats"), "").Body)[name].get<int>();
    }

  private:
    QProcess process_;
    int port_ = 0;
};

// The desktop's browser as the test plays it: it visits what it is handed, following redirects
// one by one, and may be told to tamper with the request or the redirect on the way.
class BrowserPlayer : public UrlOpener {
  public:
    void OpenUrl(const std::string& url) override {
        Opened.push_back(url);
        if (Follow) {
            Visit(AlterAuthorization(QUrl(QString::fromStdString(url))));
        }
    }

    // As it was before the test's changes.
    void Reset() {
        Opened.clear();
        Follow = true;
        AlterAuthorization = [](QUrl url) { return url; };
        AlterRedirect = [](QUrl url) { return url; };
        PageStatus = 0;
        Page.clear();
    }

    std::vector<std::string> Opened;
    bool Follow = true;
    std::function<QUrl(QUrl)> AlterAuthorization = [](QUrl url) { return url; };
    std::function<QUrl(QUrl)> AlterRedirect = [](QUrl url) { return url; };
    // The last page shown.
    int PageStatus = 0;
    QString Page;

  private:
    void Visit(const QUrl& url) {
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        QNetworkReply* reply = network_.get(request);
        QObject::connect(reply, &QNetworkReply::finished, &network_, [this, reply] {
            reply->deleteLater();
            const QUrl location = reply->header(QNetworkRequest::LocationHeader).toUrl();
            if (location.isValid()) {
                Visit(AlterRedirect(location));
                return;
            }
            PageStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            Page = QString::fromUtf8(reply->readAll());
        });
    }

    QNetworkAccessManager network_;
};

// The keyring as a map, for the cases that are not about the keyring itself.
class MemoryStore : public TSecretStore {
  public:
    void Store(const std::string& key, const std::string&, const std::string& secret) override {
        Secrets[key] = secret;
    }
    std::optional<std::string> Lookup(const std::string& key) override {
        const auto found = Secrets.find(key);
        return found == Secrets.end() ? std::nullopt : std::optional(found->second);
    }
    void Remove(const std::string& key) override { Secrets.erase(key); }
    std::map<std::string, std::string> Secrets;
};

TAccount AccountAt(const AuthorizationServer& server, const std::string& user) {
    TAccount account;
    account.ID = "A1B2C3";
    account.Name = "Test mailbox";
    account.POP.Host = "pop.example.org";
    account.POP.Username = user;
    account.POP.Authentication = TAuthentication::OAuth2;
    account.POP.OAuth.Provider = "custom";
    account.POP.OAuth.ClientId = kClientId;

    account.POP.OAuth.AuthorizationUrl = server.Url("/authorize");
    account.POP.OAuth.TokenUrl = server.Url("/token");
    account.POP.OAuth.Scope = "pop";
    return account;
}

class OAuthSignInTest : public ::testing::Test {
  protected:
    OAuthSignInTest() {
        widget.AccountToSignIn = [this] { return account; };
        widget.Flow().TimeOut = std::chrono::seconds(20);
    }

    // Presses "Sign in…" and waits for the sign-in's end; true when it signed in.
    bool SignIn() {
        QSignalSpy ended(&widget, &TOAuthSignInWidget::SignInEnded);
        widget.cmdSignIn->click();
        if (ended.isEmpty() && !ended.wait(30000)) {
            ADD_FAILURE() << "the sign-in did not end";
            return false;
        }
        return ended.front().front().toBool();
    }
    std::string RefreshToken() {
        const auto found = store.Secrets.find(TOAuthTokenSource::RefreshTokenKey(account.ID));
        return found == store.Secrets.end() ? std::string() : found->second;
    }
    QString Status() const { return widget.lblSignInStatus->text(); }

    AuthorizationServer server;
    TAccount account = AccountAt(server, "user@example.org");
    MemoryStore store;
    QtFormPoster http{std::chrono::seconds(10)};
    TOAuthTokenSource tokens{store, http};
    BrowserPlayer browser;
    TOAuthSignInWidget widget{tokens, browser};
};

TEST_F(OAuthSignInTest, SignsInThroughTheBrowserAndKeepsTheRefreshToken) {
    widget.ShowStatusOf(account);
    EXPECT_EQ(Status(), QStringLiteral("Not signed in."));
    EXPECT_EQ(widget.cmdSignIn->text(), QStringLiteral("Sign in\u2026"));

    ASSERT_TRUE(SignIn()) << Status().toStdString();
    EXPECT_EQ(Status(), QStringLiteral("Signed in."));
    EXPECT_EQ(widget.cmdSignIn->text(), QStringLiteral("Sign in\u2026"));
    EXPECT_THAT(RefreshToken(), StartsWith("rt-"));

    // What the browser was sent: the code flow with an S256 challenge, a state, the loopback
    // redirect and the mailbox as the hint; never the verifier.
    ASSERT_EQ(browser.Opened.size(), 1U);
    const QUrl opened(QString::fromStdString(browser.Opened[0]));
    const QUrlQuery query(opened);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("response_type"), QUrl::FullyDecoded),
              QStringLiteral("code"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("code_challenge_method"), QUrl::FullyDecoded),
              QStringLiteral("S256"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("code_challenge"), QUrl::FullyDecoded).size(),
              43);
    EXPECT_GE(query.queryItemValue(QStringLiteral("state"), QUrl::FullyDecoded).size(), 16);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("login_hint"), QUrl::FullyDecoded),
              QStringLiteral("user@example.org"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("scope"), QUrl::FullyDecoded),
              QStringLiteral("pop"));
    EXPECT_THAT(
        query.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded).toStdString(),
        StartsWith("http://127.0.0.1:"));
    EXPECT_FALSE(query.hasQueryItem(QStringLiteral("code_verifier")));
    EXPECT_EQ(browser.PageStatus, 200);
    EXPECT_THAT(browser.Page.toStdString(), HasSubstr("return to Quobel"));

    // The listener took its one answer and is gone.
    QTcpSocket late;
    late.connectToHost(
        QHostAddress::LocalHost,
        QUrl(query.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded)).port());
    EXPECT_FALSE(late.waitForConnected(2000));

    // The access token of the sign-in is used while it lasts: no refresh.
    EXPECT_THAT(tokens.AccessToken(account, false), StartsWith("at-"));
    EXPECT_EQ(server.Stat("refresh_grants"), 0);
    widget.ShowStatusOf(account);
    EXPECT_EQ(Status(), QStringLiteral("Signed in."));
}

TEST_F(OAuthSignInTest, RefreshesOnAWorkerThreadBeforeExpiryAndAfterARefusal) {
    // Tokens that end within the safety margin are refreshed at once.
    server.Control("expires_in=30");
    ASSERT_TRUE(SignIn()) << Status().toStdString();
    const std::string signedInRefresh = RefreshToken();

    // Asked on a worker thread, as the check does.
    std::string first;
    std::string failure;
    std::thread worker([&] {
        try {
            first = tokens.AccessToken(account, false);
        } catch (const Error& error) {
            failure = error.what();
        }
    });
    worker.join();
    ASSERT_EQ(failure, "");
    EXPECT_THAT(first, StartsWith("at-"));
    EXPECT_EQ(server.Stat("refresh_grants"), 1);
    // The provider replaced the refresh token: the new one is kept.
    EXPECT_THAT(RefreshToken(), StartsWith("rt-"));
    EXPECT_NE(RefreshToken(), signedInRefresh);

    // A token that lasts is given again; a refused one is refreshed once.
    server.Control("expires_in=3600");
    const std::string lasting = tokens.AccessToken(account, true);
    EXPECT_NE(lasting, first);
    EXPECT_EQ(tokens.AccessToken(account, false), lasting);
    EXPECT_EQ(server.Stat("refresh_grants"), 2);
    const std::string afterRefusal = tokens.AccessToken(account, true);
    EXPECT_NE(afterRefusal, lasting);
    EXPECT_EQ(server.Stat("refresh_grants"), 3);
}

TEST_F(OAuthSignInTest, ARefusedRefreshAsksForANewSignIn) {
    // Never signed in.
    try {
        tokens.AccessToken(account, false);
        ADD_FAILURE() << "a token without a sign-in";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kOAuthSignInAgainText);
    }
    EXPECT_EQ(server.Stat("refresh_grants"), 0);

    ASSERT_TRUE(SignIn()) << Status().toStdString();
    server.Control("revoke=1");
    try {
        tokens.AccessToken(account, true);
        ADD_FAILURE() << "a token from a revoked sign-in";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kOAuthSignInAgainText);
    }
    EXPECT_EQ(server.Stat("refresh_grants"), 1);

    // Signing in again mends it.
    ASSERT_TRUE(SignIn()) << Status().toStdString();
    EXPECT_THAT(tokens.AccessToken(account, true), StartsWith("at-"));
}

// Sign-ins that must not succeed: nothing is kept and the user is told why.
struct RefusedSignIn {
    const char* Name;
    std::function<void(BrowserPlayer&, TAccount&)> Arrange;
    const char* Reason;
    int CodeGrants;  // token requests the server saw
};

TEST_F(OAuthSignInTest, RefusedSignInsKeepNothing) {
    const auto replace = [](const char* name, const char* value) {
        return [=](QUrl url) {
            QUrlQuery query(url);
            query.removeQueryItem(QString::fromLatin1(name));
            query.addQueryItem(QString::fromLatin1(name), QString::fromLatin1(value));
            url.setQuery(query);
            return url;
        };
    };
    const std::vector<RefusedSignIn> cases = {
        // Someone else's challenge on the way to the provider: the code does not fit our verifier.
        {"wrong verifier",
         [&](BrowserPlayer& browser, TAccount&) {
             browser.AlterAuthorization =
                 replace("code_challenge", "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuJJACtRU5M");
         },
         "The sign-in server refused: invalid_grant", 1},
        // An answer that belongs to another sign-in is not exchanged at all.
        {"state mismatch",
         [&](BrowserPlayer& browser, TAccount&) {
             browser.AlterRedirect = replace("state", "forged");
         },
         "did not belong to this sign-in", 0},
        {"denied by the user",
         [](BrowserPlayer&, TAccount& account) { account.POP.Username = "deny@example.org"; },
         "The access was refused at the provider. (The user said no)", 0},
        {"no client ID",
         [](BrowserPlayer&, TAccount& account) { account.POP.OAuth.ClientId.clear(); },
         "Enter the client ID", 0},
        {"token address not https",
         [](BrowserPlayer&, TAccount& account) {
             account.POP.OAuth.TokenUrl = "http://example.org/token";
         },
         "not an https:// address", 0},
    };
    const TAccount original = account;
    for (const RefusedSignIn& each : cases) {
        SCOPED_TRACE(each.Name);
        account = original;
        browser.Reset();
        const int grantsBefore = server.Stat("code_grants");
        each.Arrange(browser, account);
        EXPECT_FALSE(SignIn());
        EXPECT_THAT(Status().toStdString(), HasSubstr(each.Reason));
        EXPECT_EQ(server.Stat("code_grants") - grantsBefore, each.CodeGrants);
        EXPECT_TRUE(store.Secrets.empty());
        EXPECT_FALSE(widget.Flow().Running());
        EXPECT_EQ(widget.cmdSignIn->text(), QStringLiteral("Sign in\u2026"));
    }
    EXPECT_EQ(server.Stat("verifier_mismatch"), 1);
}

TEST_F(OAuthSignInTest, TheSignInIsCancelledOrTimesOut) {
    browser.Follow = false;  // the user never comes back from the browser
    widget.cmdSignIn->click();
    ASSERT_TRUE(widget.Flow().Running());
    EXPECT_EQ(widget.cmdSignIn->text(), QStringLiteral("Cancel"));
    EXPECT_THAT(Status().toStdString(), HasSubstr("browser"));
    const QUrl redirect(QString::fromStdString(widget.Flow().RedirectUri()));
    widget.cmdSignIn->click();
    EXPECT_FALSE(widget.Flow().Running());
    EXPECT_EQ(Status(), QStringLiteral("The sign-in was cancelled."));
    QTcpSocket late;
    late.connectToHost(QHostAddress::LocalHost, redirect.port());
    EXPECT_FALSE(late.waitForConnected(2000));

    widget.Flow().TimeOut = std::chrono::milliseconds(300);
    EXPECT_FALSE(SignIn());
    EXPECT_THAT(Status().toStdString(), HasSubstr("did not come back in time"));
    EXPECT_TRUE(store.Secrets.empty());
}

// The refresh token goes to the real keyring, and never into the account file; a program started
// anew finds it there.
TEST_F(OAuthSignInTest, TheRefreshTokenLandsInTheKeyringNotTheAccountFile) {
    PrivateKeyring keyring;
    TSecretServiceStore secrets("QuobelTest");
    TOAuthTokenSource keyringTokens(secrets, http);
    TOAuthSignInWidget keyringWidget(keyringTokens, browser);
    keyringWidget.AccountToSignIn = [this] { return account; };
    QSignalSpy ended(&keyringWidget, &TOAuthSignInWidget::SignInEnded);
    keyringWidget.cmdSignIn->click();
    ASSERT_TRUE(ended.wait(30000));
    ASSERT_TRUE(ended.front().front().toBool())
        << keyringWidget.lblSignInStatus->text().toStdString();

    const std::optional<std::string> kept =
        secrets.Lookup(TOAuthTokenSource::RefreshTokenKey(account.ID));
    ASSERT_TRUE(kept.has_value());
    EXPECT_THAT(*kept, StartsWith("rt-"));
    // Not under the key of the account's password.
    EXPECT_FALSE(secrets.Lookup(account.ID).has_value());

    TempFolder folder;
    const std::string file = folder.File("account.ini");
    SaveAccount(account, file);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_THAT(text.str(), Not(HasSubstr(*kept)));
    EXPECT_THAT(text.str(), Not(HasSubstr("rt-")));

    TOAuthTokenSource restarted(secrets, http);
    EXPECT_THAT(restarted.AccessToken(account, false), StartsWith("at-"));
    EXPECT_EQ(server.Stat("refresh_grants"), 1);
}

// A check that failed for a withdrawn sign-in offers "Sign in again…" in the Tasks window, which
// runs the sign-in in its dialog.
TEST_F(OAuthSignInTest, TheTasksWindowOffersTheSignInAgain) {
    TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    TfrmTasks tasks(options);
    std::vector<std::string> asked;
    tasks.OnSignIn = [&](const std::string& accountId) {
        asked.push_back(accountId);
        TOAuthSignInDialog dialog(account, tokens, browser, &tasks);
        QTimer::singleShot(30000, &dialog, &QDialog::reject);
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    };
    tasks.show();

    TErrors errors;
    TError& other = errors.Add();
    other.Message = "Could not connect";
    other.AccountID = account.ID;
    tasks.ShowError(other);
    EXPECT_FALSE(tasks.cmdSignIn->isVisible());

    try {
        tokens.AccessToken(account, false);
    } catch (const Error& error) {
        TError& withdrawn = errors.Add();
        // As a task reports it: its headline, the reason in the details.
        withdrawn.Message = "Could not log in";
        withdrawn.Details = error.what();
        withdrawn.AccountID = account.ID;
        tasks.ShowError(withdrawn);
    }
    ASSERT_EQ(tasks.ErrorRowCount(), 2);
    EXPECT_TRUE(tasks.cmdSignIn->isVisible());
    EXPECT_EQ(tasks.cmdSignIn->text(), QStringLiteral("Sign in again\u2026"));
    tasks.tvErrors->setCurrentItem(tasks.tvErrors->topLevelItem(0));
    EXPECT_FALSE(tasks.cmdSignIn->isVisible());
    tasks.tvErrors->setCurrentItem(tasks.tvErrors->topLevelItem(1));
    ASSERT_TRUE(tasks.cmdSignIn->isVisible());

    tasks.cmdSignIn->click();
    EXPECT_EQ(asked, std::vector<std::string>{account.ID});
    EXPECT_THAT(RefreshToken(), StartsWith("rt-"));
    EXPECT_FALSE(tasks.cmdSignIn->isVisible());
    EXPECT_THAT(tokens.AccessToken(account, false), StartsWith("at-"));
}

// The whole way: "Sign in…" in the real account dialog, then its Test against a Dovecot whose
// oauth2 passdb asks the test's authorization server whether the access token is good.
TEST_F(OAuthSignInTest, TheAccountDialogSignsInAndTheServerTakesTheToken) {
    PrivateDovecot dovecot(
        {{"ann", "unused", {{"m1", "Subject: one\n\n1\n"}, {"m2", "Subject: two\n\n2\n"}}}},
        server.Url("/introspect"));
    dovecot.PresentNewSelfSignedCertificate();
    account.POP.Host = "localhost";
    account.POP.Port = dovecot.Pop3sPort;
    account.POP.Username = "ann";
    account.POP.TLS = TPOPSecurity::Tls;
    account.TrustedKey = {"localhost", dovecot.PresentedKeyPin()};

    TScriptedPrompts prompts;
    TCommandTokenSource checkTokens(&tokens);
    const TOAuthSignInServices services{tokens, browser};

    // A new account has no ID to keep a sign-in under yet.
    TfrmAccount fresh(prompts);
    fresh.OfferSignIn(services);
    ASSERT_NE(fresh.SignIn, nullptr);
    EXPECT_FALSE(fresh.SignIn->cmdSignIn->isEnabled());
    EXPECT_THAT(fresh.SignIn->lblSignInStatus->text().toStdString(), HasSubstr("after saving"));

    TfrmAccount dialog(prompts);
    dialog.Tokens = &checkTokens;
    dialog.OfferSignIn(services);
    dialog.ShowAccount(account);
    dialog.show();
    ASSERT_TRUE(dialog.SignIn->isVisible());
    EXPECT_TRUE(dialog.SignIn->cmdSignIn->isEnabled());
    EXPECT_EQ(dialog.SignIn->lblSignInStatus->text(), QStringLiteral("Not signed in."));

    // What the test would find before the sign-in: the Tasks window's sentence.
    dialog.cmdTest->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.TestRunning(); }, 30000));
    EXPECT_THAT(dialog.lblTestResult->text().toStdString(), HasSubstr(kOAuthSignInAgainText));

    QSignalSpy ended(dialog.SignIn, &TOAuthSignInWidget::SignInEnded);
    dialog.SignIn->cmdSignIn->click();
    ASSERT_TRUE(ended.wait(30000));
    ASSERT_TRUE(ended.front().front().toBool())
        << dialog.SignIn->lblSignInStatus->text().toStdString();
    EXPECT_EQ(dialog.SignIn->lblSignInStatus->text(), QStringLiteral("Signed in."));
    // Kept under the ID of the account shown, with the typed client.
    EXPECT_THAT(RefreshToken(), StartsWith("rt-"));

    dialog.cmdTest->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.TestRunning(); }, 30000));
    EXPECT_THAT(dialog.lblTestResult->text().toStdString(),
                HasSubstr("Connected: 2 messages on the server"));
    EXPECT_GE(server.Stat("introspect"), 1);
}

TEST(QtFormPosterTest, PostsOnlyOverHttpsButToLoopback) {
    QtFormPoster poster(std::chrono::seconds(5));
    for (const char* url : {"http://example.org/token", "ftp://127.0.0.1/token", "not a url"}) {
        SCOPED_TRACE(url);
        EXPECT_THROW(poster.PostForm(url, "grant_type=refresh_token"), Error);
    }
    // Nothing listens: no answer is an error that names no secret.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const std::string url = "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/token";
    closed.close();
    try {
        poster.PostForm(url, "refresh_token=secret-refresh");
        ADD_FAILURE() << "an answer from nowhere";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr("could not be reached"));
        EXPECT_THAT(error.what(), Not(HasSubstr("secret-refresh")));
    }
}

}  // namespace
}  // namespace quobel::testing
