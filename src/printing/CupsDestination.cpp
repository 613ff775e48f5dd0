#include "printing/CupsDestination.h"

#include "envelope/PrintError.h"
#include "printing/CupsServer.h"
#include "printing/QueueCall.h"

#include <QRegularExpression>

#include <cmath>
#include <cups/cups.h>

namespace {

QString reason()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// The queue and what it supports, released on every way out.
struct Dest
{
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;

    explicit Dest(const QString& name)
    {
        const QByteArray full = name.toUtf8();
        const qsizetype slash = full.indexOf('/');
        const QByteArray queue = slash < 0 ? full : full.left(slash);
        const QByteArray instance = slash < 0 ? QByteArray() : full.mid(slash + 1);
        dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
        if (!dest)
            throw PrintError(QStringLiteral("Der Drucker „%1“ ist nicht vorhanden: %2").arg(name, reason()));
        info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
        if (!info) {
            const QString why = reason();
            cupsFreeDests(1, dest);  // the destructor does not run for a constructor that throws
            throw PrintError(QStringLiteral("Die Eigenschaften des Druckers „%1“ können nicht gelesen werden: %2").arg(name, why));
        }
    }
    ~Dest()
    {
        cupsFreeDestInfo(info);
        cupsFreeDests(1, dest);
    }
    Dest(const Dest&) = delete;
    Dest& operator=(const Dest&) = delete;

    QByteArray option(const char* name) const { return QByteArray(cupsGetOption(name, dest->num_options, dest->options)); }
    ipp_attribute_t* supported(const char* name) const
    {
        return cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, name);
    }
    ipp_attribute_t* defaultOf(const char* name) const { return cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, name); }
};

QByteArray valueAt(ipp_attribute_t* attr, int i)
{
    switch (ippGetValueTag(attr)) {
    case IPP_TAG_ENUM:
    case IPP_TAG_INTEGER:
        return QByteArray::number(ippGetInteger(attr, i));
    case IPP_TAG_RESOLUTION: {
        int y = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        const int x = ippGetResolution(attr, i, &y, &units);
        if (units != IPP_RES_PER_INCH)
            return {};
        return x == y ? QByteArray::number(x) + "dpi" : QByteArray::number(x) + 'x' + QByteArray::number(y) + "dpi";
    }
    default:
        return QByteArray(ippGetString(attr, i, nullptr));
    }
}

// German names of the keywords that queues commonly offer.
QString keywordLabel(const QByteArray& option, const QByteArray& value)
{
    static const std::map<QByteArray, QString> known{
        {"auto", "Automatisch"},
        {"main", "Hauptfach"},
        {"manual", "Manueller Einzug"},
        {"envelope", "Umschlag"},
        {"by-pass-tray", "Mehrzweckeinzug"},
        {"alternate", "Alternativer Einzug"},
        {"bottom", "Unteres Fach"},
        {"top", "Oberes Fach"},
        {"middle", "Mittleres Fach"},
        {"large-capacity", "Großraumfach"},
        {"rear", "Hinterer Einzug"},
        {"side", "Seitlicher Einzug"},
        {"stationery", "Normalpapier"},
        {"stationery-heavyweight", "Schweres Papier"},
        {"stationery-lightweight", "Leichtes Papier"},
        {"cardstock", "Karton"},
        {"labels", "Etiketten"},
        {"transparency", "Folie"},
        {"photographic", "Fotopapier"},
        {"one-sided", "Einseitig"},
        {"two-sided-long-edge", "Beidseitig, lange Kante"},
        {"two-sided-short-edge", "Beidseitig, kurze Kante"},
        {"color", "Farbe"},
        {"monochrome", "Schwarzweiß"},
        {"auto-monochrome", "Automatisch schwarzweiß"},
        {"bi-level", "Schwarzweiß (ohne Graustufen)"},
    };
    if (option == "print-quality") {
        if (value == "3")
            return QStringLiteral("Entwurf");
        if (value == "4")
            return QStringLiteral("Normal");
        if (value == "5")
            return QStringLiteral("Hoch");
    }
    if (value.startsWith("tray-"))
        return QStringLiteral("Fach %1").arg(QString::fromUtf8(value.mid(5)));
    const auto it = known.find(value);
    if (it != known.end())
        return it->second;
    return QString::fromUtf8(value);
}

QString resolutionLabel(const QByteArray& value)
{
    QString s = QString::fromUtf8(value);
    s.chop(3);  // "dpi"
    return s.replace(QLatin1Char('x'), QStringLiteral(" × ")) + QStringLiteral(" dpi");
}

// "iso_a4_210x297mm" → "A4 (210 × 297 mm)", "na_number-10_4.125x9.5in" → "Umschlag #10 (105 × 241 mm)".
QString mediaLabel(const QByteArray& media)
{
    static const QRegularExpression pwg(QStringLiteral("^([a-z0-9]+)_(.+)_([0-9.]+)x([0-9.]+)(mm|in)$"));
    const QRegularExpressionMatch m = pwg.match(QString::fromUtf8(media));
    if (!m.hasMatch())
        return QString::fromUtf8(media);
    const QString kind = m.captured(1);
    QString name = m.captured(2);
    const double scale = m.captured(5) == QLatin1String("in") ? 25.4 : 1.0;
    const QString dims = QStringLiteral("%1 × %2 mm")
                             .arg(std::lround(m.captured(3).toDouble() * scale))
                             .arg(std::lround(m.captured(4).toDouble() * scale));
    static const QStringList envelopes{"dl", "c4", "c5", "c6", "c6c5", "c7c6", "b6c4", "number-9", "number-10",
                                       "number-11", "number-12", "number-14", "monarch", "personal", "invite",
                                       "a2", "italian", "c7"};
    const bool envelope = (kind == QLatin1String("iso") || kind == QLatin1String("na")) && envelopes.contains(name) &&
                          !(kind == QLatin1String("iso") && name == QLatin1String("a2"));
    if (kind == QLatin1String("custom"))
        name = QStringLiteral("Benutzerdefiniert");
    else if (kind == QLatin1String("iso") || kind == QLatin1String("jis") || kind == QLatin1String("jpn"))
        name = (kind == QLatin1String("iso") ? QString() : kind.toUpper() + QLatin1Char(' ')) + name.toUpper();
    else if (name.startsWith(QLatin1String("number-")))
        name = QLatin1Char('#') + name.mid(7);
    else
        name = name.left(1).toUpper() + name.mid(1);
    return (envelope ? QStringLiteral("Umschlag ") : QString()) + name + QStringLiteral(" (") + dims + QLatin1Char(')');
}

// An empty value is no choice: the queue's own setting stays in charge.
bool isChosen(const PrinterChoices& chosen, const QByteArray& name)
{
    const auto it = chosen.find(name);
    return it != chosen.end() && !it->second.isEmpty();
}

QByteArray chosenOr(const PrinterChoices& chosen, const QByteArray& name, const QByteArray& fallback)
{
    return isChosen(chosen, name) ? chosen.at(name) : fallback;
}

// The paper a job gets when the user chose none: the instance's or the user's default
// (lpoptions), else the queue's.
QByteArray defaultMedia(const Dest& d)
{
    const QByteArray own = d.option("media");
    if (!own.isEmpty())
        return own;
    ipp_attribute_t* def = d.defaultOf("media");
    return def ? valueAt(def, 0) : QByteArray();
}

struct KeywordOption
{
    const char* name;
    const char* label;
};
const KeywordOption kKeywordOptions[] = {
    {"media-source", "Papierzufuhr:"}, {"media-type", "Medientyp:"},   {"sides", "Duplexdruck:"},
    {"print-color-mode", "Farbmodus:"}, {"print-quality", "Druckqualität:"},
};

// libcups keeps its server per thread: the call runs on its own thread against the
// scheduler the calling thread uses, its port and IPP version included.
template <typename Fn>
auto onCallersServer(Fn fn)
{
    return [server = CurrentCupsServer(), fn = std::move(fn)] {
        cupsSetServer(server.constData());
        return fn();
    };
}

QString notAnswering(const QString& name)
{
    return QStringLiteral("Der Drucker „%1“ antwortet nicht. Bitte prüfen Sie, ob er eingeschaltet und mit dem "
                          "Netzwerk verbunden ist. Es wurde nichts gedruckt.")
        .arg(name);
}

// The device of a network queue takes a connection, or the user is told before a job
// waits in the queue for a printer that is not there.
void requireDeviceAnswers(const QString& name, const QByteArray& deviceUri)
{
    const std::optional<DeviceAddress> device = NetworkDevice(deviceUri);
    if (!device)
        return;
    const QByteArray port = QByteArray::number(device->port);
    http_addrlist_t* addresses = httpAddrGetList(device->host.constData(), AF_UNSPEC, port.constData());
    int fd = -1;
    const bool connected = addresses && httpAddrConnect2(addresses, &fd, kDeviceProbeMs, nullptr) != nullptr;
    if (fd >= 0)
        httpAddrClose(nullptr, fd);
    httpAddrFreeList(addresses);
    if (!connected)
        throw PrintError(notAnswering(name));
}

// Printer-state "stopped" and the reason the scheduler gives for it; a network printer that
// takes no connection from here when the scheduler runs here, or that the scheduler elsewhere
// reports offline.
void requireAccepting(const Dest& d, const QString& name)
{
    const QByteArray state = d.option("printer-state");
    const QByteArray accepting = d.option("printer-is-accepting-jobs");
    const QByteArray reasons = d.option("printer-state-reasons");
    QString why = QString::fromUtf8(d.option("printer-state-message"));
    if (why.isEmpty())
        why = QString::fromUtf8(reasons);
    if (state == QByteArray::number(int(IPP_PSTATE_STOPPED)))
        throw PrintError(QStringLiteral("Der Drucker „%1“ ist angehalten (%2). Bitte geben Sie ihn in den "
                                        "Druckereinstellungen des Systems wieder frei.")
                             .arg(name, why));
    if (accepting == "false" || accepting == "0")
        throw PrintError(QStringLiteral("Der Drucker „%1“ nimmt keine Druckaufträge an (%2).").arg(name, why));
    const QByteArray deviceUri = d.option("device-uri");
    switch (DeviceCheckBeforeJob(IsLocalScheduler(CurrentCupsServer()), state, reasons, deviceUri)) {
    case DeviceCheck::Probe:
        requireDeviceAnswers(name, deviceUri);
        break;
    case DeviceCheck::Offline:
        throw PrintError(notAnswering(name));
    case DeviceCheck::None:
        break;
    }
}

QList<PrinterOption> optionsOf(const QString& name, const PrinterChoices& chosen)
{
    const Dest d(name);
    QList<PrinterOption> options;

    if (ipp_attribute_t* res = d.supported("printer-resolution")) {
        PrinterOption o{"printer-resolution", QStringLiteral("Auflösung:"), {}, chosenOr(chosen, "printer-resolution", {}),
                        isChosen(chosen, "printer-resolution")};
        o.choices.append({QByteArray(), QStringLiteral("Standard (%1 dpi)").arg(kDefaultJobResolution)});
        for (int i = 0; i < ippGetCount(res); ++i) {
            const QByteArray v = valueAt(res, i);
            if (!v.isEmpty())
                o.choices.append({v, resolutionLabel(v)});
        }
        options.append(o);
    }
    if (ipp_attribute_t* media = d.supported("media")) {
        PrinterOption o{"media", QStringLiteral("Papierformat:"), {}, chosenOr(chosen, "media", defaultMedia(d)),
                        isChosen(chosen, "media")};
        for (int i = 0; i < ippGetCount(media); ++i) {
            const QByteArray v = valueAt(media, i);
            if (!v.startsWith("custom_min_") && !v.startsWith("custom_max_"))
                o.choices.append({v, mediaLabel(v)});
        }
        options.append(o);
    }
    for (const KeywordOption& option : kKeywordOptions) {
        ipp_attribute_t* attr = d.supported(option.name);
        if (!attr || ippGetCount(attr) == 0)
            continue;
        ipp_attribute_t* def = d.defaultOf(option.name);
        QByteArray current = d.option(option.name);  // the instance's or the user's default
        if (current.isEmpty() && def)
            current = valueAt(def, 0);
        PrinterOption o{option.name, QString::fromUtf8(option.label), {}, chosenOr(chosen, option.name, current),
                        isChosen(chosen, option.name)};
        for (int i = 0; i < ippGetCount(attr); ++i) {
            const QByteArray v = valueAt(attr, i);
            o.choices.append({v, keywordLabel(option.name, v)});
        }
        options.append(o);
    }
    return options;
}

PrinterSheet sheetOf(const QString& name, const PrinterChoices& chosen)
{
    const Dest d(name);
    const QByteArray media = chosenOr(chosen, "media", defaultMedia(d));
    cups_size_t size{};
    // The job names the paper as the user or the queue spelled it: libcups may report the
    // size under a variant's name ("_borderless") that not every driver takes.
    QByteArray named = media;
    if (media.isEmpty() || !cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, d.dest, d.info, media.constData(),
                                                   CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
        if (!cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, d.dest, d.info, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            size = {};
        named = QByteArray(size.media);
    }
    if (size.width <= 0 || size.length <= 0)
        throw PrintError(QStringLiteral("Das Papierformat des Druckers „%1“ ist nicht bekannt: %2").arg(name, reason()));
    return {named, QSizeF(size.width, size.length), QMarginsF(size.left, size.top, size.right, size.bottom)};
}

bool accepted(ipp_status_t status)
{
    // successful-ok-ignored-or-substituted-attributes and the like: the job was taken.
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

int submit(const QString& name, const QString& title, const QByteArray& pdf, const PrinterChoices& chosen,
           const QByteArray& media)
{
    // Asked afresh for every job: the queue may have been stopped or deleted meanwhile.
    const Dest d(name);
    requireAccepting(d, name);

    PrinterChoices queueOptions;
    for (int i = 0; i < d.dest->num_options; ++i)
        queueOptions[d.dest->options[i].name] = d.dest->options[i].value;
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [option, value] : JobOptions(queueOptions, chosen, media))
        count = cupsAddOption(option.constData(), value.constData(), count, &options);
    struct FreeOptions
    {
        int& count;
        cups_option_t*& options;
        ~FreeOptions() { cupsFreeOptions(count, options); }
    } freeOptions{count, options};

    const QByteArray jobName = title.toUtf8();
    int job = 0;
    auto fail = [&](const QString& why) {
        if (job > 0)
            cupsCancelDestJob(CUPS_HTTP_DEFAULT, d.dest, job);
        return PrintError(
            QStringLiteral("Der Druckauftrag konnte nicht an den Drucker „%1“ übergeben werden: %2").arg(name, why));
    };
    if (!accepted(cupsCreateDestJob(CUPS_HTTP_DEFAULT, d.dest, d.info, &job, jobName.constData(), count, options)) ||
        job <= 0)
        throw fail(reason());
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, d.dest, d.info, job, jobName.constData(), CUPS_FORMAT_PDF, 0, nullptr,
                              1) != HTTP_STATUS_CONTINUE)
        throw fail(reason());
    const bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size())) == HTTP_STATUS_CONTINUE;
    const ipp_status_t finished = cupsFinishDestDocument(CUPS_HTTP_DEFAULT, d.dest, d.info);
    if (!written || !accepted(finished))
        throw fail(reason());
    return job;
}

void cancelJob(const QString& name, int job)
{
    try {
        const Dest d(name);
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, d.dest, job);
    } catch (const PrintError&) {
        // The queue is gone: so is the job.
    }
}

} // namespace

QString MediaLabel(const QByteArray& media)
{
    return mediaLabel(media);
}

QStringList CupsDestination::Names(int* defaultIndex)
{
    struct Listed
    {
        QStringList names;
        int defaultIndex = -1;
    };
    const Listed listed = QueueCall::Run(
        onCallersServer([] {
            cups_dest_t* dests = nullptr;
            const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
            Listed out;
            for (int i = 0; i < n; ++i) {
                QString name = QString::fromUtf8(dests[i].name);
                if (dests[i].instance)
                    name += QLatin1Char('/') + QString::fromUtf8(dests[i].instance);
                if (dests[i].is_default)
                    out.defaultIndex = int(out.names.size());
                out.names.append(name);
            }
            cupsFreeDests(n, dests);
            return out;
        }),
        QueueCall::kAnswerMs, QStringLiteral("Der Druckdienst des Systems (CUPS) antwortet nicht."));
    if (defaultIndex)
        *defaultIndex = listed.defaultIndex;
    return listed.names;
}

QList<PrinterOption> CupsDestination::Options(const PrinterChoices& chosen) const
{
    return QueueCall::Run(onCallersServer([name = m_name, chosen] { return optionsOf(name, chosen); }), QueueCall::kAnswerMs,
                          notAnswering(m_name));
}

PrinterSheet CupsDestination::Sheet(const PrinterChoices& chosen) const
{
    return QueueCall::Run(onCallersServer([name = m_name, chosen] { return sheetOf(name, chosen); }), QueueCall::kAnswerMs,
                          notAnswering(m_name));
}

int CupsDestination::Submit(const QString& title, const QByteArray& pdf, const PrinterChoices& chosen,
                            const QByteArray& media) const
{
    // A job the scheduler takes after the user was told that the printer does not answer
    // would print unexpectedly later: it is cancelled.
    const QString name = m_name;
    return QueueCall::Run(onCallersServer([=] { return submit(name, title, pdf, chosen, media); }),
                          QueueCall::kAnswerMs + kDeviceProbeMs, notAnswering(m_name),
                          // on the call's thread, which already uses the caller's scheduler
                          [name](const int& job) { cancelJob(name, job); });
}
