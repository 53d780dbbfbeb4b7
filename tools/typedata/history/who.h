// Who makes a change and where: the user (as given, else TYPEDATA_USER,
// else the login name) and the station (the host's name).
#ifndef TOOLS_TYPEDATA_HISTORY_WHO_H
#define TOOLS_TYPEDATA_HISTORY_WHO_H

#include <string>

namespace history {

// given (--user NAME) when not empty, else $TYPEDATA_USER when set and not
// empty, else the login name of the process's user, else its user id as
// "uid N".
std::string CurrentUser(const std::string& given);

// The host's name, or "localhost" when it has none.
std::string StationName();

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_WHO_H
