#pragma once

// The maker's texts and web addresses, as the About window and the status bar give them.

#include <QString>
#include <QUrl>

namespace corvane::maker {

inline const QString kProduct = QStringLiteral("Corvane");
inline const QString kCompany = QStringLiteral("Corvane Bending Software");
inline const QString kAddress =
    QStringLiteral("Unit 4, Foundry Lane, Sheffield S3 8RT, United Kingdom");
inline const QString kContact =
    QStringLiteral("Tel: +44 114 496 0321, +44 114 496 0322  E-mail: support@corvane.example");
inline const QString kWebsite = QStringLiteral("https://www.corvane.example");

inline QUrl homePage()
{
    return QUrl(kWebsite + QStringLiteral("/"));
}
inline QUrl tourPage()
{
    return QUrl(kWebsite + QStringLiteral("/tour"));
}

// "6.0.0": the three numbers of this build, plain integers.
QString versionText();

} // namespace corvane::maker
