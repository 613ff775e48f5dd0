#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// An INI file that behaves like the Windows profile functions: section and key names
// match without regard to case, unknown keys and other sections are kept where they
// are, and the file is stored in Windows-1252. Saving replaces the file whole.
class IniFile
{
public:
    static constexpr int kMaxTextLength = 2047;

    IniFile() = default;
    explicit IniFile(const QString& path) { load(path); }

    // A missing or unreadable file gives an empty document.
    void load(const QString& path);
    void loadFromBytes(const QByteArray& bytes);
    // Written to a temporary file in the same folder and renamed over the old one.
    bool save(const QString& path) const;
    QByteArray toBytes() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x"; a missing key or a value that is no 32-bit
    // integer gives the default.
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    // The names of the file's sections, in file order, as written.
    QStringList sections() const;
    // The keys of a section, in file order, as written.
    QStringList keys(const QString& section) const;

    static std::optional<int> parseInteger(const QString& text);

private:
    int findSection(const QString& section) const;
    // Index of the key's line inside the section starting at sectionLine, or -1.
    int findKey(int sectionLine, const QString& key) const;
    int sectionEnd(int sectionLine) const;

    QStringList m_lines;
};
