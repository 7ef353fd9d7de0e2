// demo-portal [port]: a loopback web server standing in for the portal.
// Prints its address first, then one line per request.
#include "DemoPortalServer.h"
#include "LogWriter.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    // A reader that went away must not take the server with it.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    uint port = 0;
    bool valid = args.size() <= 2;
    if (valid && args.size() == 2)
        port = args[1].toUInt(&valid);
    if (!valid || port > 65535) {
        std::fprintf(stderr, "usage: demo-portal [port]\n");
        return 2;
    }

    DemoPortalServer server;
    if (!server.listen(quint16(port))) {
        std::fprintf(stderr, "demo-portal: cannot listen on 127.0.0.1:%u: %s\n", port,
                     qPrintable(server.errorString()));
        return 1;
    }
    // Nobody may have to read the log for the portal to answer.
    LogWriter log(STDOUT_FILENO);
    QObject::connect(&server, &DemoPortalServer::logged, &log, &LogWriter::write);
    log.write("listening " + server.address().toLatin1());
    return QCoreApplication::exec();
}
