#include "PagePolicy.h"

#include "PageDialogs.h"
#include "PageRules.h"
#include "PageWindows.h"
#include "Seams.h"

#include <QApplication>
#include <QAuthenticator>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <chrono>

namespace {

SaveLocationAsker& saveLocationAsker() {
    static SaveLocationAsker asker = [](const QString& suggestedPath) {
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("另存为"),
                                            suggestedPath);
    };
    return asker;
}

void saveDownload(QWebEngineDownloadRequest* download) {
    // The page picks only the name, and only a plain one; the folder is ours.
    const QString suggested = QDir(pagerules::downloadFolder())
                                  .filePath(pagerules::safeFileName(download->downloadFileName()));
    const QString chosen = saveLocationAsker()(suggested);
    if (chosen.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo target(chosen);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();
}

qint64 nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString siteOf(const QUrl& origin) {
    return origin.host().isEmpty() ? QStringLiteral("本地网页") : origin.authority();
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
                [this](const QUrl& url, QAuthenticator* auth) {
                    askCredentials(url.host(), auth, false);
                });
        connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
                [this](const QUrl&, QAuthenticator* auth, const QString& proxyHost) {
                    askCredentials(proxyHost, auth, true);
                });
        connect(this, &QWebEnginePage::printRequested, this, [this] { printForPage(); });
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        const auto action = pagerules::actionFor(url, type == NavigationTypeLinkClicked);
        if (action == pagerules::LinkAction::Refuse)
            return false;
        if (isMainFrame && type == NavigationTypeTyped)
            m_gate.reset();
        // A mailto link goes on to the engine, which hands it to the desktop's
        // mail program only when the user clicked.
        return true;
    }

    // window.open and target=_blank: a separate window, while the page has few.
    QWebEnginePage* createWindow(WebWindowType) override {
        QWebEngineView* window = pagewindows::open(pagewindows::Opener::Page);
        return window ? window->page() : nullptr;
    }

    void javaScriptAlert(const QUrl& origin, const QString& text) override {
        scriptDialog(pagedialogs::Kind::Alert, origin, text, QString(), nullptr);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& text) override {
        return scriptDialog(pagedialogs::Kind::Confirm, origin, text, QString(), nullptr);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& text, const QString& value,
                          QString* result) override {
        return scriptDialog(pagedialogs::Kind::Prompt, origin, text, value, result);
    }

private:
    QWebEngineView* view() const { return QWebEngineView::forPage(this); }

    bool scriptDialog(pagedialogs::Kind kind, const QUrl& origin, const QString& text,
                      const QString& value, QString* result) {
        const auto ask = m_gate.opening(origin.toString(), nowMs());
        if (!ask.show)
            return false;
        const pagedialogs::ScriptAnswer answer =
            pagedialogs::askScript(view(), {kind, siteOf(origin), text, value, ask.offerEscape});
        m_gate.closed(answer.silence, nowMs());
        if (result)
            *result = answer.value;
        return answer.accepted;
    }

    void askCredentials(const QString& host, QAuthenticator* auth, bool proxy) {
        const pagedialogs::Credentials given =
            pagedialogs::askCredentials(view(), {host, auth->realm(), proxy});
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
        const QUrl origin = url().adjusted(QUrl::RemovePath | QUrl::RemoveQuery |
                                           QUrl::RemoveFragment | QUrl::RemoveUserInfo);
        const auto ask = m_gate.opening(origin.toString(), nowMs());
        if (!ask.show)
            return;
        bool wanted = true;
        if (ask.offerEscape) {
            const pagedialogs::ScriptAnswer answer = pagedialogs::askScript(
                v, {pagedialogs::Kind::Confirm, siteOf(origin),
                    QStringLiteral("此网页要求打印，是否打印？"), QString(), true});
            wanted = answer.accepted;
            m_gate.closed(answer.silence, nowMs());
        }
        if (wanted)
            pagepolicy::print(v);
        if (!ask.offerEscape)
            m_gate.closed(false, nowMs());
    }

    pagerules::DialogGate m_gate;
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
