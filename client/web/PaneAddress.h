#pragma once

#include <QString>
#include <QUrl>

namespace pane {

// Drive-letter, UNC or absolute paths: the portal's code hands these to a pane
// to show a file of the program's own.
bool isLocalPath(const QString& address);

// The address as the web engine gets it. A local path becomes a file address
// (backslashes read as separators). A web address goes through
// portal::toWireUrl; a backslash in its path reads as "/", as every browser
// reads it, so "market\ad.asp" asks for /market/ad.asp. Queries are untouched.
QUrl urlFor(const QString& address);

} // namespace pane
