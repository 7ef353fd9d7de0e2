#pragma once

#include "HttpRequest.h"

#include <QByteArray>
#include <QString>

// What the demo portal answers: for any path, a small page that shows what the
// client asked for, the way the real portal's GBK pages would read it.
namespace demoportal {

// Percent escapes decoded, the bytes read as GBK.
QString decodeGbk(QByteArrayView percentEncoded);

QByteArray pageFor(const http::RequestHead& head);

// The page that never answers: its connection is held open, unanswered,
// until the client gives up.
inline constexpr char NeverAnsweredPath[] = "/never-answers.asp";

// Complete responses, ready for the socket. Every connection carries one
// request and is closed after the answer; an empty answer holds it open.
QByteArray answer(const http::RequestHead& head);
QByteArray refusal(http::Status status);

// The line logged for a request: method and raw target, or the refusal.
QByteArray logLine(const http::RequestHead& head);
QByteArray logLine(http::Status refused);

} // namespace demoportal
