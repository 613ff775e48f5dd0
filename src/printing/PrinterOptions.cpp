#include "printing/PrinterOptions.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

int ResolutionOfChoice(const QByteArray& value)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:x(\\d+))?dpi$"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(value));
    if (!m.hasMatch())
        return 0;
    int dpi = m.captured(1).toInt();
    if (m.hasCaptured(2))
        dpi = std::min(dpi, m.captured(2).toInt());
    return std::min(dpi, kMaxPictureResolution);
}

std::optional<DeviceAddress> NetworkDevice(const QByteArray& deviceUri)
{
    static const std::map<QString, int> kPorts{{"ipp", 631},  {"ipps", 631},     {"http", 80},
                                               {"https", 443}, {"socket", 9100}, {"lpd", 515}};
    const QUrl url(QString::fromUtf8(deviceUri));
    const auto known = kPorts.find(url.scheme().toLower());
    // Names ending in .local need the discovery service; the scheduler resolves them itself.
    if (!url.isValid() || known == kPorts.end() || url.host().isEmpty() ||
        url.host().endsWith(QLatin1String(".local"), Qt::CaseInsensitive))
        return std::nullopt;
    return DeviceAddress{url.host().toUtf8(), url.port(known->second)};
}

PrinterChoices JobOptions(const PrinterChoices& queueOptions, const PrinterChoices& chosen, const QByteArray& media)
{
    PrinterChoices options;
    for (const auto& [name, value] : queueOptions)
        if (!name.startsWith("printer-") && !name.startsWith("marker-") && name != "device-uri")
            options[name] = value;
    for (const auto& [name, value] : chosen)
        if (!value.isEmpty())
            options[name] = value;
    if (!media.isEmpty())
        options["media"] = media;
    // The page is the whole sheet with the envelope already turned and placed: a spooler
    // that turned it again, or fitted it into the printable area, would move the address.
    options["orientation-requested"] = "3";
    options["print-scaling"] = "none";
    for (const char* turnsOrScales : {"landscape", "fit-to-page", "number-up", "scaling"})
        options.erase(turnsOrScales);
    if (chosen.count("sides") == 0 || chosen.at("sides").isEmpty())
        options["sides"] = "one-sided";
    return options;
}
