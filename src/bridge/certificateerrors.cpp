#include "bridge/certificateerrors.h"

#include "bridge/addresspolicy.h"
#include "bridge/certificatepolicy.h"
#include "log/logger.h"

#include <QCryptographicHash>
#include <QMetaEnum>
#include <QSslCertificate>
#include <QSslError>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>

namespace {

QString NameOf(const QSslCertificate& certificate, bool issuer) {
    QList<QPair<QString, QString>> attributes;
    const QList<QByteArray> names =
        issuer ? certificate.issuerInfoAttributes() : certificate.subjectInfoAttributes();
    for (const QByteArray& name : names) {
        const QStringList values =
            issuer ? certificate.issuerInfo(name) : certificate.subjectInfo(name);
        attributes.append({QString::fromLatin1(name), values.join(QLatin1Char('+'))});
    }
    return DistinguishedName(attributes);
}

void Answer(QWebEngineCertificateError error, const QString& platformHost, const QString& pins) {
    const QList<QSslCertificate> chain = error.certificateChain();
    const QSslCertificate leaf = chain.value(0);
    const QString address = BrowserAddress(error.url());
    // The store of the machine, as curl and apt use it: the browser itself only knows its own
    // list of authorities and the user's.
    QStringList machineErrors;
    if (chain.isEmpty())
        machineErrors.append(QStringLiteral("NoCertificate"));
    // Named as Qt names them: the same words in every language the client runs in.
    const QMetaEnum names = QMetaEnum::fromType<QSslError::SslError>();
    for (const QSslError& found : QSslCertificate::verify(chain, error.url().host()))
        machineErrors.append(QString::fromLatin1(names.valueToKey(found.error())));
    const PinnedFingerprints pinned = ParsePinnedFingerprints(pins);
    for (const QString& rejected : pinned.rejected)
        DebugLog("pinned certificate is no SHA-256 fingerprint: %s", qUtf8Printable(rejected));

    CertificateCase certificate;
    certificate.address = error.url();
    certificate.platformHost = platformHost;
    certificate.overridable = error.isOverridable();
    certificate.machineTrusts = machineErrors.isEmpty();
    certificate.notBefore = leaf.effectiveDate();
    certificate.notAfter = leaf.expiryDate();
    certificate.now = QDateTime::currentDateTimeUtc();
    certificate.sha256 = leaf.digest(QCryptographicHash::Sha256);
    certificate.pins = pinned.fingerprints;
    switch (DecideCertificate(certificate)) {
    case CertificateAnswer::AcceptTrusted:
        DebugLog("certificate accepted for %s: trusted by this machine", qUtf8Printable(address));
        error.acceptCertificate();
        return;
    case CertificateAnswer::AcceptPinned:
        DebugLog("certificate accepted for %s: pinned, SHA-256 %s", qUtf8Printable(address),
                 qUtf8Printable(FingerprintText(certificate.sha256)));
        error.acceptCertificate();
        return;
    case CertificateAnswer::Refuse:
        break;
    }
    WarnLogText(CertificateRefusalLine({address, NameOf(leaf, false), NameOf(leaf, true),
                                        certificate.notBefore, certificate.notAfter,
                                        certificate.sha256, static_cast<int>(error.type()),
                                        error.description(), machineErrors}));
    error.rejectCertificate();
}

} // namespace

void AnswerCertificateErrors(QWebEnginePage* page, const std::function<QString()>& platformHost,
                             const std::function<QString()>& pins) {
    QObject::connect(page, &QWebEnginePage::certificateError, page,
                     [platformHost, pins](const QWebEngineCertificateError& error) {
                         Answer(error, platformHost(), pins());
                     });
}
