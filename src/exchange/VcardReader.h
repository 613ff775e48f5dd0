#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A parameter of a content line. Names are upper case. The bare parameters of version 2.1
// (TEL;WORK;VOICE, NOTE;QUOTED-PRINTABLE) are stored as TYPE or ENCODING like their
// named forms.
struct VcardParam
{
    QString Name;
    QStringList Values;
};

// One content line of a card, unfolded and decoded (transfer encoding and character set),
// its backslash escapes still in place, because only the property knows whether ";"
// separates components.
struct VcardProperty
{
    QString Group; // "item1" of item1.ADR, empty when none
    QString Name;  // upper case
    std::vector<VcardParam> Params;
    QString Value;

    // The values of the parameter, empty when it is missing.
    QStringList Param(QStringView name) const;
    // Whether TYPE holds the value, without regard to case ("pref", "WORK").
    bool HasType(QStringView type) const;
    // 1 for the most preferred: PREF=n gives n, TYPE=pref gives 1; 0 when not preferred.
    int Preference() const;
    // The value with its escapes resolved, for properties of one text (FN, NOTE, TEL).
    QString Text() const;
    // The components between unescaped semicolons, each with its escapes resolved
    // (N, ADR, ORG). Lists inside a component (",") stay as they are.
    QStringList Components() const;
};

struct Vcard
{
    std::vector<VcardProperty> Properties;

    // The first property of the name, or null.
    const VcardProperty* First(QStringView name) const;
};

// Reads the cards of a file one after the other, so that an import holds one card at a
// time, whatever the size of the file. The rules are those of ReadVcards.
class VcardStream
{
public:
    explicit VcardStream(const QByteArray& bytes);
    // The next card into `card`, whose properties it replaces; false after the last one.
    bool Next(Vcard& card);

private:
    // The physical line from pos to its end (CR LF, LF or CR); *after is where the next begins.
    QByteArrayView lineAt(qsizetype pos, qsizetype* after) const;
    // The next content line, folded lines joined; the view lasts until the next call.
    QByteArrayView nextLogicalLine();
    // Passes over a card inside the card being read, up to its own END:VCARD.
    void skipNestedCard();

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    bool m_textIsUtf8 = false;
    bool m_begun = false; // the BEGIN:VCARD of the next card was read with the last one
    QByteArray m_joined;
};

// Every card between BEGIN:VCARD and END:VCARD, in the order of the file. Versions 2.1,
// 3.0 and 4.0; lines folded with a blank or a tab, quoted-printable soft line breaks
// (blanks after the "=" too), lines ending in CR LF, LF, CR or CR CR LF, the CHARSET
// parameter, byte order marks at the start of any line (files joined with cat); text
// outside the cards is passed over, and so is the card a 2.1 AGENT holds. A card the file
// ends in before its END:VCARD is kept with what it has. Texts without a character set
// are UTF-8 where they are valid UTF-8, else Windows-1252.
std::vector<Vcard> ReadVcards(const QByteArray& bytes);

// Resolves \\ \; \, \: \n \N. A backslash before any other character stays, so that a
// path such as C:\Daten written by a careless exporter keeps its backslash.
QString UnescapeVcardText(QStringView text);
