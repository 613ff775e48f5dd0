#include "mainwindow/AdressenList.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "app/GeneralError.h"
#include "mainwindow/AdressenModel.h"
#include "store/ESQLiteException.h"
#include "uikit/TGridView.h"

#include <QHeaderView>
#include <QTimer>
#include <QWindow>

#include <sqlite3.h>

#include <stdexcept>

namespace {
constexpr int kNameShownWidth = 120;
// How long the rest of a long list waits for the window to be drawn: 10 ms at a time, at
// most half a second (a window started minimised is never drawn).
constexpr int kRestWaitMs = 10;
constexpr int kRestWaitsMax = 50;
// How often the rest is tried again while another program holds the database file.
constexpr int kRestRetryMs = 1000;
}

AdressenList::AdressenList(AppContext& ctx, QWidget* parent) : AdressenList(ctx, new AdressenModel, parent) {}

AdressenList::AdressenList(AppContext& ctx, AdressenModel* model, QWidget* parent)
    : RecordGridPanel({"Panel_Adressen", "VCap_Adressen", "StringGrid_Adressen", "Adressen"}, model, parent),
      m_ctx(ctx), m_model(model), m_restTimer(new QTimer(this))
{
    m_restTimer->setSingleShot(true);
    connect(m_restTimer, &QTimer::timeout, this, &AdressenList::restTimeout);
    Grid()->setCheckColumn(AdressenModel::ColAktiv);
    Grid()->horizontalHeader()->resizeSection(AdressenModel::ColAktiv, 35);
    SetColumnWidths({120, 120, 120, 120, 120, 120});
    connect(Grid(), &TGridView::cellPressed, this, [this](const QModelIndex& index, Qt::MouseButton) {
        if (index.isValid() && index.column() == AdressenModel::ColAktiv)
            RunGuarded(m_ctx.Messages, [&] { ToggleAktiv(index.row()); });
    });
}

void AdressenList::Clear()
{
    m_rest.reset();
    m_restTimer->stop();
    m_model->Clear();
}

void AdressenList::Load(const AdressenFilter& filter)
{
    Clear();
    if (IsBlank(filter.GruppeID)) {
        SetCount(0);
        return;
    }
    if (!m_ctx.db().TableExists(QStringLiteral("tab_adressen")))
        return;
    m_suffix = filter.IsFiltered() ? QStringLiteral(" - Gefiltert") : QString();
    int count = 0;
    Refill([&] {
        const SqlStatement s = BuildAdressenQuery(filter);
        TSQLiteDatabase& db = m_ctx.db();
        // A sorted list is complete only once all of it is sorted; one in stored order
        // shows its first rows while the rest is still to be read.
        if (filter.SortIndex != 0) {
            TSQLiteTable t = db.GetTable(s.Sql(), s.Params);
            count = t.Count();
            m_model->Load(std::move(t));
            return;
        }
        SqlStatement first = s;
        first.Lines << QStringLiteral("LIMIT ?");
        first.Params << kFirstRows + 1;
        TSQLiteTable t = db.GetTable(first.Sql(), first.Params);
        count = t.Count();
        if (count > kFirstRows) {
            const TSQLiteTable all =
                db.GetTable(QStringLiteral("SELECT COUNT(*) FROM (\r\n") + s.Sql() + QStringLiteral(")"), s.Params);
            count = all.FieldAsString(0).toInt();
            m_rest = s;
            m_restWaits = 0;
            m_restTimer->start(0);
        }
        m_model->Load(std::move(t));
    });
    SetCount(count, m_suffix);
}

void AdressenList::CompleteRows(const QString& consequence)
{
    if (!m_rest)
        return;
    m_restTimer->stop();
    try {
        readRest();
    } catch (const std::exception& e) {
        const auto* database = dynamic_cast<const ESQLiteException*>(&e);
        const bool busy = database && database->Busy();
        // Another program holds the file: the list goes on trying on its own.
        if (busy)
            m_restTimer->start(kRestRetryMs);
        const QString reason = database && database->code() != 0 ? QString::fromUtf8(sqlite3_errstr(database->code()))
                                                                  : QString::fromUtf8(e.what());
        QString text = QStringLiteral("Die Adressliste konnte nicht vollständig gelesen werden (%1). %2")
                           .arg(reason, consequence);
        if (busy)
            text += QStringLiteral(" Die Datenbank wird gerade von einem anderen Programm verwendet. Bitte versuchen "
                                   "Sie es erneut, wenn das andere Programm fertig ist.");
        throw std::runtime_error(text.toStdString());
    }
}

void AdressenList::restTimeout()
{
    // Not before the window has been drawn with the first rows.
    const QWidget* top = window();
    const QWindow* handle = top->windowHandle();
    if (top->isVisible() && handle && !handle->isExposed() && ++m_restWaits < kRestWaitsMax) {
        m_restTimer->start(kRestWaitMs);
        return;
    }
    try {
        readRest();
    } catch (const ESQLiteException& e) {
        // A lock held by another program ends: nobody asked for the rows yet, so they are
        // read again a little later without a word. A command that needs them meanwhile
        // says why it cannot run.
        if (e.Busy())
            m_restTimer->start(kRestRetryMs);
        else
            GeneralError::Show(m_ctx.Messages, e);
    } catch (const std::exception& e) {
        GeneralError::Show(m_ctx.Messages, e);
    }
}

void AdressenList::readRest()
{
    // The statement stays pending until its rows arrived: a read that failed is made again.
    TSQLiteTable t = m_ctx.db().GetTable(m_rest->Sql(), m_rest->Params);
    const int count = t.Count();
    m_rest.reset();
    m_model->Extend(std::move(t));
    SetCount(count, m_suffix);
}

void AdressenList::ToggleAktiv(int row)
{
    const QString id = m_model->AdresseID(row);
    if (id.isEmpty())
        return;
    const bool wasActive = !IsBlank(m_model->Cell(row, AdressenModel::ColAktiv));
    m_model->SetCell(row, AdressenModel::ColAktiv, wasActive ? QString() : QStringLiteral("X"));
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_adressen")))
        return;
    Transaction tx(db);
    db.ExecSQL(QStringLiteral("UPDATE tab_adressen SET Aktiv=%1 WHERE Adresse_ID=?").arg(wasActive ? 0 : 1), {id});
    tx.Commit();
}

void AdressenList::SetNameHidden(bool hidden)
{
    Grid()->setColumnHidden(AdressenModel::ColName, hidden);
    if (!hidden)
        Grid()->horizontalHeader()->resizeSection(AdressenModel::ColName, kNameShownWidth);
}

std::array<int, 6> AdressenList::ColumnWidths() const
{
    const std::vector<int> w = LineColumnWidths(6);
    return {w[0], w[1], w[2], w[3], w[4], w[5]};
}

void AdressenList::SetColumnWidths(const std::array<int, 6>& widths)
{
    SetLineColumnWidths({widths.begin(), widths.end()});
}
