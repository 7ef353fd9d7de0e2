#include "PagePolicy.h"

#include "PageDialogs.h"
#include "PageRules.h"
#include "PageWindows.h"
#include "ScriptDialogRoute.h"
#include "Seams.h"
#include "SiteName.h"

#include <QApplication>
#include <QAuthenticator>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSet>
#include <QShortcut>
#include <QStandardPaths>
#include <QUuid>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <chrono>

namespace {

// The window whose page asked for the download being saved.
QPointer<QWidget>& saveDialogOwner() {
    static QPointer<QWidget> owner;
    return owner;
}

SaveLocationAsker& saveLocationAsker() {
    static SaveLocationAsker asker = [](const QString& suggestedPath) {
        pagedialogs::FileDialogHistoryAside aside;
        QFileDialog dialog(saveDialogOwner(), QStringLiteral("另存为"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.selectFile(suggestedPath);
        return pagedialogs::runWithoutBlocking(dialog) == QDialog::Accepted
                   ? dialog.selectedFiles().value(0)
                   : QString();
    };
    return asker;
}

// Where downloads wait, paused, until the user has chosen their place; what
// a killed program left there goes at the next start.
QString holdingFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(data.isEmpty() ? QDir::tempPath() : data)
        .filePath(QStringLiteral("held-downloads"));
}

void moveInto(const QString& held, const QString& chosen) {
    QFile::remove(chosen);
    if (QFile::rename(held, chosen))
        return;
    // Another file system: copied, then the held one goes.
    if (!QFile::copy(held, chosen))
        seams::showMessage(
            {QStringLiteral("下载失败：无法保存到“%1”。").arg(QDir::toNativeSeparators(chosen)),
             QString(), seams::Buttons::Ok, seams::Icon::Exclamation});
    QFile::remove(held);
}

void askWhereToSave(QPointer<QWebEngineDownloadRequest> download, const QString& suggested) {
    if (!download)
        return;
    QWebEngineView* view = download->page() ? QWebEngineView::forPage(download->page()) : nullptr;
    saveDialogOwner() = view ? view->window() : nullptr;
    const QString chosen = saveLocationAsker()(suggested);
    if (!download)
        return;
    if (chosen.isEmpty()) {
        download->cancel(); // the engine removes what it held
        return;
    }
    const QString held = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    const auto finish = [download, held, chosen] {
        if (download && download->state() == QWebEngineDownloadRequest::DownloadCompleted)
            moveInto(held, chosen);
    };
    if (download->isFinished())
        finish();
    else
        QObject::connect(download, &QWebEngineDownloadRequest::isFinishedChanged, download, finish);
    download->resume();
}

void saveDownload(QWebEngineDownloadRequest* download) {
    // The page picks only the name, and only a plain one; the folder is ours.
    const QString suggested = QDir(pagerules::downloadFolder())
                                  .filePath(pagerules::safeFileName(download->downloadFileName()));
    // Nothing lands where the user did not say: the download waits, paused,
    // in our holding folder while the save dialog is open.
    QDir().mkpath(holdingFolder());
    download->setDownloadDirectory(holdingFolder());
    download->setDownloadFileName(QUuid::createUuid().toString(QUuid::WithoutBraces));
    download->accept();
    download->pause();
    QPointer<QWebEngineDownloadRequest> held(download);
    QObject::connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, download, [held] {
        if (held && !held->property("orvantaAnswered").toBool())
            held->pause();
    });
    QMetaObject::invokeMethod(
        download,
        [held, suggested] {
            askWhereToSave(held, suggested);
            if (held)
                held->setProperty("orvantaAnswered", true);
        },
        Qt::QueuedConnection);
}

// Keeps program resources away from every page, pictures and frames included.
class ResourceGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl& url = info.requestUrl();
        if (pagerules::isProgramResource(url) ||
            (scriptdialogroute::isRouteAddress(url) &&
             info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeXhr))
            info.block(true);
    }
};

qint64 nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString siteOf(const QUrl& origin) {
    const QString site = sitename::of(origin);
    return site.isEmpty() ? QStringLiteral("本地网页") : site;
}

QString originOf(const QUrl& url) {
    return url
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::RemoveUserInfo)
        .toString();
}

pagepolicy::PrintRunner& printRunner();

class GuardedPage : public QWebEnginePage {
public:
    GuardedPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl& origin, Feature feature) {
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
                });
        connect(this, &QWebEnginePage::fullScreenRequested, this,
                [](QWebEngineFullScreenRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
                [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
                [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::authenticationRequired, this,
                [this](const QUrl& url, QAuthenticator* auth) { askSiteCredentials(url, auth); });
        connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
                [this](const QUrl&, QAuthenticator* auth, const QString& proxyHost) {
                    askProxyCredentials(proxyHost, auth);
                });
        connect(this, &QWebEnginePage::printRequested, this, [this] { printForPage(); });
        scriptdialogroute::route(
            this,
            [this](const scriptdialogroute::Question& q, QObject* waiting,
                   const pagedialogs::ScriptReply& reply) { scriptDialog(q, waiting, reply); });
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) {
            QWebEngineView* v = view();
            auto* widget = qobject_cast<QWidget*>(watched);
            if (v && widget && (widget == v || v->isAncestorOf(widget)))
                m_inputSincePicker = true;
        }
        return false;
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        const auto action = pagerules::actionFor(url, type == NavigationTypeLinkClicked);
        if (action == pagerules::LinkAction::Refuse)
            return false;
        if (action == pagerules::LinkAction::Mail) {
            // Handed over here, so only what a message needs reaches the mail program.
            QDesktopServices::openUrl(pagerules::mailLink(url));
            return false;
        }
        if (isMainFrame && type == NavigationTypeTyped)
            m_gate.reset();
        if (isMainFrame)
            m_declined.clear();
        return true;
    }

    // window.open and target=_blank: a separate window, while the page has few.
    QWebEnginePage* createWindow(WebWindowType) override {
        QWebEngineView* window = pagewindows::open(pagewindows::Opener::Page);
        return window ? window->page() : nullptr;
    }

    void javaScriptAlert(const QUrl& origin, const QString& text) override {
        waitForScriptDialog(pagedialogs::Kind::Alert, origin, text, QString(), nullptr);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& text) override {
        return waitForScriptDialog(pagedialogs::Kind::Confirm, origin, text, QString(), nullptr);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& text, const QString& value,
                          QString* result) override {
        return waitForScriptDialog(pagedialogs::Kind::Prompt, origin, text, value, result);
    }

    QStringList chooseFiles(FileSelectionMode mode, const QStringList&,
                            const QStringList&) override {
        // One picker per click or key press: a page's handler that clicks
        // three file inputs gets the first.
        if (!m_inputSincePicker)
            return {};
        const QUrl origin = url();
        const auto ask = m_gate.opening(originOf(origin), nowMs());
        if (!ask.show)
            return {};
        m_inputSincePicker = false;
        const pagedialogs::FileAnswer answer =
            pagedialogs::askFiles(view(), {siteOf(origin), mode == FileSelectUploadFolder,
                                           mode == FileSelectOpenMultiple, ask.offerEscape});
        m_gate.closed(answer.silence, nowMs());
        return answer.files;
    }

private:
    QWebEngineView* view() const { return QWebEngineView::forPage(this); }

    // One dialog at a time: a page's frames asking together get no second one.
    void scriptDialog(const scriptdialogroute::Question& q, QObject* waiting,
                      const pagedialogs::ScriptReply& reply) {
        const auto ask = m_scriptAsking ? pagerules::DialogGate::Ask{false, false}
                                        : m_gate.opening(originOf(q.origin), nowMs());
        if (!ask.show)
            return reply({});
        m_scriptAsking = true;
        const QPointer<GuardedPage> self(this);
        pagedialogs::askScriptThen(view(),
                                   {q.kind, siteOf(q.origin), q.text, q.value, ask.offerEscape},
                                   waiting, [self, reply](const pagedialogs::ScriptAnswer& answer) {
                                       if (self) {
                                           self->m_scriptAsking = false;
                                           self->m_gate.closed(answer.silence, nowMs());
                                       }
                                       reply(answer);
                                   });
    }

    // The engine's own path: it waits inside its work for the answer.
    bool waitForScriptDialog(pagedialogs::Kind kind, const QUrl& origin, const QString& text,
                             const QString& value, QString* result) {
        const pagedialogs::ScriptAnswer answer =
            pagedialogs::waitForScript([&](QObject* whileAlive, pagedialogs::ScriptReply done) {
                scriptDialog({kind, origin, text, value}, whileAlive, done);
            });
        if (result)
            *result = answer.value;
        return answer.accepted;
    }

    void askSiteCredentials(const QUrl& url, QAuthenticator* auth) {
        pagedialogs::AuthRequest request{sitename::host(url.host()), auth->realm(), false};
        // Frames asking the question already open wait for its answer; one
        // the user declined is not asked again before the next page.
        const QString question = request.host + QLatin1Char('\n') + request.realm;
        if (pagedialogs::isAsking(request))
            return fill(auth, pagedialogs::askCredentials(view(), request));
        const auto ask = m_declined.contains(question) ? pagerules::DialogGate::Ask{false, false}
                                                       : m_gate.opening(originOf(url), nowMs());
        if (!ask.show)
            return fill(auth, {});
        request.offerEscape = ask.offerEscape;
        const pagedialogs::Credentials given = pagedialogs::askCredentials(view(), request);
        m_gate.closed(given.silence, nowMs());
        if (!given.given)
            m_declined.insert(question);
        fill(auth, given);
    }

    void askProxyCredentials(const QString& proxyHost, QAuthenticator* auth) {
        // The proxy is the office's, not the page's: asked once per session.
        // Requests already on their way ask again with the right answer
        // given; only a proxy that keeps asking has refused it.
        const QString host = sitename::host(proxyHost);
        int& reuses = m_proxyReuses[host];
        const bool refused = ++reuses > MaxProxyReuses;
        const pagedialogs::Credentials given =
            pagedialogs::askCredentials(view(), {host, auth->realm(), true, false, refused});
        if (refused)
            reuses = 0;
        fill(auth, given);
    }

    static void fill(QAuthenticator* auth, const pagedialogs::Credentials& given) {
        if (!given.given) {
            // An empty authenticator cancels: the server's own answer stays.
            *auth = QAuthenticator();
            return;
        }
        auth->setUser(given.user);
        auth->setPassword(given.password);
    }

    void printForPage() {
        // window.print() in a loop is one more dialog in a row.
        QWebEngineView* v = view();
        if (!v)
            return;
        const QUrl origin = url();
        const auto ask = m_gate.opening(originOf(origin), nowMs());
        if (!ask.show)
            return;
        bool wanted = true;
        bool silence = false;
        if (ask.offerEscape) {
            const pagedialogs::ScriptAnswer answer = pagedialogs::askScript(
                v, {pagedialogs::Kind::Confirm, siteOf(origin),
                    QStringLiteral("此网页要求打印，是否打印？"), QString(), true});
            wanted = answer.accepted;
            silence = answer.silence;
        }
        if (wanted)
            pagepolicy::print(v);
        m_gate.closed(silence, nowMs());
    }

    static constexpr int MaxProxyReuses = 10;

    pagerules::DialogGate m_gate;
    QHash<QString, int> m_proxyReuses;
    bool m_inputSincePicker = true;
    bool m_scriptAsking = false;
    QSet<QString> m_declined; // host and realm
};

bool showPrintPreview(QWidget* over, QPrinter* printer, const std::function<void()>& paint) {
    QPrintPreviewDialog preview(printer, over ? over->window() : nullptr);
    preview.setWindowTitle(QStringLiteral("打印预览"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter*) { paint(); });
    return pagedialogs::runWithoutBlocking(preview) == QDialog::Accepted;
}

pagepolicy::PrintRunner& printRunner() {
    static pagepolicy::PrintRunner runner = showPrintPreview;
    return runner;
}

// Prints the view's page onto `printer` and waits for the engine to finish.
bool paintPage(QWebEngineView* view, QPrinter* printer) {
    QPointer<QWebEngineView> guard(view);
    bool printed = false;
    QEventLoop loop;
    const auto done = QObject::connect(view, &QWebEngineView::printFinished, &loop, [&](bool ok) {
        printed = ok;
        loop.quit();
    });
    const auto died = QObject::connect(view, &QWebEngineView::renderProcessTerminated, &loop,
                                       [&loop] { loop.quit(); });
    const auto gone = QObject::connect(view, &QObject::destroyed, &loop, &QEventLoop::quit);
    view->print(printer);
    loop.exec();
    QObject::disconnect(done);
    QObject::disconnect(died);
    QObject::disconnect(gone);
    return printed && guard;
}

} // namespace

SaveLocationAsker setSaveLocationAsker(SaveLocationAsker asker) {
    SaveLocationAsker previous = std::move(saveLocationAsker());
    saveLocationAsker() = std::move(asker);
    return previous;
}

namespace pagepolicy {

void applyTo(QWebEngineProfile* profile) {
    QWebEngineSettings* s = profile->settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowUnknownUrlSchemesFromUserInteraction);
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, saveDownload);
    profile->setUrlRequestInterceptor(new ResourceGuard(profile));
    // Whatever a killed program held back is no one's any more.
    QDir(holdingFolder()).removeRecursively();
    profile->setDownloadPath(holdingFolder());
}

void guard(QWebEngineView* view, QWebEngineProfile* profile) {
    view->setPage(new GuardedPage(profile, view));
    auto* shortcut = new QShortcut(QKeySequence::Print, view);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, view, [view] { print(view); });
}

void print(QWebEngineView* view) {
    // One print at a time per pane: the engine ignores a second one silently.
    if (view->property("orvantaPrinting").toBool())
        return;
    view->setProperty("orvantaPrinting", true);
    QPointer<QWebEngineView> guard(view);
    QPrinter printer(QPrinter::HighResolution);
    bool printed = false;
    const bool accepted =
        printRunner()(view, &printer, [&] { printed = guard && paintPage(guard, &printer); });
    if (guard)
        guard->setProperty("orvantaPrinting", false);
    if (!accepted)
        return;
    if (printed)
        seams::showMessage({QStringLiteral("打印完成。"), QString(), seams::Buttons::Ok,
                            seams::Icon::Information});
    else
        seams::showMessage({QStringLiteral("打印失败：无法打印此网页。"), QString(),
                            seams::Buttons::Ok, seams::Icon::Exclamation});
}

PrintRunner setPrintRunner(PrintRunner runner) {
    PrintRunner previous = std::move(printRunner());
    printRunner() = std::move(runner);
    return previous;
}

} // namespace pagepolicy
