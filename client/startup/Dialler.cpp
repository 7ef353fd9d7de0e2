#include "Dialler.h"

#include "ConnectionCheck.h"
#include "Seams.h"

bool OfferToConnect() {
    const seams::Answer answer = seams::showMessage(
        {connection::ConnectionQuestion(), QString(), seams::Buttons::YesNo, seams::Icon::None});
    if (answer != seams::Answer::Yes)
        return false;
    const QStringList command = connection::DiallerCommand();
    seams::startProgramOrWarn(command.first(), command.mid(1));
    return true;
}
