#include "ScriptDialogRoute.h"

#include <QBuffer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QUrlQuery>
#include <QUuid>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <algorithm>

namespace scriptdialogroute {
namespace {

const QByteArray Scheme = QByteArrayLiteral("orvanta-dialog");

// Put in every frame of every page before the page's own scripts run (given
// to the profile: a page's own scripts can reach a new renderer after its
// first document). The request is synchronous, so the page's script stops
// until the answer, as with the engine's dialogs. The words are converted as
// the engine converts them.
const char* const PageScript = R"js((() => {
  const engine = {alert, confirm, prompt};
  const ask = (kind, text, value) => {
    const request = new XMLHttpRequest();
    request.open('GET', 'orvanta-dialog:' + kind + '?text=' + encodeURIComponent(text) +
                 '&value=' + encodeURIComponent(value), false);
    request.send();
    return JSON.parse(request.responseText);
  };
  const through = (kind, text, value, args, answer) => {
    let given;
    try {
      given = ask(kind, text, value);
    } catch (e) {
      return engine[kind].apply(window, args);
    }
    return answer(given);
  };
  const word = v => v === undefined ? '' : String(v);
  window.alert = function (...args) {
    through('alert', args.length ? String(args[0]) : '', '', args, () => undefined);
  };
  window.confirm = function (...args) {
    return through('confirm', word(args[0]), '', args, a => a.accepted === true);
  };
  window.prompt = function (...args) {
    return through('prompt', word(args[0]), word(args[1]), args,
                   a => a.accepted === true ? String(a.value) : null);
  };
})();)js";

struct Route {
    QPointer<QWebEnginePage> page;
    Asker ask;
    int waiting = 0; // requests not yet answered
};

QHash<QString, Route>& routes() {
    static QHash<QString, Route> byToken;
    return byToken;
}

// Which page asks: set by the page's own interceptor, over whatever the page
// may have put there itself.
const QByteArray PageHeader = QByteArrayLiteral("X-Orvanta-Page");

class PageTag : public QWebEngineUrlRequestInterceptor {
public:
    PageTag(const QString& token, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_token(token.toLatin1()) {}
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (isRouteAddress(info.requestUrl()))
            info.setHttpHeader(PageHeader, m_token);
    }

private:
    QByteArray m_token;
};

class Handler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        static const QHash<QString, pagedialogs::Kind> kinds = {
            {QStringLiteral("alert"), pagedialogs::Kind::Alert},
            {QStringLiteral("confirm"), pagedialogs::Kind::Confirm},
            {QStringLiteral("prompt"), pagedialogs::Kind::Prompt}};
        const QUrl url = job->requestUrl();
        const QUrlQuery query(url);
        const QString token = QString::fromLatin1(job->requestHeaders().value(PageHeader));
        const Route route = routes().value(token);
        const QUrl origin = job->initiator();
        const bool web =
            origin.scheme() == QLatin1String("http") || origin.scheme() == QLatin1String("https");
        // Refused, the page asks the engine instead, whose rules for local
        // pages and sandboxed frames then hold.
        if (!route.page || !web || !kinds.contains(url.path()) || job->requestMethod() != "GET") {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        ++routes()[token].waiting;
        connect(job, &QObject::destroyed, [token] {
            if (const auto found = routes().find(token); found != routes().end())
                --found->waiting;
        });
        const QPointer<QWebEngineUrlRequestJob> waiting(job);
        route.ask({kinds.value(url.path()), origin,
                   query.queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded),
                   query.queryItemValue(QStringLiteral("value"), QUrl::FullyDecoded)},
                  job, [waiting](const pagedialogs::ScriptAnswer& answer) {
                      if (!waiting)
                          return;
                      auto* body = new QBuffer(waiting);
                      body->setData(QJsonDocument(QJsonObject{{"accepted", answer.accepted},
                                                              {"value", answer.value}})
                                        .toJson(QJsonDocument::Compact));
                      body->open(QIODevice::ReadOnly);
                      waiting->reply("application/json", body);
                  });
    }
};

} // namespace

void registerScheme() {
    if (!QWebEngineUrlScheme::schemeByName(Scheme).name().isEmpty())
        return;
    QWebEngineUrlScheme scheme(Scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Asked from the portal's pages, https ones and those with a content
    // security policy of their own too.
    scheme.setFlags(QWebEngineUrlScheme::CorsEnabled | QWebEngineUrlScheme::SecureScheme |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void serve(QWebEngineProfile* profile) {
    profile->installUrlSchemeHandler(Scheme, new Handler(profile));
    QWebEngineScript script;
    script.setName(QStringLiteral("orvanta-dialogs"));
    script.setSourceCode(QString::fromLatin1(PageScript));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    profile->scripts()->insert(script);
}

bool isRouteAddress(const QUrl& url) {
    return url.scheme().compare(QLatin1String(Scheme), Qt::CaseInsensitive) == 0;
}

void route(QWebEnginePage* page, Asker ask) {
    // Known only to the program: no page can ask in another's name.
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    routes().insert(token, {page, std::move(ask)});
    QObject::connect(page, &QObject::destroyed, [token] { routes().remove(token); });
    page->setUrlRequestInterceptor(new PageTag(token, page));
}

bool isWaiting(const QWebEnginePage* page) {
    const auto& all = routes();
    return std::any_of(all.begin(), all.end(),
                       [page](const Route& r) { return r.page == page && r.waiting > 0; });
}

} // namespace scriptdialogroute
