#include "sheets/NumberFormat.h"

#include <QTimeZone>

#include <cmath>

namespace sheets {

namespace {

// The first section of a format code (positive numbers), with brackets, quotes and
// escapes kept whole so that a ";" inside them does not cut.
QString firstSection(const QString& code)
{
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'\\' && !quoted) {
            ++i;
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'[')
            ++bracket;
        else if (!quoted && c == u']' && bracket > 0)
            --bracket;
        else if (!quoted && bracket == 0 && c == u';')
            return code.left(i);
    }
    return code;
}

QString groupDigits(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u'.';
        out += digits.at(i);
    }
    return out;
}

QString germanScientific(double value, int decimals)
{
    QString s = QString::number(value, 'E', std::clamp(decimals, 0, 15));
    s.replace(u'.', u',');
    return s;
}

} // namespace

QString GeneralNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    QString s = QString::number(value, 'g', 15);
    s.replace(u'.', u',');
    return s;
}

QDateTime SerialDateTime(double serial, bool date1904)
{
    // Beyond 31.12.9999 no sheet shows a date.
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466.0)
        return QDateTime();
    qint64 days = qint64(std::floor(serial));
    const double fraction = serial - double(days);
    QDate base;
    if (date1904) {
        base = QDate(1904, 1, 1);
    } else {
        // Serial 60 is the 29 February 1900 that never was (a leap year kept for Lotus).
        base = days < 61 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    }
    qint64 ms = qint64(std::llround(fraction * 86400000.0));
    if (ms >= 86400000) {
        ++days;
        ms -= 86400000;
    }
    return QDateTime(base.addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

QString GermanDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString GermanDateTime(const QDateTime& when, bool seconds)
{
    return when.toString(seconds ? QStringLiteral("dd.MM.yyyy HH:mm:ss") : QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString GermanIsoDate(const QString& iso)
{
    QString t = iso.trimmed();
    if (t.size() > 10 && t.at(10) == u' ')
        t[10] = u'T';
    if (t.size() == 10) {
        const QDate d = QDate::fromString(t, Qt::ISODate);
        return d.isValid() ? GermanDate(d) : iso;
    }
    QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(t, Qt::ISODate);
    if (!dt.isValid())
        return iso;
    if (dt.time() == QTime(0, 0))
        return GermanDate(dt.date());
    return GermanDateTime(dt, dt.time().second() != 0);
}

NumberFormat ParseFormatCode(const QString& code)
{
    NumberFormat f;
    const QString section = firstSection(code);
    if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 || section.isEmpty())
        return f;
    bool date = false, time = false, digits = false, afterPoint = false, text = false;
    int zerosBefore = 0, zerosAfter = 0, hashesAfter = 0;
    QString literal;
    auto flushLiteral = [&] {
        if (digits)
            f.suffix += literal;
        else
            f.prefix += literal;
        literal.clear();
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        const QChar lower = c.toLower();
        if (c == u'"') {
            const qsizetype end = section.indexOf(u'"', i + 1);
            literal += section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end;
        } else if (c == u'\\') {
            if (i + 1 < section.size())
                literal += section.at(++i);
        } else if (c == u'[') {
            const qsizetype end = section.indexOf(u']', i + 1);
            const QString inside = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1).toLower();
            // [h]:mm elapsed time; colours, locales and conditions show nothing.
            if (!inside.isEmpty() && (inside.at(0) == u'h' || inside.at(0) == u's' ||
                                      (inside.at(0) == u'm' && inside.count(u'm') == inside.size())))
                time = true;
            if (inside.startsWith(u'$') && inside.size() > 1 && inside.at(1) != u'-')
                literal += section.mid(i + 2, inside.indexOf(u'-') < 0 ? inside.size() - 1 : inside.indexOf(u'-') - 1);
            i = end < 0 ? section.size() : end;
        } else if (c == u'_' || c == u'*') {
            ++i; // padding and fill characters
        } else if (c == u'0' || c == u'#' || c == u'?') {
            if (!digits)
                flushLiteral();
            digits = true;
            if (afterPoint) {
                if (c == u'0')
                    ++zerosAfter;
                else
                    ++hashesAfter;
            } else if (c == u'0') {
                ++zerosBefore;
            }
        } else if (c == u'.' && digits && !date && !time) {
            afterPoint = true;
        } else if (c == u',' && digits) {
            if (i + 1 < section.size() && (section.at(i + 1) == u'#' || section.at(i + 1) == u'0'))
                f.grouping = true;
        } else if (c == u'%') {
            f.percent = true;
            literal += c;
        } else if ((lower == u'e') && digits && i + 1 < section.size() &&
                   (section.at(i + 1) == u'+' || section.at(i + 1) == u'-')) {
            f.scientific = true;
            while (i + 1 < section.size() && (section.at(i + 1) == u'+' || section.at(i + 1) == u'-' ||
                                              section.at(i + 1) == u'0' || section.at(i + 1) == u'#'))
                ++i;
        } else if (lower == u'y' || lower == u'd') {
            date = true;
        } else if (lower == u'm') {
            // Minutes next to hours or seconds, else the month.
            if (!time)
                date = true;
        } else if (lower == u'h') {
            time = true;
        } else if (lower == u's') {
            time = true;
            f.seconds = true;
        } else if (c == u'@') {
            text = true;
        } else if (section.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            time = true;
            i += 4;
        } else if (section.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            i += 6;
        } else {
            literal += c;
        }
    }
    if (date || time) {
        f.kind = date && time ? NumberFormat::Kind::DateTime : date ? NumberFormat::Kind::Date : NumberFormat::Kind::Time;
        f.prefix.clear();
        return f;
    }
    if (!digits) {
        f.kind = text ? NumberFormat::Kind::Text : NumberFormat::Kind::General;
        f.prefix.clear();
        return f;
    }
    flushLiteral();
    f.kind = NumberFormat::Kind::Number;
    f.minIntegerDigits = std::min(zerosBefore, 30);
    f.minDecimals = std::min(zerosAfter, 15);
    f.maxDecimals = std::min(zerosAfter + hashesAfter, 15);
    return f;
}

NumberFormat BuiltinFormat(int id)
{
    switch (id) {
    case 1: return ParseFormatCode(QStringLiteral("0"));
    case 2: return ParseFormatCode(QStringLiteral("0.00"));
    case 3: case 37: case 38: case 41: case 42: case 5: case 6: return ParseFormatCode(QStringLiteral("#,##0"));
    case 4: case 39: case 40: case 43: case 44: case 7: case 8: return ParseFormatCode(QStringLiteral("#,##0.00"));
    case 9: return ParseFormatCode(QStringLiteral("0%"));
    case 10: return ParseFormatCode(QStringLiteral("0.00%"));
    case 11: return ParseFormatCode(QStringLiteral("0.00E+00"));
    case 48: return ParseFormatCode(QStringLiteral("##0.0E+0"));
    case 14: case 15: case 16: case 17: return ParseFormatCode(QStringLiteral("dd.mm.yyyy"));
    case 18: case 20: return ParseFormatCode(QStringLiteral("hh:mm"));
    case 19: case 21: case 45: case 46: case 47: return ParseFormatCode(QStringLiteral("hh:mm:ss"));
    case 22: return ParseFormatCode(QStringLiteral("dd.mm.yyyy hh:mm"));
    case 49: return ParseFormatCode(QStringLiteral("@"));
    default:
        // The East Asian built-in formats 27 to 36 and 50 to 58 are dates.
        if ((id >= 27 && id <= 36) || (id >= 50 && id <= 58))
            return ParseFormatCode(QStringLiteral("dd.mm.yyyy"));
        return NumberFormat();
    }
}

QString NumberFormat::Render(double value, bool date1904, bool* formatted) const
{
    if (formatted)
        *formatted = false;
    if (!std::isfinite(value))
        return GeneralNumber(value);
    if (IsDateOrTime()) {
        const QDateTime when = SerialDateTime(value, date1904);
        if (!when.isValid())
            return GeneralNumber(value);
        if (formatted)
            *formatted = true;
        if (kind == Kind::Date)
            return GermanDate(when.date());
        if (kind == Kind::Time)
            return when.time().toString(seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
        return GermanDateTime(when, seconds);
    }
    if (kind != Kind::Number)
        return GeneralNumber(value);
    if (formatted)
        *formatted = true;
    double v = percent ? value * 100.0 : value;
    if (scientific)
        return prefix + germanScientific(v, maxDecimals) + suffix;
    // Beyond what a double holds exactly the general form says it best.
    if (std::fabs(v) >= 1e15)
        return prefix + GeneralNumber(v) + suffix;
    const bool negative = v < 0;
    QString number = QString::number(std::fabs(v), 'f', maxDecimals);
    QString integer = number.section(u'.', 0, 0);
    QString decimals = number.section(u'.', 1);
    while (decimals.size() > minDecimals && decimals.endsWith(u'0'))
        decimals.chop(1);
    if (integer == QLatin1String("0") && minIntegerDigits == 0)
        integer.clear();
    while (integer.size() < minIntegerDigits)
        integer.prepend(u'0');
    if (grouping)
        integer = groupDigits(integer);
    QString out = integer;
    if (!decimals.isEmpty())
        out += u',' + decimals;
    const bool zero = number.count(u'0') + number.count(u'.') == number.size();
    return prefix + (negative && !zero ? QStringLiteral("-") : QString()) + out + suffix;
}

} // namespace sheets
