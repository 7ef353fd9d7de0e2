#include "HostilePages.h"

#include <QString>
#include <QUrlQuery>

namespace demoportal {
namespace {

QByteArray respond(int status, const QByteArray& reason, const QByteArray& type,
                   const QByteArray& body, const QByteArray& extraHeaders = {}) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nCache-Control: no-store\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

QByteArray html(const QString& title, const QString& body) {
    return respond(200, "OK", "text/html; charset=utf-8",
                   QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1"
                                  "</title></head><body>%2</body></html>\n")
                       .arg(title, body)
                       .toUtf8());
}

QByteArray header(const http::RequestHead& head, QByteArrayView name) {
    for (const auto& [key, value] : head.headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value.trimmed();
    }
    return {};
}

QByteArray attachment(const http::RequestHead& head) {
    const QString name = QUrlQuery(QString::fromLatin1(head.query()))
                             .queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded);
    // Encoded again whole, so nothing in the name can end the header line.
    const QByteArray disposition = "Content-Disposition: attachment; filename*=UTF-8''" +
                                   name.toUtf8().toPercentEncoding() + "\r\n";
    return respond(200, "OK", "application/octet-stream", "demo attachment\n", disposition);
}

QByteArray login(const http::RequestHead& head) {
    const QByteArray expected =
        "Basic " + (QByteArray(DemoUser) + ':' + QByteArray(DemoPassword)).toBase64();
    if (header(head, "Authorization") == expected)
        return html(QStringLiteral("已登录"),
                    QStringLiteral("<p id=\"state\">已登录：%1</p>").arg(QLatin1String(DemoUser)));
    const QByteArray body = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                           "<title>需要登录</title></head><body><p id=\"state\">"
                                           "401 需要登录</p></body></html>\n")
                                .toUtf8();
    return respond(401, "Unauthorized", "text/html; charset=utf-8", body,
                   "WWW-Authenticate: Basic realm=\"Velantrix demo\"\r\n");
}

QByteArray popups() {
    return html(
        QStringLiteral("弹出窗口"),
        QStringLiteral("<button id=\"more\" style=\"width:200px;height:60px\">再开三十个</button>"
                       "<script>function burst(){for(let i=0;i<30;++i)"
                       "window.open('/popup.asp?n='+i,'w'+Math.random());}"
                       "document.getElementById('more').onclick=burst;burst();</script>"));
}

QByteArray alerts() {
    // A chain rather than a tight loop, so a silenced page can still be read.
    return html(QStringLiteral("对话框"),
                QStringLiteral("<p>已显示 <span id=\"count\">0</span> 个</p><script>let n=0;"
                               "function next(){alert('第'+(++n)+'个对话框');"
                               "document.getElementById('count').textContent=n;"
                               "if(n<200)setTimeout(next,0);}setTimeout(next,0);</script>"));
}

QByteArray schemes() {
    const QString link = QStringLiteral("<p><a id=\"%1\" href=\"%2\" style=\"display:block;"
                                        "width:300px;height:30px\">%2</a></p>");
    return html(QStringLiteral("链接"),
                link.arg(QStringLiteral("foo"), QStringLiteral("foo://bar")) +
                    link.arg(QStringLiteral("settings"), QStringLiteral("ms-settings:")) +
                    link.arg(QStringLiteral("mail"), QStringLiteral("mailto:agent@example.com")) +
                    QStringLiteral("<script>if(location.hash=='#auto')"
                                   "location.href='foo://script';</script>"));
}

// Fetched last, so a row of the same kind of request ends
// with one the tests can wait for: GET /hostile/done.asp?what.
QString thenDone(const char* what) {
    return QStringLiteral("fetch('/hostile/done.asp?%1');").arg(QLatin1String(what));
}

QByteArray printFlood() {
    return html(QStringLiteral("打印"),
                QStringLiteral("<script>for(let i=0;i<50;i++)window.print();%1</script>")
                    .arg(thenDone("prints")));
}

QByteArray passwordFlood() {
    QString frames;
    for (int i = 0; i < 20; ++i)
        frames += QStringLiteral("<iframe src=\"/hostile/login.asp?frame=%1\"></iframe>").arg(i);
    return html(QStringLiteral("密码"), frames);
}

QByteArray filePickers() {
    return html(QStringLiteral("文件"),
                QStringLiteral("<input type=\"file\" id=\"one\"><input type=\"file\" id=\"many\" "
                               "multiple><input type=\"file\" id=\"folder\" webkitdirectory>"
                               "<button id=\"pick\" style=\"width:200px;height:60px\">选择</button>"
                               "<script>document.getElementById('pick').onclick=()=>{"
                               "for(const id of ['one','many','folder'])"
                               "document.getElementById(id).click();%1};</script>")
                    .arg(thenDone("pickers")));
}

QByteArray disguisedTitle() {
    // Direction marks, controls and a title far longer than any window's.
    QString title = QStringLiteral("\u202E\u8BF7\u91CD\u65B0\u767B\u5F55\u200B\t\n");
    title += QString(4096, QLatin1Char('x'));
    return html(title.toHtmlEscaped(), QStringLiteral("<p>标题</p>"));
}

QByteArray programResources() {
    return html(
        QStringLiteral("资源"),
        QStringLiteral("<img id=\"direct\" src=\"qrc:/orvanta/16.png\">"
                       "<img id=\"redirected\" src=\"/hostile/to-qrc.asp\">"
                       "<script>function seen(id){const i=document.getElementById(id);"
                       "return new Promise(r=>{if(i.complete)r(i.naturalWidth);"
                       "else{i.onload=()=>r(i.naturalWidth);i.onerror=()=>r(0);}});}</script>"));
}

QByteArray toProgramResource() {
    return respond(302, "Found", "text/plain", "moved\n", "Location: qrc:/orvanta/16.png\r\n");
}

QByteArray mailWithAttachment() {
    return html(QStringLiteral("邮件"),
                QStringLiteral("<a id=\"mail\" style=\"display:block;width:300px;height:30px\" "
                               "href=\"mailto:agent@example.com?subject=Hi&attach=/etc/passwd&"
                               "body=x&Attachment=~/.ssh/id_rsa&cc=b@example.com\">邮件</a>"));
}

QByteArray largeDownload(const http::RequestHead& head) {
    const int mebibytes = qBound(
        1,
        QUrlQuery(QString::fromLatin1(head.query())).queryItemValue(QStringLiteral("mib")).toInt(),
        256);
    return respond(200, "OK", "application/octet-stream", QByteArray(mebibytes << 20, 'x'),
                   "Content-Disposition: attachment; filename=\"large.bin\"\r\n");
}

QByteArray printing() {
    return html(QStringLiteral("打印"), QStringLiteral("<h1 id=\"doc\">打印测试页</h1>"
                                                       "<script>window.print();</script>"));
}

QByteArray alertOnce() {
    return html(QStringLiteral("一个对话框"),
                QStringLiteral("<p id=\"state\">等待</p><script>setTimeout(function(){"
                               "alert('请回答');document.getElementById('state').textContent="
                               "'已回答';},0);</script>"));
}

QByteArray busyLoop() {
    // Loaded first, then busy for good: the page never answers again. The
    // request just before tells the portal's log the loop has begun.
    return html(QStringLiteral("死循环"),
                QStringLiteral("<p>忙</p><script>addEventListener('load',function(){"
                               "setTimeout(function(){const x=new XMLHttpRequest();"
                               "x.open('GET','/hostile/looping.asp',false);x.send();"
                               "for(;;){}},100);});</script>"));
}

QByteArray exitWithAlert() {
    return html(QStringLiteral("注销"),
                QStringLiteral("<p>已注销</p><script>alert('再见');</script>"));
}

QByteArray memoryBomb() {
    return html(QStringLiteral("内存炸弹"),
                QStringLiteral("<p>吃内存</p><script>setTimeout(function(){let hoard=[];"
                               "for(;;)hoard.push(new Array(1<<20).fill(hoard.length+0.5));"
                               "},100);</script>"));
}

QByteArray leaveQuestion() {
    // Chromium asks only once the user has touched the page.
    return html(QStringLiteral("离开前询问"),
                QStringLiteral("<p id=\"state\" style=\"height:300px\">有未保存的内容</p><script>"
                               "addEventListener('beforeunload',function(e){"
                               "e.preventDefault();e.returnValue='未保存';});</script>"));
}

} // namespace

std::optional<QByteArray> hostileAnswer(const http::RequestHead& head) {
    const QByteArray path = head.path();
    if (!path.startsWith(HostilePrefix))
        return std::nullopt;
    const QByteArray page = path.mid(qsizetype(sizeof(HostilePrefix)) - 1);
    if (page == "attachment.asp")
        return attachment(head);
    if (page == "login.asp")
        return login(head);
    if (page == "popups.asp")
        return popups();
    if (page == "alerts.asp")
        return alerts();
    if (page == "schemes.asp")
        return schemes();
    if (page == "print.asp")
        return printing();
    if (page == "alert.asp")
        return alertOnce();
    if (page == "loop.asp")
        return busyLoop();
    if (page == "bomb.asp")
        return memoryBomb();
    if (page == "leave.asp")
        return leaveQuestion();
    if (page == "looping.asp")
        return html(QStringLiteral("循环中"), QString());
    if (page == "market/exit.asp")
        return exitWithAlert();
    if (page == "prints.asp")
        return printFlood();
    if (page == "passwords.asp")
        return passwordFlood();
    if (page == "pickers.asp")
        return filePickers();
    if (page == "title.asp")
        return disguisedTitle();
    if (page == "resources.asp")
        return programResources();
    if (page == "to-qrc.asp")
        return toProgramResource();
    if (page == "mail.asp")
        return mailWithAttachment();
    if (page == "large.bin")
        return largeDownload(head);
    if (page == "done.asp")
        return html(QStringLiteral("完成"), QString());
    return std::nullopt;
}

} // namespace demoportal
