#pragma once

#include <QList>
#include <QStringList>

// Asks the connection question (Yes/No, no icon, the application title) and,
// on Yes, starts the platform's dialler on the default connection without
// waiting for it. A dialler that cannot start is reported and the program goes
// on. Returns true when the user answered Yes.
bool OfferToConnect();
// The connection question alone: true when the user answered Yes.
bool AskToConnect();

// Starts the first of `commands` (program, then arguments) that will start;
// when none does, says so with the last one's command line.
bool StartDialler(const QList<QStringList>& commands);
