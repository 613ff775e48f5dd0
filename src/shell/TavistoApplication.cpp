#include "shell/TavistoApplication.h"

#include "shell/MessageService.h"

#include <QDirIterator>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

#include <exception>

bool InstallGermanQtTexts(QTranslator& translator)
{
    // A desktop's own dialogs (GTK's on GNOME) would speak the session's language instead.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // qtbase holds the texts of the widgets' standard dialogs (Debian: qt6-translations-l10n).
    if (!translator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

void SetDesktopIdentity()
{
    // Every size the build rendered, so that each place takes a picture made for its size.
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("tavisto-*.png")}, QDir::Files);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(kDesktopFileName);
}

TavistoApplication::TavistoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // One typeface for every window: dialogs are windows of their own and would not take
    // the main window's font.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);
    InstallGermanQtTexts(m_qtTexts);
    SetDesktopIdentity();
}

bool TavistoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_messages)
            m_messages->ErrorMessage(QString::fromUtf8(e.what()));
    }
    return false;
}
