#pragma once

#include <QString>

// The maker's addresses, kept in one place.
namespace Links {
inline const QString kHomePage = QStringLiteral("https://www.kzw.co.jp/zeltika");
inline const QString kSupportMail = QStringLiteral("support@kzw.co.jp");
inline const QString kMailSubject = QStringLiteral("ゼルティカとドルネアサポートへ");
} // namespace Links
