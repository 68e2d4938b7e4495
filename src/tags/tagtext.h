#pragma once
#include <QString>

namespace sonavue {

// Every NUL becomes a space, then leading and trailing spaces (U+0020 only) go.
QString cleanTagText(const QString& text);

} // namespace sonavue
