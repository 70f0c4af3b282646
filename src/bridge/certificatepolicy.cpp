#include "bridge/certificatepolicy.h"

#include "bridge/permissionpolicy.h"

#include <QRegularExpression>

namespace {

bool InValidity(const CertificateCase& certificate) {
    return certificate.notBefore.isValid() && certificate.notAfter.isValid() &&
           certificate.notBefore <= certificate.now && certificate.now <= certificate.notAfter;
}

QString UtcText(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss 'UTC'"))
                          : QStringLiteral("unknown");
}

} // namespace

std::optional<QByteArray> ParseFingerprint(const QString& text) {
    static const QRegularExpression plain(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    static const QRegularExpression colons(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){31}$"));
    const QString trimmed = text.trimmed();
    if (!plain.match(trimmed).hasMatch() && !colons.match(trimmed).hasMatch())
        return std::nullopt;
    return QByteArray::fromHex(trimmed.toLatin1());
}

PinnedFingerprints ParsePinnedFingerprints(const QString& value) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    PinnedFingerprints pinned;
    for (const QString& entry : value.split(separators, Qt::SkipEmptyParts)) {
        if (const std::optional<QByteArray> digest = ParseFingerprint(entry))
            pinned.fingerprints.append(*digest);
        else
            pinned.rejected.append(entry);
    }
    return pinned;
}

QString FingerprintText(const QByteArray& digest) {
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

QString DistinguishedName(const QList<QPair<QString, QString>>& attributes) {
    QStringList parts;
    for (const auto& [name, value] : attributes)
        parts.append(name + QLatin1Char('=') + value);
    return parts.join(QLatin1String(", "));
}

CertificateAnswer DecideCertificate(const CertificateCase& certificate) {
    if (!certificate.overridable || !InValidity(certificate))
        return CertificateAnswer::Refuse;
    if (certificate.machineTrusts)
        return CertificateAnswer::AcceptTrusted;
    // A pin vouches for the platform's own address only: it says nothing of any other site.
    if (IsPlatformOrigin(certificate.address, certificate.platformHost) &&
        certificate.pins.contains(certificate.sha256))
        return CertificateAnswer::AcceptPinned;
    return CertificateAnswer::Refuse;
}

QString CertificateRefusalLine(const CertificateReport& report) {
    return QStringLiteral("certificate refused for %1: subject \"%2\", issuer \"%3\", "
                          "not before %4, not after %5, SHA-256 %6, browser error %7 (%8), "
                          "this machine: %9")
        .arg(report.address, report.subject, report.issuer, UtcText(report.notBefore),
             UtcText(report.notAfter), FingerprintText(report.sha256),
             QString::number(report.browserError), report.browserDescription,
             report.machineErrors.isEmpty() ? QStringLiteral("trusted")
                                            : report.machineErrors.join(QLatin1String("; ")));
}
