#pragma once

#include "ShellLink.h"

#include <QString>

// The shortcut module: one shell link at a time, over the platform's backend.
namespace shelllink {

// Trimmed of spaces, then rid of one pair of enclosing double quotes.
QString StripQuotes(const QString& text);

// Creates one link. The caption and target lose their enclosing quotes; a null
// argument string goes over as an empty one. Reports the backend's outcome,
// so a link that could not be made is never taken for one that was.
shelllink::Outcome MakeShellLink(shelllink::ShellLinkBackend& links, const QString& target,
                                 const QString& folder, const QString& arguments,
                                 const QString& caption, bool perUser, QString& parentToken);

} // namespace shelllink
