#include "shell/IniFile.h"

#include "shell/Cp1252.h"
#include "shell/FileWrite.h"

#include <QFile>

namespace {

bool isSectionLine(const QString& line, QString* name = nullptr)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyOfLine(const QString& line, QString* key, QString* value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'['))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

} // namespace

void IniFile::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_lines.clear();
        return;
    }
    loadFromBytes(f.readAll());
}

void IniFile::loadFromBytes(const QByteArray& bytes)
{
    QString text = Cp1252::decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    m_lines = text.split(u'\n');
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

QByteArray IniFile::toBytes() const
{
    QByteArray out;
    for (const QString& line : m_lines) {
        out += Cp1252::encode(line);
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const QString& path) const
{
    return ReplaceFileWhole(path, toBytes());
}

QStringList IniFile::sections() const
{
    QStringList names;
    QString name;
    for (const QString& line : m_lines)
        if (isSectionLine(line, &name))
            names.append(name);
    return names;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList names;
    const int s = findSection(section);
    if (s < 0)
        return names;
    const int end = sectionEnd(s);
    QString k;
    for (int i = s + 1; i < end; ++i)
        if (keyOfLine(m_lines[i], &k, nullptr))
            names.append(k);
    return names;
}

int IniFile::findSection(const QString& section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSectionLine(m_lines[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const
{
    int i = sectionLine + 1;
    while (i < m_lines.size() && !isSectionLine(m_lines[i]))
        ++i;
    return i;
}

int IniFile::findKey(int sectionLine, const QString& key) const
{
    const int end = sectionEnd(sectionLine);
    QString k;
    for (int i = sectionLine + 1; i < end; ++i)
        if (keyOfLine(m_lines[i], &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const int s = findSection(section);
    if (s < 0)
        return std::nullopt;
    const int k = findKey(s, key);
    if (k < 0)
        return std::nullopt;
    QString name, v;
    keyOfLine(m_lines[k], &name, &v);
    // The profile functions drop one pair of enclosing quotes.
    if (v.size() >= 2 && ((v.startsWith(u'"') && v.endsWith(u'"')) || (v.startsWith(u'\'') && v.endsWith(u'\''))))
        v = v.mid(1, v.size() - 2);
    return v.left(kMaxTextLength);
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    return value(section, key).value_or(def.left(kMaxTextLength));
}

std::optional<int> IniFile::parseInteger(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        // Hexadecimal keeps the bit pattern of a 32-bit value, as the profile functions do.
        const qulonglong u = t.mid(2).toULongLong(&ok, 16);
        if (!ok || u > 0xFFFFFFFFull)
            return std::nullopt;
        return int(quint32(u));
    }
    if (t.startsWith(u'+'))
        return std::nullopt;
    v = t.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return int(v);
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const
{
    const auto v = value(section, key);
    if (!v)
        return def;
    return parseInteger(*v).value_or(def);
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    const QString line = key + u'=' + value;
    int s = findSection(section);
    if (s < 0) {
        m_lines.append(u'[' + section + u']');
        m_lines.append(line);
        return;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        m_lines[k] = line;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    int insertAt = sectionEnd(s);
    while (insertAt > s + 1 && m_lines[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, line);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
