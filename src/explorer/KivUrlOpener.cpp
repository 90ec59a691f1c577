#include "explorer/KivUrlOpener.h"

#include "explorer/KivAnsi.h"
#include "platform/KivDosPath.h"

#include <QDesktopServices>
#include <QDir>
#include <QRegularExpression>

namespace {

KivUrlOpener& Opener() {
    static KivUrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

} // namespace

QUrl KivUrlFromTarget(const std::string& target) {
    const QString text = KivFromAnsi(target).trimmed();
    if (text.isEmpty())
        return {};
    // "C:\x" or "C:x" is a drive, not a one-letter URL scheme; "\\server\x" a share.
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(text).hasMatch() || text.startsWith(QLatin1String("\\\\"))) {
        auto host = kiv::dospath::Resolve(target);
        return host ? QUrl::fromLocalFile(QString::fromStdString(host->string())) : QUrl();
    }
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (scheme.match(text).hasMatch())
        return QUrl(text);
    // A name of a file in the working directory opens that file, as the shell would.
    return QUrl::fromUserInput(text, QDir::currentPath());
}

bool KivOpenUrl(const std::string& target) {
    QUrl url = KivUrlFromTarget(target);
    return url.isValid() && Opener()(url);
}

KivUrlOpenerScope::KivUrlOpenerScope(KivUrlOpener opener) : m_previous(std::move(Opener())) {
    Opener() = std::move(opener);
}

KivUrlOpenerScope::~KivUrlOpenerScope() {
    Opener() = std::move(m_previous);
}
