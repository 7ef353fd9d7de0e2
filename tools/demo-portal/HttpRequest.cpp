#include "HttpRequest.h"

#include <algorithm>
#include <cctype>

namespace http {
namespace {

bool isTokenChar(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isTokenChar);
}

// Origin form only, printable ASCII: anything else in a log line or a page
// would be someone's attempt at mischief.
bool isTarget(QByteArrayView text) {
    return text.startsWith('/') &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7f; });
}

bool isFieldValue(QByteArrayView text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7f;
    });
}

QByteArrayView trimBlanks(QByteArrayView text) {
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

QByteArrayView withoutCarriageReturn(QByteArrayView line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

Parsed refused(Status status) {
    return {status, {}};
}

} // namespace

QByteArray reasonPhrase(Status status) {
    switch (status) {
    case Status::Ok:
        return "OK";
    case Status::BadRequest:
        return "Bad Request";
    case Status::MethodNotAllowed:
        return "Method Not Allowed";
    case Status::RequestTimeout:
        return "Request Timeout";
    case Status::UriTooLong:
        return "URI Too Long";
    case Status::HeadersTooLarge:
        return "Request Header Fields Too Large";
    case Status::VersionNotSupported:
        return "HTTP Version Not Supported";
    }
    return "Error";
}

QByteArray RequestHead::path() const {
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? target : target.left(mark);
}

QByteArray RequestHead::query() const {
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? QByteArray() : target.mid(mark + 1);
}

Parsed parseRequestLine(QByteArrayView line) {
    line = withoutCarriageReturn(line);
    const QList<QByteArray> parts = line.toByteArray().split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || !isTarget(parts[1]))
        return refused(Status::BadRequest);
    const QByteArray& version = parts[2];
    const bool versionShape = version.size() == 8 && version.startsWith("HTTP/") &&
                              std::isdigit(static_cast<unsigned char>(version[5])) &&
                              version[6] == '.' &&
                              std::isdigit(static_cast<unsigned char>(version[7]));
    if (!versionShape)
        return refused(Status::BadRequest);
    if (version[5] != '1')
        return refused(Status::VersionNotSupported);
    return {Status::Ok, {parts[0], parts[1], version, {}}};
}

Parsed parseHead(QByteArrayView text) {
    const QList<QByteArray> lines = text.toByteArray().split('\n');
    Parsed parsed = parseRequestLine(lines.front());
    if (parsed.status != Status::Ok)
        return parsed;

    int hosts = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = withoutCarriageReturn(lines[i]);
        if (line.isEmpty())
            break;
        // A line that starts blank continues the previous one (obsolete
        // folding), which is how header smuggling begins.
        if (line.front() == ' ' || line.front() == '\t' || line.contains('\r'))
            return refused(Status::BadRequest);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon)))
            return refused(Status::BadRequest);
        const QByteArrayView value = trimBlanks(line.sliced(colon + 1));
        if (!isFieldValue(value))
            return refused(Status::BadRequest);
        const QByteArray name = line.first(colon).toByteArray();
        if (name.compare("host", Qt::CaseInsensitive) == 0)
            ++hosts;
        parsed.head.headers.append({name, value.toByteArray()});
    }
    const bool hostRequired = parsed.head.version == "HTTP/1.1";
    if (hosts > 1 || (hostRequired && hosts == 0))
        return refused(Status::BadRequest);
    return parsed;
}

HeadReader::State HeadReader::fail(Status status) {
    m_result = refused(status);
    m_buffer.clear();
    m_state = State::Failed;
    return m_state;
}

HeadReader::State HeadReader::feed(QByteArrayView bytes) {
    if (m_state != State::Reading)
        return m_state;
    m_buffer.append(bytes);

    if (!m_lineChecked) {
        // Blank lines before the request line are tolerated.
        qsizetype skip = 0;
        while (skip < m_buffer.size()) {
            if (m_buffer[skip] == '\n')
                skip += 1;
            else if (QByteArrayView(m_buffer).sliced(skip).startsWith("\r\n"))
                skip += 2;
            else
                break;
        }
        m_buffer.remove(0, skip);
        m_scanned = std::max<qsizetype>(0, m_scanned - skip);
    }

    for (qsizetype i = m_buffer.indexOf('\n', m_scanned); i >= 0;
         i = m_buffer.indexOf('\n', i + 1)) {
        if (!m_lineChecked) {
            // A broken request line is answered at once, not after a timeout.
            const Parsed line = parseRequestLine(QByteArrayView(m_buffer).first(i));
            if (line.status != Status::Ok)
                return fail(line.status);
            m_lineChecked = true;
        }
        m_scanned = i;
        qsizetype end = -1;
        if (i + 1 < m_buffer.size() && m_buffer[i + 1] == '\n')
            end = i + 2;
        else if (i + 2 < m_buffer.size() && m_buffer[i + 1] == '\r' && m_buffer[i + 2] == '\n')
            end = i + 3;
        else if (i + 2 >= m_buffer.size())
            break; // the next line's start has not arrived yet
        if (end < 0)
            continue;
        if (end > MaxHeadBytes)
            return fail(Status::HeadersTooLarge);
        m_result = parseHead(QByteArrayView(m_buffer).first(i + 1));
        m_buffer.clear();
        m_state = m_result.status == Status::Ok ? State::Done : State::Failed;
        return m_state;
    }
    if (m_buffer.size() > MaxHeadBytes)
        return fail(m_lineChecked ? Status::HeadersTooLarge : Status::UriTooLong);
    if (m_buffer.indexOf('\n', m_scanned) < 0)
        m_scanned = m_buffer.size();
    return m_state;
}

} // namespace http
