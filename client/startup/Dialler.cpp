#include "Dialler.h"

#include "ConnectionCheck.h"
#include "Seams.h"

bool AskToConnect() {
    return seams::showMessage({connection::ConnectionQuestion(), QString(), seams::Buttons::YesNo,
                               seams::Icon::None}) == seams::Answer::Yes;
}

bool OfferToConnect() {
    if (!AskToConnect())
        return false;
    StartDialler(connection::DiallerCommands());
    return true;
}

bool StartDialler(const QList<QStringList>& commands) {
    for (qsizetype i = 0; i + 1 < commands.size(); ++i)
        if (seams::startProgram(commands[i].first(), commands[i].mid(1)))
            return true;
    if (commands.isEmpty())
        return false;
    return seams::startProgramOrWarn(commands.back().first(), commands.back().mid(1));
}
