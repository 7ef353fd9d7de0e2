#include "Dialler.h"

#include "Module1.h"
#include "Seams.h"

bool OfferToConnect() {
    const seams::Answer answer = seams::showMessage(
        {Module1::ConnectionQuestion(), QString(), seams::Buttons::YesNo, seams::Icon::None});
    if (answer != seams::Answer::Yes)
        return false;
    const QStringList command = Module1::DiallerCommand();
    seams::startProgramOrWarn(command.first(), command.mid(1));
    return true;
}
