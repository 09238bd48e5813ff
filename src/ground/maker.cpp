#include "ground/maker.h"

namespace corvane::maker {

QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(CORVANE_VERSION_MAJOR)
        .arg(CORVANE_VERSION_MINOR)
        .arg(CORVANE_VERSION_PATCH);
}

} // namespace corvane::maker
