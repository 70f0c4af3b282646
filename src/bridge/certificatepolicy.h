#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// A SHA-256 fingerprint as administrators copy it: 64 hexadecimal digits in any letter case,
// with or without a colon between the bytes. Nothing when the text is not one.
std::optional<QByteArray> ParseFingerprint(const QString& text);

// The fingerprints of the settings' value: several, separated by commas, semicolons or blanks,
// for a certificate change-over. Entries that are no fingerprint land in rejected.
struct PinnedFingerprints {
    QList<QByteArray> fingerprints;
    QStringList rejected;
};
PinnedFingerprints ParsePinnedFingerprints(const QString& value);

// "AB:CD:...", as openssl and browsers show fingerprints.
QString FingerprintText(const QByteArray& digest);

// A distinguished name from its attributes in certificate order: "CN=x, O=y".
QString DistinguishedName(const QList<QPair<QString, QString>>& attributes);

// What is known of a certificate the browser did not trust by itself.
struct CertificateCase {
    QUrl address;
    QString platformHost;
    // The browser may still accept it (it refuses to for a site that demands strict checks).
    bool overridable = false;
    // The machine's own store (/etc/ssl/certs) trusts the chain for the address's name.
    bool machineTrusts = false;
    QDateTime notBefore;
    QDateTime notAfter;
    QDateTime now;
    QByteArray sha256;
    QList<QByteArray> pins;
};

enum class CertificateAnswer {
    AcceptTrusted, // the machine's store trusts it, for this name, today
    AcceptPinned,  // the platform's own certificate, pinned in the settings, valid today
    Refuse,
};

// The client trusts what the machine trusts, and for the platform's own address also a
// certificate the administrator pinned; a certificate outside its validity never passes.
CertificateAnswer DecideCertificate(const CertificateCase& certificate);

// What the log says of a refused certificate.
struct CertificateReport {
    QString address;
    QString subject;
    QString issuer;
    QDateTime notBefore;
    QDateTime notAfter;
    QByteArray sha256;
    int browserError = 0;
    QString browserDescription;
    QStringList machineErrors;
};

// One line: the address, subject, issuer, validity, fingerprint, the browser's error and what
// the machine's store found.
QString CertificateRefusalLine(const CertificateReport& report);
