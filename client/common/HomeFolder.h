#pragma once

#include <QString>

namespace homefolder {

// Makes HOME name a folder of this account before anything asks where the
// user's files go; without it Qt takes "/" and the program would write its
// profile and shortcuts there. Kept when it is an absolute folder other than
// "/"; otherwise the account's home from the user database; failing that, a
// private folder under the temporary folder. Returns the folder in use.
// Does nothing on Windows, whose folders do not come from HOME.
QString ensure();

} // namespace homefolder
