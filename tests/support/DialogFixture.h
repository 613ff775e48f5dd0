#pragma once
#include "app/AppContext.h"
#include "support/RecordingHelpService.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"

#include <QList>
#include <functional>
#include <gtest/gtest.h>

// Records the help topics asked for.
// An AppContext on a fresh database file with the program's tables, fake messages and
// fake help, for the record dialogs and the designer.
class DialogFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    TSQLiteDatabase& db() { return ctx.db(); }
    // The first cell of a query, as text; empty when there is no row.
    QString value(const QString& sql, const SqlParams& params = {});
    int count(const QString& sql, const SqlParams& params = {});
    // Runs action once the next modal dialog is shown (from inside its exec()).
    static void onNextModal(std::function<void(QWidget*)> action);
    // Shows the window and makes it the active one, so that its shortcuts work.
    static void activate(QWidget& window);

    TempDir dir;
    FakeMessageService messages;
    RecordingHelpService help;
    AppContext ctx;
};
