// fileUriFor: a file:// URI made from the path's bytes, so that names with spaces, "#",
// "%", Japanese text or bytes that are not UTF-8 all reach the file system unchanged.
#include "base/nativepath.h"
#include "playback/gstmediaelement.h"

#include <QDir>

namespace sonavue {
namespace {

bool keptAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

} // namespace

QString fileUriFor(const QString& path) {
    QByteArray bytes = pathToNative(path);
    if (!bytes.startsWith('/')) {
        QByteArray base = pathToNative(QDir::currentPath());
        if (!base.endsWith('/'))
            base += '/';
        bytes.prepend(base);
    }
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    uri.reserve(uri.size() + bytes.size() * 3);
    for (const char ch : std::as_const(bytes)) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptAsIs(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 0x0F];
        }
    }
    return QString::fromLatin1(uri);
}

} // namespace sonavue
