#pragma once
// The Support menu's pieces: the machine description of the support mail,
// the two mails as mailto: addresses, and the maker's web addresses.

#include <QString>
#include <QUrl>

namespace QVSupport {
extern const char* const kHomePage;
extern const char* const kSupportPage;
extern const char* const kProductPage;
extern const char* const kFollowUsPage;
extern const char* const kSupportMailbox; ///< "Corvala Support<...>"
} // namespace QVSupport

/// The system's version, from /etc/os-release (PRETTY_NAME, else NAME and
/// VERSION_ID); "Linux" with the kernel release when that file is missing.
QString QV_SystemVersionString(const QString& osReleasePath = QStringLiteral("/etc/os-release"));
/// The machine model from the firmware tables (vendor and product name);
/// "Unknown Machine" when they cannot be read.
QString QV_MachineModelString(const QString& dmiFolder = QStringLiteral("/sys/class/dmi/id"));

/// "mailto:%@?SUBJECT=%@&BODY=%@", each part percent-escaped as UTF-8.
QUrl QV_MailURL(const QString& recipient, const QString& subject, const QString& body);
QUrl QV_TechnicalSupportMailURL();
/// The recommendation mail; its body is the text of `bodyPath` (none when
/// it cannot be read).
QUrl QV_TellAFriendMailURL(const QString& bodyPath);
