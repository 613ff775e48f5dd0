#pragma once
// A real main window on a fresh folder with a scripted message service. Included by the
// main window's tests only (it needs the mainwindow library).
#include "app/AppContext.h"
#include "mainwindow/AbsenderModel.h"
#include "mainwindow/AdressenModel.h"
#include "mainwindow/GruppenModel.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainRibbon.h"
#include "mainwindow/TForm_Tavisto.h"
#include "support/RecordingHelpService.h"
#include "store/Schema.h"
#include "support/FakeMessageService.h"
#include "support/FakePrintService.h"
#include "support/TempDir.h"
#include "uikit/TCaptionBar.h"
#include "uikit/TGridView.h"
#include "uikit/TToolButton.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <QListView>
#include <memory>

struct MainWindowHarness
{
    TempDir dir;
    FakeMessageService messages;
    FakePrintService printer;
    RecordingHelpService help;
    AppContext ctx;
    StartupFolders folders;
    std::unique_ptr<TForm_Tavisto> window;

    MainWindowHarness()
    {
        folders = {dir.path() + QStringLiteral("/bin/"), dir.path() + QStringLiteral("/config/"),
                   dir.path() + QStringLiteral("/docs/")};
        dir.write(QStringLiteral("bin/Tavisto.chm"), "help");
        // The news notice is modal; tests that want it remove this file.
        dir.write(QStringLiteral("config/Lumo Tavisto/Tavisto.ini"), "[HELP]\r\nScreen=0\r\n");
        ctx.Messages = &messages;
        ctx.Help = &help;
        ctx.Printer = &printer;
    }

    QString databaseFile() const { return folders.Documents + QStringLiteral("Lumo Tavisto/Tavisto.dbs"); }

    // Creates the tables and runs the statements before the window opens the file.
    void seed(const QStringList& statements)
    {
        QDir().mkpath(folders.Documents + QStringLiteral("Lumo Tavisto"));
        TSQLiteDatabase db(databaseFile());
        CreateTables(db, messages);
        AddColumn(db, QStringLiteral("tab_adressen"), QStringLiteral("Line6"), QStringLiteral("VARCHAR(50)"));
        for (const QString& sql : statements)
            db.ExecSQL(sql);
    }

    TForm_Tavisto& start()
    {
        window = std::make_unique<TForm_Tavisto>(ctx, folders);
        messages.shown.clear();
        return *window;
    }

    // Closes the window (saving the settings) and opens a new one on the same files.
    TForm_Tavisto& restart()
    {
        window.reset();
        ctx.Database.reset();
        return start();
    }

    template <class T> T* find(const char* name) const { return window->findChild<T*>(QString::fromLatin1(name)); }
    TGridView* absenderGrid() const { return find<TGridView>("StringGrid_Absender"); }
    TGridView* adressenGrid() const { return find<TGridView>("StringGrid_Adressen"); }
    QListView* gruppenList() const { return find<QListView>("ListBox_Gruppen"); }
    AdressenModel& adressen() const { return static_cast<AdressenModel&>(window->AdressenRowsShown()); }
    QString caption(const char* name) const { return find<TCaptionBar>(name)->text(); }

    // One value of the database, read through a connection of its own.
    QString scalar(const QString& sql) const
    {
        TSQLiteDatabase db(databaseFile());
        TSQLiteTable t = db.GetTable(sql);
        return t.Count() ? t.FieldAsString(0) : QStringLiteral("<none>");
    }
};

// Two senders (the first with one banner, the second with two), two groups, addresses.
inline QStringList StandardData()
{
    return {
        "INSERT INTO tab_absender VALUES('AB00000001','Lumo GmbH','Weg 1','','12345 Ort','')",
        "INSERT INTO tab_absender VALUES('AB00000002','Erika','Markt 3','','54321 Heim','')",
        "INSERT INTO tab_absender VALUES('AB00000003','Ohne Banner','','','','')",
        "INSERT INTO tab_banner VALUES('BN00000001','AB00000001',X'00')",
        "INSERT INTO tab_banner VALUES('BN00000002','AB00000002',X'00')",
        "INSERT INTO tab_banner VALUES('BN00000003','AB00000002',X'00')",
        "INSERT INTO tab_gruppen VALUES('GR00000001','Kunden')",
        "INSERT INTO tab_gruppen VALUES('GR00000002','Freunde')",
        "INSERT INTO tab_adressen VALUES('AD00000001','GR00000001','Becker KG','Bernd','Bahnhofstr. 5','80331 M','','Becker',1)",
        "INSERT INTO tab_adressen VALUES('AD00000002','GR00000001','Anna Schmidt','Lindenweg','','10115 B','','Schmidt',0)",
        "INSERT INTO tab_adressen VALUES('AD00000003','GR00000001','Klaus Weber','Garten','Hinterhaus','50667 K','','Weber',1)",
        "INSERT INTO tab_adressen VALUES('AD00000004','GR00000002','Oma Hilde','Rosenweg','','99084 E','','',1)",
    };
}

inline const QString kAskAbsender = QStringLiteral("Sind Sie sicher, dass der gewählte Absender gelöscht werden soll?");
inline const QString kAskGruppe = QStringLiteral("Sind Sie sicher, dass die gewählte Gruppe gelöscht werden soll?");
inline const QString kAskAdresse = QStringLiteral("Sind Sie sicher, dass die gewählte Adresse gelöscht werden sollen?");

inline QStringList column(const AdressenModel& m, int col)
{
    QStringList r;
    for (int i = 0; i < m.RowCount(); ++i)
        r << m.Cell(i, col);
    return r;
}

// A mnemonic presses its button the way a click would: animated, after a short moment.
inline void altKey(QWidget& w, Qt::Key key)
{
    QTest::keyClick(&w, key, Qt::AltModifier);
    QTest::qWait(250);
}

// Closes every modal dialog that opens while it lives and remembers their names.
class ModalRecorder
{
public:
    ModalRecorder()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                names << d->objectName();
                d->reject();
            }
        });
        m_timer.start();
    }
    QStringList names;

private:
    QTimer m_timer;
};

inline void showActive(QWidget& w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}
