#include "carddav/CarddavCommands.h"

#include "app/AppContext.h"
#include "carddav/CarddavStore.h"
#include "carddav/CarddavSync.h"
#include "carddav/TDLG_Onlineadressbuch.h"
#include "carddav/TForm_Abgleich.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>

namespace {

constexpr int kNamesShown = 20;

} // namespace

CarddavCommands::CarddavCommands(AppContext& ctx, QWidget* window) : QObject(window), m_ctx(ctx), m_window(window) {}

CarddavCommands::~CarddavCommands() = default;

void CarddavCommands::LinkGroup(const QString& gruppeId)
{
    if (gruppeId.trimmed().isEmpty()) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Es wurde keine Gruppe gewählt!"));
        return;
    }
    if (m_running)
        return;
    TDLG_Onlineadressbuch dialog(m_ctx, m_passwords, gruppeId, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Refresh(gruppeId, [this, gruppeId](bool changed) {
        if (changed)
            emit GruppeChanged(gruppeId);
    });
}

void CarddavCommands::Refresh(const QString& gruppeId, std::function<void(bool)> done)
{
    if (m_running)
        return;
    std::optional<CarddavLink> link;
    try {
        link = CarddavStore::LoadLink(m_ctx.db(), gruppeId);
    } catch (const ESQLiteException& e) {
        m_ctx.Messages->ErrorMessage(e.message());
        return;
    }
    if (!link) {
        m_ctx.Messages->InfoMessage(QStringLiteral("Diese Gruppe ist mit keinem Online-Adressbuch verbunden. "
                                                   "Verbinden Sie sie mit „Mit Online-Adressbuch verbinden …“."));
        return;
    }
    const CarddavLink l = *link;
    withPassword(l, false, [this, l, done](const QString* password) {
        if (password)
            run(l, *password, false, done);
    });
}

void CarddavCommands::RefreshAtStart(std::function<void(const QString&)> changed)
{
    QList<CarddavLink> links;
    try {
        links = CarddavStore::LoadLinks(m_ctx.db());
    } catch (const ESQLiteException&) {
        return;
    }
    auto queue = std::make_shared<QList<CarddavLink>>();
    for (const CarddavLink& l : links)
        if (l.SyncAtStart)
            queue->append(l);
    auto next = std::make_shared<std::function<void()>>();
    *next = [this, queue, next, changed] {
        if (queue->isEmpty())
            return;
        const CarddavLink l = queue->takeFirst();
        withPassword(l, false, [this, l, next, changed](const QString* password) {
            if (!password)
                return (*next)();
            run(l, *password, true, [l, next, changed](bool didChange) {
                if (didChange && changed)
                    changed(l.GruppeId);
                QTimer::singleShot(0, *next);
            });
        });
    };
    (*next)();
}

void CarddavCommands::withPassword(const CarddavLink& link, bool askAgain, std::function<void(const QString*)> then)
{
    // A server without login (a Radicale or Xandikos of the office's own): nothing to ask.
    // Should it want one after all, its refusal asks, as for a wrong password.
    if (link.User.isEmpty() && !askAgain) {
        const QString none;
        return then(&none);
    }
    const QString key = CarddavPasswords::Key(link.User, link.Server);
    if (askAgain)
        m_passwords.Forget(key);
    m_passwords.Read(key, [this, link, key, then](std::optional<QString> stored) {
        if (stored)
            return then(&*stored);
        bool ok = false;
        const QString password = QInputDialog::getText(
            m_window, QStringLiteral("Passwort"),
            QStringLiteral("Passwort für „%1“ auf „%2“:").arg(link.User, QUrl(link.Server).host()),
            QLineEdit::Password, QString(), &ok);
        if (!ok)
            return then(nullptr);
        m_passwords.Store(key, password);
        then(&password);
    });
}

QString CarddavCommands::reportText(const CarddavLink& link, const CarddavSyncReport& r) const
{
    QString text;
    if (r.Unchanged || (r.Added == 0 && r.Changed == 0 && r.Removed == 0 && r.Skipped.isEmpty()))
        text = QStringLiteral("Die Gruppe ist auf dem Stand des Online-Adressbuchs „%1“.").arg(link.BookName);
    else
        text = QStringLiteral("Die Gruppe wurde mit dem Online-Adressbuch „%1“ abgeglichen.\n\n"
                              "Neu: %2, geändert: %3, entfernt: %4")
                   .arg(link.BookName)
                   .arg(r.Added)
                   .arg(r.Changed)
                   .arg(r.Removed);
    if (!r.Skipped.isEmpty()) {
        text += r.Skipped.size() == 1
                    ? QStringLiteral("\n\n1 Karte ohne Namen und ohne Firma wurde übersprungen:\n")
                    : QStringLiteral("\n\n%1 Karten ohne Namen und ohne Firma wurden übersprungen:\n").arg(r.Skipped.size());
        text += r.Skipped.mid(0, kNamesShown).join(QStringLiteral("\n"));
        if (r.Skipped.size() > kNamesShown)
            text += QStringLiteral("\n…");
    }
    return text;
}

void CarddavCommands::run(const CarddavLink& link, const QString& password, bool quiet, std::function<void(bool)> done)
{
    m_running = true;
    auto* form = new TForm_Abgleich(link.BookName, m_window);
    form->setAttribute(Qt::WA_DeleteOnClose);
    m_sync = std::make_unique<CarddavSync>(m_ctx.db(), link,
                                           AccountOf(link, password, m_ctx.Settings.TrustedCertificates));
    CarddavSync* sync = m_sync.get();
    connect(form, &TForm_Abgleich::CancelRequested, this, [sync] { sync->Cancel(); });
    sync->SetProgress([form](int doneCount, int total) { form->SetStatus(doneCount, total); });
    // Everything after the end runs once the sync has returned from the call that ended
    // it: a message box's own event loop must not find the sync half way through a call.
    auto finish = [this, form](std::function<void()> after) {
        form->close();
        QTimer::singleShot(0, this, [this, after] {
            m_sync.reset();
            m_running = false;
            after();
        });
    };
    sync->SetDone([=, this](const CarddavSyncReport& report) {
        finish([=, this] {
            const bool changed = report.Added + report.Changed + report.Removed > 0;
            if (!quiet || !report.Skipped.isEmpty())
                m_ctx.Messages->InfoMessage(reportText(link, report));
            if (done)
                done(changed);
        });
    });
    sync->SetFailed([=, this](const CarddavError& error) {
        finish([=, this] { failed(link, password, quiet, error, done); });
    });
    form->show();
    sync->Start();
}

void CarddavCommands::failed(const CarddavLink& link, const QString& password, bool quiet, const CarddavError& error,
                             std::function<void(bool)> done)
{
    CarddavLink again = link;
    switch (error.Kind) {
    case CarddavFailure::WrongPassword:
        m_ctx.Messages->ErrorMessage(CarddavErrorText(error));
        // Asked again, and tried again with what is typed.
        return withPassword(link, true, [=, this](const QString* typed) {
            if (typed)
                run(link, *typed, quiet, done);
            else if (done)
                done(false);
        });
    case CarddavFailure::CertificateUntrusted:
        if (AskTrustCertificate(m_window, error)) {
            m_ctx.Settings.TrustedCertificates.append(error.Fingerprint);
            return run(link, password, quiet, done);
        }
        break;
    case CarddavFailure::PlainHttp:
        if (AskPlainHttp(m_window, error.Host)) {
            again.PlainHttp = true;
            try {
                CarddavStore::SaveLink(m_ctx.db(), again);
            } catch (const ESQLiteException&) {
            }
            return run(again, password, quiet, done);
        }
        break;
    case CarddavFailure::Cancelled:
        // The user's own choice: the group is as it was, nothing to report.
        break;
    default:
        m_ctx.Messages->ErrorMessage(CarddavErrorText(error));
        break;
    }
    if (done)
        done(false);
}
