#pragma once

#include <QString>

class QWidget;

// Settings of the client, read from ProgramDir() + "Conf.ini" anew on every call: a value
// written anywhere is seen by the next read. None of the accessors fails towards the caller.

constexpr int MainClientWidth = 800;
constexpr int MainClientHeight = 600;

QString SettingsFilePath();

// "Host" in "Host", always ending in "/". A file that exists but cannot be read answers the
// last Host read from it during this run (empty when there was none) and brings the message
// "主机地址配置错误。" once, from the event loop (never inside the caller).
QString ReadHost();
// "CertificateSHA256" in "Host": the fingerprints of the platform's pinned certificates, as
// written; empty when missing.
QString ReadPinnedCertificates();
// "Title" in "App"; empty when missing.
QString ReadAppTitle();
// False only when "RecTip" in "CheckRecTip" is exactly "no".
bool IsRecTipOn();

// The host value as the client uses it: one "/" appended unless it already ends in one.
QString HostWithSlash(const QString& value);
// The tip rule on the stored text.
bool RecTipValueIsOn(const QString& value);

// Gives the window its fixed 800 × 600 client area and takes its border away.
void SizeMainWindow(QWidget* form);
