#pragma once

#include <QString>

namespace chineseui {

// A system error as a user reads it: the common causes in Chinese, the
// system's own (English) text only as a detail in brackets. `code` is the
// errno value the failing call left; 0 or an unknown one gives a general
// failure.
QString systemErrorText(int code, const QString& systemText);

} // namespace chineseui
