#include "carddav/CarddavError.h"

namespace {

// The network layer's own words below the message, where there are any.
QString withDetail(QString text, const QString& detail)
{
    if (!detail.isEmpty())
        text += QStringLiteral("\n\n(%1)").arg(detail);
    return text;
}

} // namespace

QString CarddavErrorText(const CarddavError& e)
{
    switch (e.Kind) {
    case CarddavFailure::None:
        return QString();
    case CarddavFailure::Unreachable:
        return withDetail(QStringLiteral("Der Server „%1“ ist nicht erreichbar. Bitte prüfen Sie die Serveradresse "
                                         "und die Netzwerkverbindung.")
                              .arg(e.Host),
                          e.Detail);
    case CarddavFailure::WrongPassword:
        return QStringLiteral("Der Server „%1“ hat den Benutzernamen oder das Passwort nicht angenommen.").arg(e.Host);
    case CarddavFailure::NotCarddav:
        return QStringLiteral("Unter dieser Adresse wurde auf dem Server „%1“ kein Online-Adressbuch (CardDAV) gefunden.")
            .arg(e.Host);
    case CarddavFailure::CertificateUntrusted:
        return QStringLiteral("Das Zertifikat des Servers „%1“ ist nicht vertrauenswürdig.\n\n"
                              "SHA-256-Fingerabdruck:\n%2\n\n"
                              "Vertrauen Sie ihm nur, wenn dieser Fingerabdruck mit dem übereinstimmt, den Ihnen "
                              "der Betreiber des Servers genannt hat.")
            .arg(e.Host, e.Fingerprint);
    case CarddavFailure::PlainHttp:
        return QStringLiteral("Die Verbindung zum Server „%1“ ist nicht verschlüsselt (http statt https). "
                              "Benutzername, Passwort und Adressen wären im Netzwerk lesbar.")
            .arg(e.Host);
    case CarddavFailure::RedirectRefused:
        return QStringLiteral("Der Server „%1“ leitet auf eine andere Adresse weiter (%2). Aus Sicherheitsgründen "
                              "werden nur Weiterleitungen innerhalb desselben Servers und zu https befolgt.")
            .arg(e.Host, e.Detail);
    case CarddavFailure::ConnectionLost:
        return withDetail(QStringLiteral("Die Verbindung zum Server „%1“ ist abgebrochen, bevor alle Karten geladen "
                                         "waren. Die Gruppe ist unverändert. Bitte versuchen Sie es später noch "
                                         "einmal.")
                              .arg(e.Host),
                          e.Detail);
    case CarddavFailure::ServerError:
        return QStringLiteral("Der Server „%1“ hat unerwartet geantwortet: %2").arg(e.Host, e.Detail);
    case CarddavFailure::StoreFailed:
        return QStringLiteral("Die Adressen konnten nicht gespeichert werden. Die Gruppe ist unverändert.\n\n%1")
            .arg(e.Detail);
    case CarddavFailure::Cancelled:
        return QStringLiteral("Der Abgleich wurde abgebrochen. Die Gruppe ist unverändert.");
    }
    return QString();
}
