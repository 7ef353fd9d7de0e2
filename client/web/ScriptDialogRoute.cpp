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
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace scriptdialogroute {
namespace {

const QByteArray Scheme = QByteArrayLiteral("orvanta-dialog");

// Put in every frame before the page's own scripts run. The request is
// synchronous, so the page's script stops until the answer, as with the
// engine's dialogs. The words are converted as the engine converts them.
const char* const PageScript = R"js((() => {
  const engine = {alert, confirm, prompt};
  const ask = (kind, text, value) => {
    const request = new XMLHttpRequest();
    request.open('GET', 'orvanta-dialog:' + kind + '?page=%1&text=' +
                 encodeURIComponent(text) + '&value=' + encodeURIComponent(value), false);
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
};

QHash<QString, Route>& routes() {
    static QHash<QString, Route> byToken;
    return byToken;
}

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
        const Route route = routes().value(query.queryItemValue(QStringLiteral("page")));
        const QUrl origin = job->initiator();
        const bool web =
            origin.scheme() == QLatin1String("http") || origin.scheme() == QLatin1String("https");
        // Refused, the page asks the engine instead, whose rules for local
        // pages and sandboxed frames then hold.
        if (!route.page || !web || !kinds.contains(url.path()) || job->requestMethod() != "GET") {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        const QPointer<QWebEngineUrlRequestJob> waiting(job);
        route.ask({kinds.value(url.path()), origin,
                   query.queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded),
                   query.queryItemValue(QStringLiteral("value"), QUrl::FullyDecoded)},
                  job, [waiting](bool accepted, const QString& value) {
                      if (!waiting)
                          return;
                      auto* body = new QBuffer(waiting);
                      body->setData(
                          QJsonDocument(QJsonObject{{"accepted", accepted}, {"value", value}})
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
}

bool isRouteAddress(const QUrl& url) {
    return url.scheme().compare(QLatin1String(Scheme), Qt::CaseInsensitive) == 0;
}

void route(QWebEnginePage* page, Asker ask) {
    // Known only to the page's own frames: no other page can ask in its name.
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    routes().insert(token, {page, std::move(ask)});
    QObject::connect(page, &QObject::destroyed, [token] { routes().remove(token); });
    QWebEngineScript script;
    script.setName(QStringLiteral("orvanta-dialogs"));
    script.setSourceCode(QString::fromLatin1(PageScript).arg(token));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    page->scripts().insert(script);
}

} // namespace scriptdialogroute
