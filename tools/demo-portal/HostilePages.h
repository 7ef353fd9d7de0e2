#pragma once

#include "HttpRequest.h"

#include <QByteArray>
#include <optional>

// Pages under /hostile/ that misbehave the way advertisers' pages might, so
// the client can be tried against them:
//   attachment.asp?name=N  a download whose suggested file name is N (UTF-8)
//   login.asp              a 401 challenge; name "agent", password "secret"
//   popups.asp             opens 30 windows at load, 30 more per click
//   alerts.asp             one alert after another
//   schemes.asp            links with schemes the desktop would open
//   print.asp              calls window.print() at load
//   alert.asp              one alert, that waits for its answer
//   loop.asp               loads, asks for looping.asp, then runs a script
//                          that never ends
//   market/exit.asp        an exit page with an alert (this folder as the portal)
//   bomb.asp               takes memory until its renderer dies
//   leave.asp              asks before it is left (beforeunload)
//   prints.asp             calls window.print() 50 times at load
//   passwords.asp          20 frames of login.asp
//   pickers.asp            one click opens three file pickers (a folder one too)
//   title.asp              a title of 4,096 characters with direction marks
//   resources.asp          pictures of the program's own (qrc:), directly and by 302
//   to-qrc.asp             a 302 to qrc:/orvanta/16.png
//   mail.asp               a mail link that names files to attach
//   large.bin?mib=N        a download of N MiB (at most 256)
//   done.asp?what          fetched by the floods after their last request, so
//                          a test can wait for it in the log
namespace demoportal {

inline constexpr char HostilePrefix[] = "/hostile/";
inline constexpr char DemoUser[] = "agent";
inline constexpr char DemoPassword[] = "secret";

// The complete response for a hostile path; nothing for any other path.
std::optional<QByteArray> hostileAnswer(const http::RequestHead& head);

} // namespace demoportal
